#include <windows.h>

#include "detail/ViewVolume.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

#include "ClipMatrices.h"
#include "platform/OffscreenContext.h"

namespace KivVizOpenGL::detail {
namespace {

// The planes of the volume read back from GL's current matrices are those of
// projection times modelview.
TEST(ViewVolumeGLTest, FromCurrentGLIsProjectionTimesModelview) {
  platform::OffscreenContext context{16, 16};
  const test::Matrix projection = test::Frustum(-1, 1.5, -0.5, 1, 1, 20);
  const test::Matrix modelview = ViewVolume::Multiply(test::Translation(0.5, -1, -4), test::Scaling(1, 2, 0.5));
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
