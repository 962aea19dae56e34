// The view volume's planes, culling and containment against hand-built
// fixed-function matrices.
#include <gtest/gtest.h>

#include "detail/ViewVolume.h"

namespace KivVizOpenGL::detail {
namespace {

using Matrix = ViewVolume::Matrix;

// A 90-degree perspective (glFrustum(-1, 1, -1, 1, 1, 10)) times a translation
// by z = -3: looking down -z from the object point (0, 0, 3), at object z = 0
// the volume spans -3..3 in x and y.
Matrix Perspective() {
  return ViewVolume::Multiply({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -11.0 / 9, -1, 0, 0, -20.0 / 9, 0},
                              {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -3, 1});
}

// glOrtho(-2, 2, -1, 1, 0, 5): x in [-2, 2], y in [-1, 1], z in [-5, 0].
Matrix Orthographic() { return {0.5, 0, 0, 0, 0, 1, 0, 0, 0, 0, -0.4, 0, 0, 0, -1, 1}; }

TEST(ViewVolumeTest, CullsOnlyBoxesWhollyOutsideAndContainsOnlyBoxesWhollyInside) {
  const struct {
    const char* name;
    Matrix clip;
    Aabb box;
    bool intersects;
    bool contains;
  } cases[] = {
      {"PerspectiveInside", Perspective(), Aabb({-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}), true, true},
      {"PerspectiveOutsideLeft", Perspective(), Aabb({-5, -0.1f, -0.1f}, {-3.5f, 0.1f, 0.1f}), false, false},
      {"PerspectiveBetweenEyeAndNear", Perspective(), Aabb({-0.1f, -0.1f, 2.2f}, {0.1f, 0.1f, 2.8f}), false, false},
      {"PerspectiveStraddlesNear", Perspective(), Aabb({-0.1f, -0.1f, 1.5f}, {0.1f, 0.1f, 2.8f}), true, false},
      {"PerspectiveEnclosesTheEye", Perspective(), Aabb({-10, -10, -10}, {10, 10, 10}), true, false},
      {"PerspectiveTouchesTheLeftPlane", Perspective(), Aabb({-4, -0.1f, 0}, {-3, 0.1f, 0}), true, false},
      {"PerspectiveWithinRoundingOfLeft", Perspective(), Aabb({-3.00001f, 0, 0}, {-3.000005f, 0, 0}), true, false},
      {"PerspectiveEmptyBox", Perspective(), Aabb(), false, false},
      {"OrthographicTouchesRight", Orthographic(), Aabb({2, 0, -1}, {3, 0.5f, -0.5f}), true, false},
      {"OrthographicStraddlesFar", Orthographic(), Aabb({-1, -0.5f, -6}, {1, 0.5f, -4}), true, false},
      {"OrthographicFlatInside", Orthographic(), Aabb({0, 0, -2}, {0, 0, -2}), true, true}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.intersects, ViewVolume(c.clip).Intersects(c.box)) << c.name;
    EXPECT_EQ(c.contains, ViewVolume(c.clip).Contains(c.box)) << c.name;
  }
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
      EXPECT_EQ(side < 0.0, i == j) << "point " << i << " plane " << j;
    }
  }
}

}  // namespace
}  // namespace KivVizOpenGL::detail
