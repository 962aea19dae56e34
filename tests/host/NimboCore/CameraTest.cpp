#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "KivVizCore/Ray.h"
#include "KivVizCore/VectorMath.h"
#include "NimboCore/ACamera.h"

namespace {

using Vec3 = std::array<float, 3>;

struct LookAt {
  Vec3 eye, target, up;
};

LookAt Get(const ACamera& camera) {
  LookAt l{};
  camera.GetLookAt(l.eye.data(), l.target.data(), l.up.data());
  return l;
}

float Distance(const ACamera& camera) {
  const LookAt l = Get(camera);
  return std::hypot(l.eye[0] - l.target[0], l.eye[1] - l.target[1], l.eye[2] - l.target[2]);
}

void ExpectNear(const float* actual, const Vec3& expected, float tolerance = 1e-4f) {
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << "component " << i;
}

void SetLookAt(ACamera& camera, Vec3 eye, Vec3 target, Vec3 up) {
  camera.SetLookAt(eye.data(), target.data(), up.data());
}

const float kTanHalf = std::tan(static_cast<float>(std::numbers::pi) / 8.0f);

TEST(CameraTest, DefaultLooksDownNegativeZAtTheOriginWith45Degrees) {
  ACamera camera;
  const LookAt l = Get(camera);
  ExpectNear(l.eye.data(), {0, 0, 5}, 0.0f);
  ExpectNear(l.target.data(), {0, 0, 0}, 0.0f);
  ExpectNear(l.up.data(), {0, 1, 0}, 0.0f);
  EXPECT_FALSE(camera.IsOrthographic());
  EXPECT_EQ(camera.GetFieldOfViewDegrees(), 45.0f);
  EXPECT_NEAR(camera.GetFieldOfView(), std::numbers::pi / 4.0, 1e-6);
  EXPECT_THROW(camera.SetFieldOfViewDegrees(0.0f), std::invalid_argument);
  EXPECT_THROW(camera.SetFieldOfViewDegrees(180.0f), std::invalid_argument);
  camera.SetFieldOfViewDegrees(30.0f);
  EXPECT_EQ(camera.GetFieldOfViewDegrees(), 30.0f);
}

TEST(CameraTest, NearAndFarFollowTheSceneBoundsAsTheProjectionDoes) {
  ACamera camera;  // eye 5 from the target
  const float centre[3] = {0.0f, 0.0f, 0.0f};
  camera.SetSceneBounds(centre, 1.0f);
  float nearDistance = 0.0f;
  float farDistance = 0.0f;
  camera.GetNearFar(nearDistance, farDistance);
  // reach 1: near (5 - 1) / 10 (beyond 1.0), far (5 + 1) * 10.
  EXPECT_FLOAT_EQ(nearDistance, 0.4f);
  EXPECT_FLOAT_EQ(farDistance, 60.0f);
  // Eye inside the scene: the perspective floor radius / 500 applies, the
  // orthographic projection keeps the negative near distance.
  camera.SetSceneBounds(centre, 10.0f);
  camera.GetNearFar(nearDistance, farDistance);
  EXPECT_FLOAT_EQ(nearDistance, 10.0f / 500.0f);
  camera.SetOrthographic(true);
  camera.GetNearFar(nearDistance, farDistance);
  EXPECT_FLOAT_EQ(nearDistance, -5.0f);
  EXPECT_FLOAT_EQ(farDistance, 150.0f);
}

TEST(CameraTest, PerspectiveRaysStartAtTheEyeAndLeanByHalfTheFieldOfViewAtTheEdge) {
  ACamera camera;
  camera.SetViewportSize(200, 100);
  const Ray centre = camera.Make3DRay(100, 50, 1);
  ExpectNear(centre.origin, Get(camera).eye);
  ExpectNear(centre.direction, {0, 0, -1});
  EXPECT_DOUBLE_EQ(centre.scalar, 60.0) << "the far distance";
  camera.SetViewportSize(100, 100);
  const Ray top = camera.Make3DRay(50, 0, 1);
  EXPECT_NEAR(Length(top.direction), 1.0f, 1e-6f);
  EXPECT_NEAR(std::atan2(top.direction[1], -top.direction[2]), std::numbers::pi / 8.0, 1e-5) << "row 0 is the top";
  EXPECT_THROW(camera.Make3DRay(0, 0, 2), std::invalid_argument) << "only ray kind 1 exists";
}

TEST(CameraTest, OrthographicRaysAreParallelAndStartInTheEyePlane) {
  ACamera camera;
  camera.SetOrthographic(true);
  camera.SetViewportSize(200, 100);
  const Ray corner = camera.Make3DRay(0, 0, 1);
  ExpectNear(corner.direction, {0, 0, -1});
  ExpectNear(corner.origin, {-2.0f * kTanHalf * 5.0f, kTanHalf * 5.0f, 5.0f});
}

TEST(CameraTest, DegenerateLookAtStillGivesUnitRays) {
  ACamera camera;
  SetLookAt(camera, {0, 0, 0}, {0, 0, 0}, {0, 0, 0});
  camera.SetViewportSize(10, 10);
  EXPECT_NEAR(Length(camera.Make3DRay(3, 7, 1).direction), 1.0f, 1e-6f);
}

TEST(CameraTest, ZoomScalesTheEyeDistanceAndKeepsTheTarget) {
  ACamera camera;
  SetLookAt(camera, {1, 2, 7}, {1, 2, 3}, {0, 1, 0});
  camera.Zoom(0.5f);
  ExpectNear(Get(camera).eye.data(), {1, 2, 5});
  ExpectNear(Get(camera).target.data(), {1, 2, 3});
  camera.Zoom(3.0f);
  ExpectNear(Get(camera).eye.data(), {1, 2, 9});
  EXPECT_THROW(camera.Zoom(0.0f), std::invalid_argument);
  EXPECT_THROW(camera.Zoom(-1.0f), std::invalid_argument);
}

TEST(CameraTest, OrbitYawsAboutUpThenPitchesAboutRightKeepingTheDistance) {
  ACamera camera;  // eye (0, 0, 5)
  camera.Orbit(90.0f, 0.0f);
  ExpectNear(Get(camera).eye.data(), {5, 0, 0});
  ExpectNear(Get(camera).up.data(), {0, 1, 0});
  // Right of a camera at +X looking at the origin is -Z; turning about it
  // by +90 degrees carries the eye below the target and tilts up to +X.
  camera.Orbit(0.0f, 90.0f);
  ExpectNear(Get(camera).eye.data(), {0, -5, 0});
  ExpectNear(Get(camera).up.data(), {1, 0, 0});
  ExpectNear(Get(camera).target.data(), {0, 0, 0});
}

TEST(CameraTest, PanMovesEyeAndTargetSoTheSceneFollowsThePointer) {
  ACamera camera;
  camera.SetViewportSize(100, 100);
  // 100 pixels span 2 tan(22.5 degrees) * 5 units at the target.
  const float unitsPerPixel = 2.0f * kTanHalf * 5.0f / 100.0f;
  camera.Pan(10.0f, 20.0f);
  ExpectNear(Get(camera).target.data(), {-10.0f * unitsPerPixel, 20.0f * unitsPerPixel, 0.0f});
  ExpectNear(Get(camera).eye.data(), {-10.0f * unitsPerPixel, 20.0f * unitsPerPixel, 5.0f});
}

TEST(CameraTest, FitToSphereKeepsTheDirectionAndFramesTheSphere) {
  ACamera camera;
  SetLookAt(camera, {0, 0, 10}, {0, 0, 0}, {0, 1, 0});
  camera.SetViewportSize(100, 100);
  const float centre[3] = {1.0f, 2.0f, 3.0f};
  camera.FitToSphere(centre, 2.0f);
  ExpectNear(Get(camera).target.data(), {1, 2, 3});
  ExpectNear(Get(camera).eye.data(), {1, 2, 3 + 2.0f / std::sin(static_cast<float>(std::numbers::pi) / 8.0f)}, 1e-3f);
  // A portrait window: the narrower horizontal angle decides.
  camera.SetViewportSize(50, 100);
  camera.FitToSphere(centre, 2.0f);
  EXPECT_NEAR(Distance(camera), 2.0f / std::sin(std::atan(kTanHalf * 0.5f)), 1e-3f);
  camera.SetOrthographic(true);
  camera.FitToSphere(centre, 2.0f);
  EXPECT_NEAR(Distance(camera), 2.0f / (kTanHalf * 0.5f), 1e-3f);
}

}  // namespace
