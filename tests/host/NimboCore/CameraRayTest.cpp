// The camera's rays against gluUnProject of the projection the view sets up,
// read back from a real context.
#include <windows.h>
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

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

double Dot(const double a[3], const double b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

void Normalize(double v[3]) {
  const double length = std::sqrt(Dot(v, v));
  for (int k = 0; k < 3; ++k) v[k] /= length;
}

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
  double forward[3] = {c.target[0] - c.eye[0], c.target[1] - c.eye[1], c.target[2] - c.eye[2]};
  Normalize(forward);

  const int pixels[][2] = {
      {0, 0}, {c.width / 2, c.height / 2}, {c.width - 1, c.height - 1}, {c.width / 3, 2 * c.height / 3}};
  for (const auto& pixel : pixels) {
    SCOPED_TRACE("pixel " + std::to_string(pixel[0]) + ", " + std::to_string(pixel[1]));
    const Ray ray = view.GetCamera()->Make3DRay(pixel[0], pixel[1], 1);
    double nearPoint[3];
    double farPoint[3];
    ASSERT_TRUE(gluUnProject(pixel[0], c.height - pixel[1], 0.0, modelView, projection, viewport, &nearPoint[0],
                             &nearPoint[1], &nearPoint[2]));
    ASSERT_TRUE(gluUnProject(pixel[0], c.height - pixel[1], 1.0, modelView, projection, viewport, &farPoint[0],
                             &farPoint[1], &farPoint[2]));
    double expected[3] = {farPoint[0] - nearPoint[0], farPoint[1] - nearPoint[1], farPoint[2] - nearPoint[2]};
    Normalize(expected);
    const double direction[3] = {ray.direction[0], ray.direction[1], ray.direction[2]};
    EXPECT_NEAR(std::sqrt(Dot(direction, direction)), 1.0, 1e-5);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(direction[k], expected[k], 1e-4) << "direction " << k;

    // The ray's line passes through the unprojected near point; its origin
    // is the eye (perspective) or lies in the eye's plane (orthographic).
    const double toNear[3] = {nearPoint[0] - ray.origin[0], nearPoint[1] - ray.origin[1], nearPoint[2] - ray.origin[2]};
    const double along = Dot(toNear, direction);
    const double off[3] = {toNear[0] - along * direction[0], toNear[1] - along * direction[1],
                           toNear[2] - along * direction[2]};
    EXPECT_NEAR(std::sqrt(Dot(off, off)), 0.0, 1e-3 * (1.0 + std::fabs(along)));
    const double fromEye[3] = {ray.origin[0] - c.eye[0], ray.origin[1] - c.eye[1], ray.origin[2] - c.eye[2]};
    EXPECT_NEAR(c.orthographic ? Dot(fromEye, forward) : std::sqrt(Dot(fromEye, fromEye)), 0.0, 1e-4);
    // The scalar is the far plane's depth along the view.
    const double farOffset[3] = {farPoint[0] - c.eye[0], farPoint[1] - c.eye[1], farPoint[2] - c.eye[2]};
    EXPECT_NEAR(ray.scalar, Dot(farOffset, forward), 1e-3 * ray.scalar);
  }
}

INSTANTIATE_TEST_SUITE_P(Projections, CameraRayTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
