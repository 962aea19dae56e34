// What the view base hands to GL: the clip plane on the current context.
#include <windows.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "GLFixture.h"
#include "TestView.h"

namespace {

using AView3DClipPlaneTest = NimboTest::GLFixture;

TEST_F(AView3DClipPlaneTest, ClipPlaneReachesTheContextInEyeSpaceOfTheCamera) {
  NimboTest::TestView view;
  const double keepFront[4] = {0.0, 0.0, 1.0, -1.0};  // keep z >= 1
  glMatrixMode(GL_PROJECTION);
  view.SetClipPlane(keepFront);
  EXPECT_TRUE(glIsEnabled(GL_CLIP_PLANE0));
  double stored[4] = {};
  glGetClipPlane(GL_CLIP_PLANE0, stored);
  // The default camera sits at z = 5: eye z = world z - 5.
  EXPECT_NEAR(stored[0], 0.0, 1e-9);
  EXPECT_NEAR(stored[1], 0.0, 1e-9);
  EXPECT_NEAR(stored[2], 1.0, 1e-9);
  EXPECT_NEAR(stored[3], 4.0, 1e-6);
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_PROJECTION) << "the matrix mode is left alone";
  double modelView[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
  EXPECT_EQ(modelView[14], 0.0) << "and so is the model-view matrix";
  view.UnSetClipPlane();
  EXPECT_FALSE(glIsEnabled(GL_CLIP_PLANE0));
}

}  // namespace
