// Hears every operation record a controller handles.
#ifndef NIMBO_INCLUDE_HOST_NIMBOCORE_ICONTROLLERLISTENER_H
#define NIMBO_INCLUDE_HOST_NIMBOCORE_ICONTROLLERLISTENER_H

#include "NimboCore/Export.h"
#include "NimboCore/NimboCore.h"

class NIMBOCORE_EXPORT IControllerListener {
 public:
  virtual ~IControllerListener() = default;
  virtual void ControllerNotify(IViewOp* op) = 0;
};

#endif
