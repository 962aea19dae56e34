// Hands out a view's camera.
#ifndef NIMBOCORE_ICAMERAPROVIDER_H
#define NIMBOCORE_ICAMERAPROVIDER_H

#include "NimboCore/Export.h"
#include "NimboCore/NimboCore.h"

class NIMBOCORE_EXPORT ICameraProvider {
 public:
  virtual ~ICameraProvider() = default;
  virtual ACamera* GetCamera() = 0;
};

#endif
