// The view volume's planes, culling and containment against matrices built
// by hand as the fixed-function calls of the same names define them, and
// against GL's own matrices.
#include <windows.h>

#include "detail/ViewVolume.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

#include "platform/OffscreenContext.h"

namespace KivVizOpenGL::detail {
namespace {

using Matrix = ViewVolume::Matrix;

namespace test {

Matrix Frustum(double left, double right, double bottom, double top, double zNear, double zFar) {
  Matrix m{};
  m[0] = 2 * zNear / (right - left);
  m[5] = 2 * zNear / (top - bottom);
  m[8] = (right + left) / (right - left);
  m[9] = (top + bottom) / (top - bottom);
  m[10] = -(zFar + zNear) / (zFar - zNear);
  m[11] = -1;
  m[14] = -2 * zFar * zNear / (zFar - zNear);
  return m;
}

Matrix Ortho(double left, double right, double bottom, double top, double zNear, double zFar) {
  Matrix m{};
  m[0] = 2 / (right - left);
  m[5] = 2 / (top - bottom);
  m[10] = -2 / (zFar - zNear);
  m[12] = -(right + left) / (right - left);
  m[13] = -(top + bottom) / (top - bottom);
  m[14] = -(zFar + zNear) / (zFar - zNear);
  m[15] = 1;
  return m;
}

Matrix Translation(double x, double y, double z) { return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1}; }

Matrix Scaling(double x, double y, double z) { return {x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1}; }

// The pick matrix for a width x height region centred on window pixel (x, y).
Matrix Pick(double x, double y, double width, double height, double viewportWidth, double viewportHeight) {
  return ViewVolume::Multiply(Translation((viewportWidth - 2 * x) / width, (viewportHeight - 2 * y) / height, 0),
                              Scaling(viewportWidth / width, viewportHeight / height, 1));
}

}  // namespace test

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

TEST(ViewVolumeGLTest, FromCurrentGLIsProjectionTimesModelview) {
  platform::OffscreenContext context{16, 16};
  const Matrix projection = test::Frustum(-1, 1.5, -0.5, 1, 1, 20);
  const Matrix modelview = ViewVolume::Multiply(test::Translation(0.5, -1, -4), test::Scaling(1, 2, 0.5));
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixd(projection.data());
  glMatrixMode(GL_MODELVIEW);
  glLoadMatrixd(modelview.data());
  const ViewVolume fromGL = ViewVolume::FromCurrentGL();
  const ViewVolume expected(ViewVolume::Multiply(projection, modelview));
  for (int i = 0; i < 6; ++i) {
    const ViewVolume::Plane& e = expected.Planes()[i];
    const ViewVolume::Plane& g = fromGL.Planes()[i];
    // GL keeps its matrices in float.
    EXPECT_NEAR(e.a, g.a, 1e-6 * std::abs(e.a)) << "plane " << i;
    EXPECT_NEAR(e.b, g.b, 1e-6 * std::abs(e.b)) << "plane " << i;
    EXPECT_NEAR(e.c, g.c, 1e-6 * std::abs(e.c)) << "plane " << i;
    EXPECT_NEAR(e.d, g.d, 1e-6 * std::abs(e.d)) << "plane " << i;
  }
  EXPECT_EQ(static_cast<GLenum>(GL_NO_ERROR), glGetError());
}

}  // namespace
}  // namespace KivVizOpenGL::detail
