#include "NimboCore/Controller.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "NimboCore/ACamera.h"
#include "NimboCore/AView3D.h"
#include "NimboCore/AView3DControllerAdapter.h"
#include "NimboCore/IControllerListener.h"
#include "NimboCore/IViewOp.h"

namespace {

// A wheel step brings the eye 10 % closer (or farther for negative steps).
constexpr float kZoomPerStep = 0.9f;
// One record zooms by at most this much either way, and zooming in stops
// this close to the target (relative to its distance from the origin, at
// least 1), from where the eye could never move out again.
constexpr float kMostZoomPerRecord = 1000.0f;
constexpr float kClosestEye = 1e-6f;
// A drag across one pixel turns the camera by half a degree.
constexpr float kDegreesPerPixel = 0.5f;

}  // namespace

Controller::Controller(AView3DControllerAdapter* adapter) : adapter(adapter) {}

Controller::~Controller() = default;

void Controller::AddListener(IControllerListener* listener) {
  if (listener != nullptr && std::find(listeners.begin(), listeners.end(), listener) == listeners.end()) {
    listeners.push_back(listener);
  }
}

void Controller::RemoveListener(IControllerListener* listener) {
  listeners.erase(std::remove(listeners.begin(), listeners.end(), listener), listeners.end());
}

void Controller::Notify(IViewOp* op) {
  if (op == nullptr) {
    return;
  }
  MoveCamera(*op);
  // A listener may add or remove listeners while it is told; those told are
  // the ones registered when the record arrived.
  const std::vector<IControllerListener*> told = listeners;
  for (IControllerListener* listener : told) {
    listener->ControllerNotify(op);
  }
}

void Controller::MoveCamera(const IViewOp& op) {
  const int type = op.GetType();
  AView3D* view = adapter != nullptr ? adapter->GetControlledView() : nullptr;
  ACamera* camera = view != nullptr ? view->GetCamera() : nullptr;
  if (camera != nullptr) {
    if (type == IViewOp::WheelZoom && op.first != 0) {
      const float factor = std::clamp(std::pow(kZoomPerStep, static_cast<float>(op.first)), 1.0f / kMostZoomPerRecord,
                                      kMostZoomPerRecord);
      float eye[3];
      float target[3];
      float up[3];
      camera->GetLookAt(eye, target, up);
      const float distance = std::hypot(eye[0] - target[0], eye[1] - target[1], eye[2] - target[2]);
      const float closest = kClosestEye * std::max(1.0f, std::hypot(target[0], target[1], target[2]));
      if (factor >= 1.0f || distance * factor >= closest) camera->Zoom(factor);
    } else if ((type == IViewOp::Orbit || type == IViewOp::Pan) && type == lastType && op.phase != 1) {
      // A drag moves by the pointer's way since its previous record; its
      // first record (phase 1, or a new drag type) only sets the start.
      // In 64 bits: two records far apart differ by more than an int holds.
      const float dx = static_cast<float>(std::int64_t{op.first} - lastX);
      const float dy = static_cast<float>(std::int64_t{op.second} - lastY);
      if (type == IViewOp::Orbit) {
        camera->Orbit(-dx * kDegreesPerPixel, -dy * kDegreesPerPixel);
      } else {
        camera->Pan(dx, dy);
      }
    }
  }
  lastType = type;
  if (type == IViewOp::WheelZoom || type == IViewOp::Key) {
    lastX = op.second;
    lastY = op.third;
  } else {
    lastX = op.first;
    lastY = op.second;
  }
}
