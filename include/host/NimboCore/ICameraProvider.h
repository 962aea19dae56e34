// Hands out a view's camera.
#ifndef NIMBO_INCLUDE_HOST_NIMBOCORE_ICAMERAPROVIDER_H
#define NIMBO_INCLUDE_HOST_NIMBOCORE_ICAMERAPROVIDER_H

#include "NimboCore/Export.h"
#include "NimboCore/NimboCore.h"

class NIMBOCORE_EXPORT ICameraProvider {
 public:
  virtual ~ICameraProvider() = default;
  virtual ACamera* GetCamera() = 0;
};

#endif
