#include "NimboCore/ACamera.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>

#include "KivVizCore/VectorMath.h"

namespace {

constexpr float kDefaultDistance = 5.0f;

// The camera's frame as gluLookAt builds it: forward f (towards the target),
// right s = f x up, true up u = s x f. A zero view direction looks down -Z;
// an up vector along the view direction is replaced by the nearest axis
// across it, so the frame always exists.
struct Frame {
  float forward[3];
  float right[3];
  float up[3];
  float distance;
};

Frame MakeFrame(const float eye[3], const float target[3], const float up[3]) {
  Frame frame{};
  Subtract(target, eye, frame.forward);
  frame.distance = Normalize(frame.forward);
  if (!(frame.distance > 0.0f)) {
    frame.forward[0] = 0.0f;
    frame.forward[1] = 0.0f;
    frame.forward[2] = -1.0f;
  }
  CrossProduct(frame.forward, up, frame.right);
  if (!(Normalize(frame.right) > 1e-6f)) {
    const float candidates[3][3] = {{0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 0.0f}};
    for (const auto& axis : candidates) {
      CrossProduct(frame.forward, axis, frame.right);
      if (Normalize(frame.right) > 1e-3f) {
        break;
      }
    }
  }
  CrossProduct(frame.right, frame.forward, frame.up);
  Normalize(frame.up);
  return frame;
}

// Rotates v about the unit axis by the angle (right-hand rule).
void Rotate(float v[3], const float axis[3], float degrees) {
  const double angle = degrees * std::numbers::pi / 180.0;
  const double c = std::cos(angle);
  const double s = std::sin(angle);
  const double dot =
      static_cast<double>(axis[0]) * v[0] + static_cast<double>(axis[1]) * v[1] + static_cast<double>(axis[2]) * v[2];
  const double cross[3] = {static_cast<double>(axis[1]) * v[2] - static_cast<double>(axis[2]) * v[1],
                           static_cast<double>(axis[2]) * v[0] - static_cast<double>(axis[0]) * v[2],
                           static_cast<double>(axis[0]) * v[1] - static_cast<double>(axis[1]) * v[0]};
  for (int k = 0; k < 3; ++k) {
    v[k] = static_cast<float>(v[k] * c + cross[k] * s + axis[k] * dot * (1.0 - c));
  }
}

}  // namespace

ACamera::ACamera()
    : eye{0.0f, 0.0f, kDefaultDistance},
      target{0.0f, 0.0f, 0.0f},
      up{0.0f, 1.0f, 0.0f},
      fieldOfViewDegrees(45.0f),
      orthographic(false),
      viewportWidth(0),
      viewportHeight(0),
      sceneCenter{0.0f, 0.0f, 0.0f},
      sceneRadius(1.0f) {}

ACamera::~ACamera() = default;

void ACamera::GetLookAt(float eyeOut[3], float targetOut[3], float upOut[3]) const {
  std::copy(eye, eye + 3, eyeOut);
  std::copy(target, target + 3, targetOut);
  std::copy(up, up + 3, upOut);
}

void ACamera::SetLookAt(const float eyeIn[3], const float targetIn[3], const float upIn[3]) {
  std::copy(eyeIn, eyeIn + 3, eye);
  std::copy(targetIn, targetIn + 3, target);
  std::copy(upIn, upIn + 3, up);
}

bool ACamera::IsOrthographic() const { return orthographic; }

void ACamera::SetOrthographic(bool value) { orthographic = value; }

float ACamera::GetFieldOfViewDegrees() const { return fieldOfViewDegrees; }

float ACamera::GetFieldOfView() const { return fieldOfViewDegrees * static_cast<float>(std::numbers::pi / 180.0); }

void ACamera::SetFieldOfViewDegrees(float degrees) {
  if (!(degrees > 0.0f && degrees < 180.0f)) {
    throw std::invalid_argument("ACamera::SetFieldOfViewDegrees: the angle must lie between 0 and 180 degrees, not " +
                                std::to_string(degrees));
  }
  fieldOfViewDegrees = degrees;
}

void ACamera::SetViewportSize(int width, int height) {
  viewportWidth = width;
  viewportHeight = height;
}

int ACamera::GetViewportWidth() const { return viewportWidth; }

int ACamera::GetViewportHeight() const { return viewportHeight; }

void ACamera::SetSceneBounds(const float center[3], float radius) {
  std::copy(center, center + 3, sceneCenter);
  sceneRadius = radius;
}

void ACamera::GetSceneBounds(float center[3], float& radius) const {
  std::copy(sceneCenter, sceneCenter + 3, center);
  radius = sceneRadius;
}

void ACamera::GetNearFar(float& nearDistance, float& farDistance) const {
  // The same single-precision steps as the view's projection set-up, so that
  // the ray ends where the view's far plane is.
  float v[3];
  float w[3];
  Subtract(eye, target, v);
  Subtract(sceneCenter, target, w);
  const float reach = Length(w) + sceneRadius;
  nearDistance = Length(v) - reach;
  farDistance = (Length(v) + reach) * 10.0f;
  if (nearDistance > 1.0f) {
    nearDistance = nearDistance / 10.0f;
  }
  if (!orthographic && sceneRadius / 500.0f > nearDistance) {
    nearDistance = sceneRadius / 500.0f;
  }
}

Ray ACamera::Make3DRay(const int& x, const int& y, const int& kind) const {
  if (kind != 1) {
    throw std::invalid_argument("ACamera::Make3DRay: unknown ray kind " + std::to_string(kind));
  }
  const Frame frame = MakeFrame(eye, target, up);
  // Window pixel to normalised device coordinates, with the window's rows
  // counted from the bottom as GL does (height - y, as the picker flips).
  double ndcX = 0.0;
  double ndcY = 0.0;
  if (viewportWidth > 0 && viewportHeight > 0) {
    ndcX = 2.0 * x / viewportWidth - 1.0;
    ndcY = 2.0 * (viewportHeight - y) / viewportHeight - 1.0;
  }
  const double aspect =
      viewportHeight > 0 ? static_cast<double>(viewportWidth) / static_cast<double>(viewportHeight) : 1.0;
  const double tanHalf = std::tan(static_cast<double>(GetFieldOfView()) * 0.5);

  float nearDistance = 0.0f;
  float farDistance = 0.0f;
  GetNearFar(nearDistance, farDistance);

  float origin[3];
  float direction[3];
  if (orthographic) {
    float v[3];
    Subtract(eye, target, v);
    const double halfHeight = tanHalf * Length(v);
    const double across = ndcX * halfHeight * aspect;
    const double along = ndcY * halfHeight;
    for (int k = 0; k < 3; ++k) {
      origin[k] = static_cast<float>(eye[k] + across * frame.right[k] + along * frame.up[k]);
      direction[k] = frame.forward[k];
    }
  } else {
    const double across = ndcX * tanHalf * aspect;
    const double along = ndcY * tanHalf;
    for (int k = 0; k < 3; ++k) {
      origin[k] = eye[k];
      direction[k] = static_cast<float>(frame.forward[k] + across * frame.right[k] + along * frame.up[k]);
    }
    Normalize(direction);
  }
  return Ray(origin, direction, farDistance);
}

void ACamera::Orbit(float yawDegrees, float pitchDegrees) {
  // One rigid turn of the camera about the target: the up vector turns
  // along, so the camera never flips over a pole.
  float offset[3];
  Subtract(eye, target, offset);
  float yawAxis[3] = {up[0], up[1], up[2]};
  if (Normalize(yawAxis) > 0.0f) {
    Rotate(offset, yawAxis, yawDegrees);
  }
  float towardsTarget[3] = {-offset[0], -offset[1], -offset[2]};
  float pitchAxis[3];
  CrossProduct(towardsTarget, up, pitchAxis);
  if (Normalize(pitchAxis) > 0.0f) {
    Rotate(offset, pitchAxis, pitchDegrees);
    Rotate(up, pitchAxis, pitchDegrees);
  }
  for (int k = 0; k < 3; ++k) {
    eye[k] = target[k] + offset[k];
  }
}

void ACamera::Pan(float dxPixels, float dyPixels) {
  // The scene under the pointer follows it: a drag to the right moves the
  // camera to the left, by the pixel size at the target's distance.
  const Frame frame = MakeFrame(eye, target, up);
  const double visibleHeight = 2.0 * std::tan(static_cast<double>(GetFieldOfView()) * 0.5) * frame.distance;
  const double unitsPerPixel = visibleHeight / (viewportHeight > 0 ? viewportHeight : 1);
  const double across = -dxPixels * unitsPerPixel;
  const double along = dyPixels * unitsPerPixel;
  for (int k = 0; k < 3; ++k) {
    const float move = static_cast<float>(across * frame.right[k] + along * frame.up[k]);
    eye[k] += move;
    target[k] += move;
  }
}

void ACamera::Zoom(float factor) {
  if (!(factor > 0.0f) || !std::isfinite(factor)) {
    throw std::invalid_argument("ACamera::Zoom: the factor must be positive, not " + std::to_string(factor));
  }
  for (int k = 0; k < 3; ++k) {
    eye[k] = target[k] + (eye[k] - target[k]) * factor;
  }
}

void ACamera::FitToSphere(const float center[3], float radius) {
  const Frame frame = MakeFrame(eye, target, up);
  float distance = frame.distance;
  if (radius > 0.0f) {
    const double halfVertical = static_cast<double>(GetFieldOfView()) * 0.5;
    const double aspect =
        viewportHeight > 0 && viewportWidth > 0 ? static_cast<double>(viewportWidth) / viewportHeight : 1.0;
    // The narrower of the two half-angles decides.
    const double tanHalf = std::tan(halfVertical) * std::min(1.0, aspect);
    if (orthographic) {
      distance = static_cast<float>(radius / tanHalf);
    } else {
      distance = static_cast<float>(radius / std::sin(std::atan(tanHalf)));
    }
  }
  if (!(distance > 0.0f)) {
    distance = kDefaultDistance;
  }
  for (int k = 0; k < 3; ++k) {
    target[k] = center[k];
    eye[k] = center[k] - frame.forward[k] * distance;
  }
}
