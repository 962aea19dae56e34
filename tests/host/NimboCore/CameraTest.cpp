// The camera's defaults, refused settings and near and far planes; its rays
// are checked against GL in CameraRayTest, zoom in ControllerTest.
#include <gtest/gtest.h>

#include <array>
#include <numbers>
#include <stdexcept>

#include "KivVizCore/Ray.h"
#include "NimboCore/ACamera.h"

namespace {

using Vec3 = std::array<float, 3>;

struct LookAt {
  Vec3 eye, target, up;
  bool operator==(const LookAt&) const = default;
};

TEST(CameraTest, DefaultLooksDownNegativeZAtTheOriginWith45Degrees) {
  ACamera camera;
  LookAt l{};
  camera.GetLookAt(l.eye.data(), l.target.data(), l.up.data());
  EXPECT_EQ(l, (LookAt{{0, 0, 5}, {0, 0, 0}, {0, 1, 0}}));
  EXPECT_FALSE(camera.IsOrthographic());
  EXPECT_EQ(camera.GetFieldOfViewDegrees(), 45.0f);
  EXPECT_NEAR(camera.GetFieldOfView(), std::numbers::pi / 4.0, 1e-6);
  EXPECT_THROW(camera.SetFieldOfViewDegrees(0.0f), std::invalid_argument);
  EXPECT_THROW(camera.SetFieldOfViewDegrees(180.0f), std::invalid_argument);
  EXPECT_THROW(camera.Make3DRay(0, 0, 2), std::invalid_argument) << "only ray kind 1 exists";
  EXPECT_THROW(camera.Zoom(0.0f), std::invalid_argument);
  EXPECT_THROW(camera.Zoom(-1.0f), std::invalid_argument);
}

// Eye 5 from the target, the scene around it of radius r: near 5 - r, a tenth
// of it beyond 1.0, floored at r / 500 in perspective only; far (5 + r) * 10.
TEST(CameraTest, NearAndFarFollowTheSceneBoundsAsTheProjectionDoes) {
  const struct {
    float radius;
    bool orthographic;
    float nearDistance, farDistance;
  } cases[] = {{1.0f, false, 0.4f, 60.0f},
               {4.0f, false, 1.0f, 90.0f},
               {10.0f, false, 10.0f / 500.0f, 150.0f},
               {10.0f, true, -5.0f, 150.0f}};
  const float centre[3] = {0.0f, 0.0f, 0.0f};
  for (const auto& c : cases) {
    ACamera camera;
    camera.SetSceneBounds(centre, c.radius);
    camera.SetOrthographic(c.orthographic);
    float nearDistance = 0.0f, farDistance = 0.0f;
    camera.GetNearFar(nearDistance, farDistance);
    EXPECT_FLOAT_EQ(nearDistance, c.nearDistance) << c.radius << (c.orthographic ? " orthographic" : "");
    EXPECT_FLOAT_EQ(farDistance, c.farDistance) << c.radius;
  }
}

}  // namespace
