// A view's camera: eye, target and up vector, vertical field of view,
// perspective or orthographic projection, and the viewport size in pixels
// (kept in step with the view's window). It turns window pixels into world
// rays consistent with the projection the view sets up, and offers the
// manipulations a viewer needs.
#ifndef NIMBO_INCLUDE_HOST_NIMBOCORE_ACAMERA_H
#define NIMBO_INCLUDE_HOST_NIMBOCORE_ACAMERA_H

#include "HostExtensions.h"
#include "KivVizCore/Ray.h"
#include "NimboCore/Export.h"

class NIMBOCORE_EXPORT ACamera {
 public:
  // Perspective, 45 degrees vertical field of view, eye at (0, 0, 5)
  // looking down -Z at the origin, up +Y; no viewport yet (0 x 0).
  ACamera();
  virtual ~ACamera();
  ACamera(const ACamera&) = default;
  ACamera& operator=(const ACamera&) = default;

  virtual void GetLookAt(float eye[3], float target[3], float up[3]) const;
#if NIMBO_HOST_EXTENSIONS
  // Ours, as are the other sections so marked: what our hosts change.
  virtual void SetLookAt(const float eye[3], const float target[3], const float up[3]);
#endif

  virtual bool IsOrthographic() const;
#if NIMBO_HOST_EXTENSIONS
  virtual void SetOrthographic(bool orthographic);
#endif

  virtual float GetFieldOfViewDegrees() const;
  // In radians.
  virtual float GetFieldOfView() const;
#if NIMBO_HOST_EXTENSIONS
  virtual void SetFieldOfViewDegrees(float degrees);
#endif

#if NIMBO_HOST_EXTENSIONS
  virtual void SetViewportSize(int width, int height);
  virtual int GetViewportWidth() const;
  virtual int GetViewportHeight() const;
#endif

  // The world ray through window pixel (x, y), origin top left: from the eye
  // (perspective) or from the plane through the eye across the view
  // direction (orthographic, half-height tan(fov / 2) * eye-target distance),
  // with a unit direction and the far distance as scalar. The pixel is taken
  // at GL window position (x, height - y), as the picker's pick box is. The
  // third argument is the ray kind; 1 is the only one (std::invalid_argument
  // for another).
  virtual Ray Make3DRay(const int& x, const int& y, const int& kind) const;

#if NIMBO_HOST_EXTENSIONS
  // Turns the eye around the target: yaw about the up vector, then pitch
  // about the camera's right vector (right-hand rule; the up vector turns
  // along with the pitch).
  virtual void Orbit(float yawDegrees, float pitchDegrees);
  // Moves eye and target across the view by a distance in window pixels
  // (measured at the target), so that the scene follows a pointer that moves
  // by (dx, dy), y downwards.
  virtual void Pan(float dxPixels, float dyPixels);
  // Moves the eye towards the target by the factor (below 1 comes closer);
  // std::invalid_argument unless it is positive.
  virtual void Zoom(float factor);
  // Keeps the direction and places the target at the centre, far enough for
  // the sphere to fill the view.
  virtual void FitToSphere(const float center[3], float radius);

  // The scene bounds that the near and far distances are fitted to, as the
  // view's projection fits them (the ray's scalar is the far distance); the
  // unit sphere at the origin until set. AView3D keeps its camera's bounds
  // in step with its own.
  void SetSceneBounds(const float center[3], float radius);
  void GetSceneBounds(float center[3], float& radius) const;
  // The view's near and far distances for these bounds.
  void GetNearFar(float& nearDistance, float& farDistance) const;
#endif

 protected:
  float eye[3];
  float target[3];
  float up[3];
  float fieldOfViewDegrees;
  bool orthographic;
  int viewportWidth;
  int viewportHeight;
  float sceneCenter[3];
  float sceneRadius;
};

#endif
