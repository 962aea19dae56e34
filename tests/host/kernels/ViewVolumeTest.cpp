#include "detail/ViewVolume.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "ClipMatrices.h"

namespace KivVizOpenGL::detail {
namespace {

using test::Matrix;

// A 90-degree perspective (near 1, far 10) looking down -z from the object
// point (0, 0, 3): at object z = 0 the volume spans -3..3 in x and y.
Matrix Perspective() {
  return ViewVolume::Multiply(test::Frustum(-1, 1, -1, 1, 1, 10), test::Translation(0, 0, -3));
}

// x in [-2, 2], y in [-1, 1], z in [-5, 0].
Matrix Orthographic() { return test::Ortho(-2, 2, -1, 1, 0, 5); }

// A 4 x 4 pixel pick box at the centre of a 100 x 100 viewport in the
// perspective above: at object z = 0 it spans -0.12..0.12.
Matrix PickAtTheCentre() {
  return ViewVolume::Multiply(test::Pick(50, 50, 4, 4, 100, 100), Perspective());
}

struct VolumeCase {
  std::string name;
  Matrix (*clip)();
  Aabb box;
  bool intersects;
  friend void PrintTo(const VolumeCase& c, std::ostream* out) { *out << c.name; }
};

class ViewVolumeBoxes : public testing::TestWithParam<VolumeCase> {};

TEST_P(ViewVolumeBoxes, CullOnlyBoxesWhollyOutside) {
  const VolumeCase& c = GetParam();
  EXPECT_EQ(c.intersects, ViewVolume(c.clip()).Intersects(c.box));
}

Aabb Box(Float3 low, Float3 high) { return Aabb(low, high); }

INSTANTIATE_TEST_SUITE_P(
    Perspective, ViewVolumeBoxes,
    testing::Values(
        VolumeCase{"Inside", Perspective, Box({-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}), true},
        VolumeCase{"StraddlesLeft", Perspective, Box({-4, -0.1f, -0.1f}, {-2, 0.1f, 0.1f}), true},
        VolumeCase{"OutsideLeft", Perspective, Box({-5, -0.1f, -0.1f}, {-3.5f, 0.1f, 0.1f}),
                   false},
        VolumeCase{"OutsideRight", Perspective, Box({3.5f, -0.1f, -0.1f}, {5, 0.1f, 0.1f}),
                   false},
        VolumeCase{"OutsideBottom", Perspective, Box({-0.1f, -5, -0.1f}, {0.1f, -3.5f, 0.1f}),
                   false},
        VolumeCase{"OutsideTop", Perspective, Box({-0.1f, 3.5f, -0.1f}, {0.1f, 5, 0.1f}), false},
        VolumeCase{"BehindTheEye", Perspective, Box({-1, -1, 3.5f}, {1, 1, 5}), false},
        VolumeCase{"BetweenEyeAndNear", Perspective, Box({-0.1f, -0.1f, 2.2f}, {0.1f, 0.1f, 2.8f}),
                   false},
        VolumeCase{"StraddlesNear", Perspective, Box({-0.1f, -0.1f, 1.5f}, {0.1f, 0.1f, 2.8f}),
                   true},
        VolumeCase{"BeyondFar", Perspective, Box({-1, -1, -9}, {1, 1, -8}), false},
        VolumeCase{"EnclosesTheEye", Perspective, Box({-10, -10, -10}, {10, 10, 10}), true},
        VolumeCase{"TouchesTheLeftPlane", Perspective, Box({-4, -0.1f, 0}, {-3, 0.1f, 0}), true},
        VolumeCase{"WithinRoundingOfLeft", Perspective,
                   Box({-3.00001f, 0, 0}, {-3.000005f, 0, 0}), true},
        VolumeCase{"EmptyBox", Perspective, Aabb(), false}),
    [](const testing::TestParamInfo<VolumeCase>& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Orthographic, ViewVolumeBoxes,
    testing::Values(
        VolumeCase{"Inside", Orthographic, Box({-1, -0.5f, -4}, {1, 0.5f, -1}), true},
        VolumeCase{"OutsideRight", Orthographic, Box({2.5f, 0, -1}, {3, 0.5f, -0.5f}), false},
        VolumeCase{"TouchesRight", Orthographic, Box({2, 0, -1}, {3, 0.5f, -0.5f}), true},
        VolumeCase{"OutsideTop", Orthographic, Box({-1, 1.2f, -1}, {1, 2, -0.5f}), false},
        VolumeCase{"BehindNear", Orthographic, Box({-1, -0.5f, 0.5f}, {1, 0.5f, 1}), false},
        VolumeCase{"BeyondFar", Orthographic, Box({-1, -0.5f, -7}, {1, 0.5f, -6}), false},
        VolumeCase{"StraddlesFar", Orthographic, Box({-1, -0.5f, -6}, {1, 0.5f, -4}), true},
        VolumeCase{"FlatInside", Orthographic, Box({0, 0, -2}, {0, 0, -2}), true}),
    [](const testing::TestParamInfo<VolumeCase>& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Pick, ViewVolumeBoxes,
    testing::Values(
        VolumeCase{"OnThePickRay", PickAtTheCentre, Box({-0.05f, -0.05f, -2}, {0.05f, 0.05f, 0}),
                   true},
        VolumeCase{"StraddlesThePickBox", PickAtTheCentre, Box({0.1f, -0.05f, 0}, {0.2f, 0, 0}),
                   true},
        VolumeCase{"BesideThePickBox", PickAtTheCentre, Box({0.5f, -0.05f, -0.1f}, {0.6f, 0, 0}),
                   false},
        VolumeCase{"BelowThePickBox", PickAtTheCentre, Box({-0.1f, -0.6f, 0}, {0.1f, -0.2f, 0}),
                   false},
        VolumeCase{"FarAlongThePickRay", PickAtTheCentre, Box({-0.2f, -0.2f, -6.9f},
                                                              {0.2f, 0.2f, -6.8f}),
                   true}),
    [](const testing::TestParamInfo<VolumeCase>& info) { return info.param.name; });

TEST(ViewVolumeTest, MultiplyIsColumnMajorAndAppliesTheRightFactorFirst) {
  const Matrix translateThenScale =
      ViewVolume::Multiply(test::Scaling(2, 2, 2), test::Translation(1, 0, 0));
  const Matrix scaleThenTranslate =
      ViewVolume::Multiply(test::Translation(1, 0, 0), test::Scaling(2, 2, 2));
  EXPECT_EQ(2.0, translateThenScale[12]);
  EXPECT_EQ(1.0, scaleThenTranslate[12]);
  EXPECT_EQ(2.0, translateThenScale[0]);
  // The perspective above moved 3 units: column 3 is P * (0, 0, -3, 1).
  const Matrix perspective = Perspective();
  EXPECT_DOUBLE_EQ(11.0 / 3.0 - 20.0 / 9.0, perspective[14]);
  EXPECT_DOUBLE_EQ(3.0, perspective[15]);
}

TEST(ViewVolumeTest, PlanesFaceInwardInTheDocumentedOrder) {
  const ViewVolume volume(Orthographic());
  // Points just outside one face each (and inside all others), in the
  // order left, right, bottom, top, near, far.
  const Float3 outsideOf[6] = {{-2.1f, 0, -1}, {2.1f, 0, -1}, {0, -1.1f, -1},
                               {0, 1.1f, -1},  {0, 0, 0.1f},  {0, 0, -5.1f}};
  for (int i = 0; i < 6; ++i) {
    for (int j = 0; j < 6; ++j) {
      const ViewVolume::Plane& plane = volume.Planes()[j];
      const Float3& p = outsideOf[i];
      const double side = plane.a * p.x + plane.b * p.y + plane.c * p.z + plane.d;
      if (i == j) {
        EXPECT_LT(side, 0.0) << "point " << i << " plane " << j;
      } else {
        EXPECT_GT(side, 0.0) << "point " << i << " plane " << j;
      }
    }
  }
}

}  // namespace
}  // namespace KivVizOpenGL::detail
