// Hands out a view's controller.
#ifndef NIMBO_INCLUDE_HOST_NIMBOCORE_ICONTROLLERPROVIDER_H
#define NIMBO_INCLUDE_HOST_NIMBOCORE_ICONTROLLERPROVIDER_H

#include "NimboCore/Export.h"
#include "NimboCore/NimboCore.h"

class NIMBOCORE_EXPORT IControllerProvider {
 public:
  virtual ~IControllerProvider() = default;
  virtual Controller* GetController() = 0;
};

#endif
