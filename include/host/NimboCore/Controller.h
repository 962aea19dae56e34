// Turns a host's input, as operation records, into camera moves and listener
// notifications. For every record it first lets its view move the camera
// (wheel zoom, orbit and pan drags), then tells its listeners in registration
// order. Listeners are not owned.
#ifndef NIMBO_INCLUDE_HOST_NIMBOCORE_CONTROLLER_H
#define NIMBO_INCLUDE_HOST_NIMBOCORE_CONTROLLER_H

#include <vector>

#include "NimboCore/Export.h"
#include "NimboCore/NimboCore.h"

class NIMBOCORE_EXPORT Controller {
 public:
  explicit Controller(AView3DControllerAdapter* adapter);
  Controller(const Controller&) = delete;
  Controller& operator=(const Controller&) = delete;
  ~Controller();

  void AddListener(IControllerListener* listener);
  void RemoveListener(IControllerListener* listener);
  const std::vector<IControllerListener*>& Listeners() const { return listeners; }

  // Null records are ignored.
  void Notify(IViewOp* op);

 private:
  void MoveCamera(const IViewOp& op);

  AView3DControllerAdapter* adapter;
  std::vector<IControllerListener*> listeners;
  // Pointer position of the previous drag record, for drag deltas.
  int lastX = 0;
  int lastY = 0;
  int lastType = -1;
};

#endif
