// What the view base and its camera hand to GL, on a real context: the clip
// plane, and the camera's rays against gluProject of the projection the
// plug-in's view sets up.
#include <windows.h>
#include <GL/glu.h>

#include <cmath>

#include "GLFixture.h"
#include "KivVizCore/Ray.h"
#include "NimboCore/ACamera.h"
#include "TestView.h"

namespace {

struct RayCase {
  const char* name;
  bool orthographic;
  int width, height;
  float eye[3], target[3], up[3], sceneCenter[3];
  float sceneRadius;
};

const RayCase kCases[] = {
    {"PerspectiveLandscape", false, 64, 48, {0, 0, 5}, {0, 0, 0}, {0, 1, 0}, {0, 0, 0}, 1.0f},
    {"OrthographicPortraitTilted", true, 30, 80, {3, -2, 6}, {0.5f, 1, -1}, {0, 0, 1}, {1, 1, 1}, 2.0f},
};

class CameraRayTest : public NimboTest::GLFixture, public ::testing::WithParamInterface<RayCase> {};

// The projection and camera the plug-in's view multiplies onto GL's matrices,
// near and far as the camera works them out from the scene bounds; the ray
// through a pixel must project onto that pixel at the near and far planes.
TEST_P(CameraRayTest, RayMatchesTheProjectedPixel) {
  const RayCase& c = GetParam();
  NimboTest::TestView view;
  ACamera& camera = *view.GetCamera();
  view.SetWindowSize(c.width, c.height);
  view.SetSceneBounds(c.sceneCenter, c.sceneRadius);
  camera.SetLookAt(c.eye, c.target, c.up);
  camera.SetOrthographic(c.orthographic);
  float nearPlane = 0.0f, farPlane = 0.0f;
  camera.GetNearFar(nearPlane, farPlane);
  const double aspect = static_cast<double>(c.width) / c.height;
  const double toTarget[3] = {c.target[0] - c.eye[0], c.target[1] - c.eye[1], c.target[2] - c.eye[2]};
  const double distance = std::hypot(toTarget[0], toTarget[1], toTarget[2]);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  if (c.orthographic) {
    const double h = std::tan(camera.GetFieldOfView() * 0.5) * distance;
    glOrtho(-h * aspect, h * aspect, -h, h, nearPlane, farPlane);
  } else {
    gluPerspective(camera.GetFieldOfViewDegrees(), aspect, nearPlane, farPlane);
  }
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(c.eye[0], c.eye[1], c.eye[2], c.target[0], c.target[1], c.target[2], c.up[0], c.up[1], c.up[2]);
  double modelView[16], projection[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  const GLint viewport[4] = {0, 0, c.width, c.height};

  const int pixels[][2] = {
      {0, 0}, {c.width / 2, c.height / 2}, {c.width - 1, c.height - 1}, {c.width / 3, 2 * c.height / 3}};
  for (const auto& pixel : pixels) {
    SCOPED_TRACE("pixel " + std::to_string(pixel[0]) + ", " + std::to_string(pixel[1]));
    const Ray ray = camera.Make3DRay(pixel[0], pixel[1], 1);
    const float* o = ray.origin;
    const float* d = ray.direction;
    EXPECT_NEAR(std::hypot(d[0], d[1], d[2]), 1.0, 1e-5);
    // Along the view, the origin lies at the eye (perspective) or in its
    // plane (orthographic); the scalar is the far plane's depth.
    const auto depth = [&](const double v[3]) {
      return (v[0] * toTarget[0] + v[1] * toTarget[1] + v[2] * toTarget[2]) / distance;
    };
    const double fromEye[3] = {o[0] - c.eye[0], o[1] - c.eye[1], o[2] - c.eye[2]};
    EXPECT_NEAR(c.orthographic ? depth(fromEye) : std::hypot(fromEye[0], fromEye[1], fromEye[2]), 0.0, 1e-4);
    EXPECT_NEAR(ray.scalar, farPlane, 1e-3 * farPlane);
    const double along[3] = {d[0], d[1], d[2]};
    EXPECT_GT(depth(along), 0.0) << "into the scene";
    for (const double plane : {0.0, 1.0}) {
      const double t = (plane == 0.0 ? nearPlane : farPlane) / depth(along);
      double window[3];
      ASSERT_TRUE(gluProject(o[0] + t * d[0], o[1] + t * d[1], o[2] + t * d[2], modelView, projection, viewport,
                             &window[0], &window[1], &window[2]));
      EXPECT_NEAR(window[0], pixel[0], 1e-2);
      EXPECT_NEAR(window[1], c.height - pixel[1], 1e-2);
      EXPECT_NEAR(window[2], plane, 1e-4);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Projections, CameraRayTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

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
  const double expected[4] = {0.0, 0.0, 1.0, 4.0};
  for (int k = 0; k < 4; ++k) EXPECT_NEAR(stored[k], expected[k], k < 3 ? 1e-9 : 1e-6) << k;
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
