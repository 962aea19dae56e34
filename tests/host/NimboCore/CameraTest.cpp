#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <stdexcept>

#include "KivVizCore/Ray.h"
#include "KivVizCore/VectorMath.h"
#include "NimboCore/ACamera.h"

namespace {

struct Vec3 {
  float x, y, z;
};

Vec3 Eye(const ACamera& camera) {
  float eye[3], target[3], up[3];
  camera.GetLookAt(eye, target, up);
  return {eye[0], eye[1], eye[2]};
}

Vec3 Target(const ACamera& camera) {
  float eye[3], target[3], up[3];
  camera.GetLookAt(eye, target, up);
  return {target[0], target[1], target[2]};
}

Vec3 Up(const ACamera& camera) {
  float eye[3], target[3], up[3];
  camera.GetLookAt(eye, target, up);
  return {up[0], up[1], up[2]};
}

float Distance(const ACamera& camera) {
  const Vec3 e = Eye(camera);
  const Vec3 t = Target(camera);
  return std::sqrt((e.x - t.x) * (e.x - t.x) + (e.y - t.y) * (e.y - t.y) + (e.z - t.z) * (e.z - t.z));
}

void ExpectNear(const Vec3& actual, const Vec3& expected, float tolerance = 1e-4f) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

void SetLookAt(ACamera& camera, Vec3 eye, Vec3 target, Vec3 up) {
  const float e[3] = {eye.x, eye.y, eye.z};
  const float t[3] = {target.x, target.y, target.z};
  const float u[3] = {up.x, up.y, up.z};
  camera.SetLookAt(e, t, u);
}

TEST(CameraTest, DefaultLooksDownNegativeZAtTheOriginInPerspective) {
  const ACamera camera;
  const Vec3 eye = Eye(camera);
  EXPECT_EQ(eye.x, 0.0f);
  EXPECT_EQ(eye.y, 0.0f);
  EXPECT_GT(eye.z, 0.0f);
  ExpectNear(Target(camera), {0, 0, 0}, 0.0f);
  ExpectNear(Up(camera), {0, 1, 0}, 0.0f);
  EXPECT_FALSE(camera.IsOrthographic());
  EXPECT_EQ(camera.GetFieldOfViewDegrees(), 45.0f);
  EXPECT_NEAR(camera.GetFieldOfView(), std::numbers::pi / 4.0, 1e-6);
}

TEST(CameraTest, FieldOfViewOutsideTheOpenHalfTurnIsRefused) {
  ACamera camera;
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

TEST(CameraTest, RayThroughTheCentreRunsAlongTheViewDirection) {
  ACamera camera;
  camera.SetViewportSize(200, 100);
  const Ray ray = camera.Make3DRay(100, 50, 1);
  ExpectNear({ray.origin[0], ray.origin[1], ray.origin[2]}, Eye(camera));
  ExpectNear({ray.direction[0], ray.direction[1], ray.direction[2]}, {0, 0, -1});
  EXPECT_DOUBLE_EQ(ray.scalar, 60.0);
}

TEST(CameraTest, PerspectiveRayAtTheTopEdgeLeansByHalfTheFieldOfView) {
  ACamera camera;
  camera.SetViewportSize(100, 100);
  const Ray ray = camera.Make3DRay(50, 0, 1);
  EXPECT_NEAR(Length(ray.direction), 1.0f, 1e-6f);
  // Top row (y = 0) is the top of the view: the ray climbs at 22.5 degrees.
  EXPECT_NEAR(std::atan2(ray.direction[1], -ray.direction[2]), std::numbers::pi / 8.0, 1e-5);
  EXPECT_NEAR(ray.direction[0], 0.0f, 1e-6f);
}

TEST(CameraTest, OrthographicRaysAreParallelAndStartInTheEyePlane) {
  ACamera camera;
  camera.SetOrthographic(true);
  camera.SetViewportSize(200, 100);
  const Ray corner = camera.Make3DRay(0, 0, 1);
  ExpectNear({corner.direction[0], corner.direction[1], corner.direction[2]}, {0, 0, -1});
  const float halfHeight = std::tan(static_cast<float>(std::numbers::pi) / 8.0f) * 5.0f;
  ExpectNear({corner.origin[0], corner.origin[1], corner.origin[2]}, {-2.0f * halfHeight, halfHeight, 5.0f});
}

TEST(CameraTest, UnknownRayKindIsRefused) {
  const ACamera camera;
  EXPECT_THROW(camera.Make3DRay(0, 0, 2), std::invalid_argument);
}

TEST(CameraTest, ZoomScalesTheEyeDistanceAndKeepsTheTarget) {
  ACamera camera;
  SetLookAt(camera, {1, 2, 7}, {1, 2, 3}, {0, 1, 0});
  camera.Zoom(0.5f);
  ExpectNear(Eye(camera), {1, 2, 5});
  ExpectNear(Target(camera), {1, 2, 3});
  camera.Zoom(3.0f);
  ExpectNear(Eye(camera), {1, 2, 9});
  EXPECT_THROW(camera.Zoom(0.0f), std::invalid_argument);
  EXPECT_THROW(camera.Zoom(-1.0f), std::invalid_argument);
}

TEST(CameraTest, OrbitYawsAboutUpThenPitchesAboutRightKeepingTheDistance) {
  ACamera camera;  // eye (0, 0, 5)
  camera.Orbit(90.0f, 0.0f);
  ExpectNear(Eye(camera), {5, 0, 0});
  ExpectNear(Up(camera), {0, 1, 0});
  camera.Orbit(0.0f, 90.0f);
  // Right of a camera at +X looking at the origin is -Z; turning about it
  // by +90 degrees carries the eye below the target and tilts up to +X.
  ExpectNear(Eye(camera), {0, -5, 0});
  ExpectNear(Up(camera), {1, 0, 0});
  EXPECT_NEAR(Distance(camera), 5.0f, 1e-4f);
  ExpectNear(Target(camera), {0, 0, 0});
}

TEST(CameraTest, PanMovesEyeAndTargetSoTheSceneFollowsThePointer) {
  ACamera camera;
  camera.SetViewportSize(100, 100);
  // 100 pixels span 2 tan(22.5 degrees) * 5 units at the target.
  const float unitsPerPixel = 2.0f * std::tan(static_cast<float>(std::numbers::pi) / 8.0f) * 5.0f / 100.0f;
  camera.Pan(10.0f, 20.0f);
  ExpectNear(Target(camera), {-10.0f * unitsPerPixel, 20.0f * unitsPerPixel, 0.0f});
  ExpectNear(Eye(camera), {-10.0f * unitsPerPixel, 20.0f * unitsPerPixel, 5.0f});
}

TEST(CameraTest, FitToSphereKeepsTheDirectionAndFramesTheSphere) {
  ACamera camera;
  SetLookAt(camera, {0, 0, 10}, {0, 0, 0}, {0, 1, 0});
  camera.SetViewportSize(100, 100);
  const float centre[3] = {1.0f, 2.0f, 3.0f};
  camera.FitToSphere(centre, 2.0f);
  ExpectNear(Target(camera), {1, 2, 3});
  const float expected = 2.0f / std::sin(static_cast<float>(std::numbers::pi) / 8.0f);
  ExpectNear(Eye(camera), {1, 2, 3 + expected}, 1e-3f);

  // A portrait window: the narrower horizontal angle decides.
  camera.SetViewportSize(50, 100);
  camera.FitToSphere(centre, 2.0f);
  const float tanHalf = std::tan(static_cast<float>(std::numbers::pi) / 8.0f) * 0.5f;
  EXPECT_NEAR(Distance(camera), 2.0f / std::sin(std::atan(tanHalf)), 1e-3f);

  camera.SetOrthographic(true);
  camera.FitToSphere(centre, 2.0f);
  EXPECT_NEAR(Distance(camera), 2.0f / tanHalf, 1e-3f);
}

TEST(CameraTest, DegenerateLookAtStillGivesUnitRays) {
  ACamera camera;
  SetLookAt(camera, {0, 0, 0}, {0, 0, 0}, {0, 0, 0});
  camera.SetViewportSize(10, 10);
  const Ray ray = camera.Make3DRay(3, 7, 1);
  EXPECT_NEAR(Length(ray.direction), 1.0f, 1e-6f);
}

}  // namespace
