// What the view base and its camera hand to GL, on a real context: the clip
// plane, and the camera's rays against gluUnProject of the projection the
// view sets up.
#include <windows.h>
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <utility>

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

using Vec = std::array<double, 3>;

Vec operator-(const Vec& a, const Vec& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
double Dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vec Unit(const Vec& v) {
  const double length = std::sqrt(Dot(v, v));
  return {v[0] / length, v[1] / length, v[2] / length};
}
Vec ToVec(const float v[3]) { return {v[0], v[1], v[2]}; }

// The projection and camera a view multiplies onto GL's matrices, near and
// far as the camera works them out from the scene bounds.
void SetUpProjection(const ACamera& camera, float aspect) {
  float nearPlane = 0.0f;
  float farPlane = 0.0f;
  camera.GetNearFar(nearPlane, farPlane);
  float eye[3], target[3], up[3];
  camera.GetLookAt(eye, target, up);
  if (camera.IsOrthographic()) {
    const float distance = std::hypot(eye[0] - target[0], eye[1] - target[1], eye[2] - target[2]);
    const float h = std::tan(camera.GetFieldOfView() * 0.5f) * distance;
    glOrtho(-h * aspect, h * aspect, -h, h, nearPlane, farPlane);
  } else {
    gluPerspective(camera.GetFieldOfViewDegrees(), aspect, nearPlane, farPlane);
  }
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(eye[0], eye[1], eye[2], target[0], target[1], target[2], up[0], up[1], up[2]);
}

class CameraRayTest : public NimboTest::GLFixture, public ::testing::WithParamInterface<RayCase> {};

TEST_P(CameraRayTest, RayMatchesUnProjectedPixel) {
  const RayCase& c = GetParam();
  NimboTest::TestView view;
  view.SetWindowSize(c.width, c.height);
  view.SetSceneBounds(c.sceneCenter, c.sceneRadius);
  view.GetCamera()->SetLookAt(c.eye, c.target, c.up);
  view.GetCamera()->SetOrthographic(c.orthographic);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  SetUpProjection(*view.GetCamera(), static_cast<float>(c.width) / static_cast<float>(c.height));
  double modelView[16];
  double projection[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  const GLint viewport[4] = {0, 0, c.width, c.height};
  const Vec eye = ToVec(c.eye);
  const Vec forward = Unit(ToVec(c.target) - eye);

  const int pixels[][2] = {
      {0, 0}, {c.width / 2, c.height / 2}, {c.width - 1, c.height - 1}, {c.width / 3, 2 * c.height / 3}};
  for (const auto& pixel : pixels) {
    SCOPED_TRACE("pixel " + std::to_string(pixel[0]) + ", " + std::to_string(pixel[1]));
    const Ray ray = view.GetCamera()->Make3DRay(pixel[0], pixel[1], 1);
    Vec nearPoint, farPoint;
    for (auto [depth, point] : {std::pair{0.0, &nearPoint}, std::pair{1.0, &farPoint}}) {
      ASSERT_TRUE(gluUnProject(pixel[0], c.height - pixel[1], depth, modelView, projection, viewport, &(*point)[0],
                               &(*point)[1], &(*point)[2]));
    }
    const Vec expected = Unit(farPoint - nearPoint);
    const Vec direction = ToVec(ray.direction);
    EXPECT_NEAR(std::sqrt(Dot(direction, direction)), 1.0, 1e-5);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(direction[k], expected[k], 1e-4) << "direction " << k;

    // The ray's line passes through the unprojected near point; its origin
    // is the eye (perspective) or lies in the eye's plane (orthographic).
    const Vec toNear = nearPoint - ToVec(ray.origin);
    const double along = Dot(toNear, direction);
    const Vec off = toNear - Vec{along * direction[0], along * direction[1], along * direction[2]};
    EXPECT_NEAR(std::sqrt(Dot(off, off)), 0.0, 1e-3 * (1.0 + std::fabs(along)));
    const Vec fromEye = ToVec(ray.origin) - eye;
    EXPECT_NEAR(c.orthographic ? Dot(fromEye, forward) : std::sqrt(Dot(fromEye, fromEye)), 0.0, 1e-4);
    // The scalar is the far plane's depth along the view.
    EXPECT_NEAR(ray.scalar, Dot(farPoint - eye, forward), 1e-3 * ray.scalar);
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
