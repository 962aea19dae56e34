#include "detail/ViewVolume.h"

#include <gtest/gtest.h>

#include "ClipMatrices.h"

namespace KivVizOpenGL::detail {
namespace {

using test::Matrix;

// A 90-degree perspective (near 1, far 10) looking down -z from the object
// point (0, 0, 3): at object z = 0 the volume spans -3..3 in x and y.
Matrix Perspective() { return ViewVolume::Multiply(test::Frustum(-1, 1, -1, 1, 1, 10), test::Translation(0, 0, -3)); }

// x in [-2, 2], y in [-1, 1], z in [-5, 0].
Matrix Orthographic() { return test::Ortho(-2, 2, -1, 1, 0, 5); }

TEST(ViewVolumeTest, CullsOnlyBoxesWhollyOutsideAndContainsOnlyBoxesWhollyInside) {
  // A 4 x 4 pixel pick box at the centre of a 100 x 100 viewport in the
  // perspective: at object z = 0 it spans -0.12..0.12.
  const Matrix pick = ViewVolume::Multiply(test::Pick(50, 50, 4, 4, 100, 100), Perspective());
  const struct {
    const char* name;
    Matrix clip;
    Aabb box;
    bool intersects;
    bool contains;
  } cases[] = {
      {"PerspectiveInside", Perspective(), Aabb({-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}), true, true},
      {"PerspectiveStraddlesLeft", Perspective(), Aabb({-4, -0.1f, -0.1f}, {-2, 0.1f, 0.1f}), true, false},
      {"PerspectiveOutsideLeft", Perspective(), Aabb({-5, -0.1f, -0.1f}, {-3.5f, 0.1f, 0.1f}), false, false},
      {"PerspectiveOutsideRight", Perspective(), Aabb({3.5f, -0.1f, -0.1f}, {5, 0.1f, 0.1f}), false, false},
      {"PerspectiveOutsideBottom", Perspective(), Aabb({-0.1f, -5, -0.1f}, {0.1f, -3.5f, 0.1f}), false, false},
      {"PerspectiveOutsideTop", Perspective(), Aabb({-0.1f, 3.5f, -0.1f}, {0.1f, 5, 0.1f}), false, false},
      {"PerspectiveBehindTheEye", Perspective(), Aabb({-1, -1, 3.5f}, {1, 1, 5}), false, false},
      {"PerspectiveBetweenEyeAndNear", Perspective(), Aabb({-0.1f, -0.1f, 2.2f}, {0.1f, 0.1f, 2.8f}), false, false},
      {"PerspectiveStraddlesNear", Perspective(), Aabb({-0.1f, -0.1f, 1.5f}, {0.1f, 0.1f, 2.8f}), true, false},
      {"PerspectiveBeyondFar", Perspective(), Aabb({-1, -1, -9}, {1, 1, -8}), false, false},
      {"PerspectiveEnclosesTheEye", Perspective(), Aabb({-10, -10, -10}, {10, 10, 10}), true, false},
      {"PerspectiveTouchesTheLeftPlane", Perspective(), Aabb({-4, -0.1f, 0}, {-3, 0.1f, 0}), true, false},
      {"PerspectiveWithinRoundingOfLeft", Perspective(), Aabb({-3.00001f, 0, 0}, {-3.000005f, 0, 0}), true, false},
      {"PerspectiveEmptyBox", Perspective(), Aabb(), false, false},
      {"OrthographicInside", Orthographic(), Aabb({-1, -0.5f, -4}, {1, 0.5f, -1}), true, true},
      {"OrthographicOutsideRight", Orthographic(), Aabb({2.5f, 0, -1}, {3, 0.5f, -0.5f}), false, false},
      {"OrthographicTouchesRight", Orthographic(), Aabb({2, 0, -1}, {3, 0.5f, -0.5f}), true, false},
      {"OrthographicBehindNear", Orthographic(), Aabb({-1, -0.5f, 0.5f}, {1, 0.5f, 1}), false, false},
      {"OrthographicStraddlesFar", Orthographic(), Aabb({-1, -0.5f, -6}, {1, 0.5f, -4}), true, false},
      {"OrthographicFlatInside", Orthographic(), Aabb({0, 0, -2}, {0, 0, -2}), true, true},
      {"OnThePickRay", pick, Aabb({-0.05f, -0.05f, -2}, {0.05f, 0.05f, 0}), true, true},
      {"StraddlesThePickBox", pick, Aabb({0.1f, -0.05f, 0}, {0.2f, 0, 0}), true, false},
      {"BesideThePickBox", pick, Aabb({0.5f, -0.05f, -0.1f}, {0.6f, 0, 0}), false, false},
      {"BelowThePickBox", pick, Aabb({-0.1f, -0.6f, 0}, {0.1f, -0.2f, 0}), false, false},
      {"FarAlongThePickRay", pick, Aabb({-0.2f, -0.2f, -6.9f}, {0.2f, 0.2f, -6.8f}), true, true}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.intersects, ViewVolume(c.clip).Intersects(c.box)) << c.name;
    EXPECT_EQ(c.contains, ViewVolume(c.clip).Contains(c.box)) << c.name;
  }
}

TEST(ViewVolumeTest, MultiplyIsColumnMajorAndAppliesTheRightFactorFirst) {
  EXPECT_EQ(2.0, ViewVolume::Multiply(test::Scaling(2, 2, 2), test::Translation(1, 0, 0))[12]);
  EXPECT_EQ(1.0, ViewVolume::Multiply(test::Translation(1, 0, 0), test::Scaling(2, 2, 2))[12]);
  // The perspective above moved 3 units: column 3 is P * (0, 0, -3, 1).
  const Matrix perspective = Perspective();
  EXPECT_DOUBLE_EQ(11.0 / 3.0 - 20.0 / 9.0, perspective[14]);
  EXPECT_DOUBLE_EQ(3.0, perspective[15]);
}

TEST(ViewVolumeTest, PlanesFaceInwardInTheDocumentedOrder) {
  const ViewVolume volume(Orthographic());
  // Points just outside one face each (and inside all others), in the
  // order left, right, bottom, top, near, far.
  const Float3 outsideOf[6] = {{-2.1f, 0, -1}, {2.1f, 0, -1}, {0, -1.1f, -1}, {0, 1.1f, -1}, {0, 0, 0.1f}, {0, 0, -5.1f}};
  for (int i = 0; i < 6; ++i) {
    for (int j = 0; j < 6; ++j) {
      const ViewVolume::Plane& plane = volume.Planes()[j];
      const Float3& p = outsideOf[i];
      const double side = plane.a * p.x + plane.b * p.y + plane.c * p.z + plane.d;
      EXPECT_EQ(side < 0.0, i == j) << "point " << i << " plane " << j;
    }
  }
}

}  // namespace
}  // namespace KivVizOpenGL::detail
