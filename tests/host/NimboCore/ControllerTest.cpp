// The camera's defaults, refused settings and near and far planes (its rays
// are checked against GL in CameraRayTest); the controller: who hears each
// view operation and in which order, the host's operation codes, and the
// camera moving before listeners hear.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "KivVizCore/Ray.h"
#include "NimboCore/ACamera.h"
#include "NimboCore/Controller.h"
#include "NimboCore/IControllerListener.h"
#include "NimboCore/ViewOp.h"
#include "NimboCore/ViewOpRayPick.h"
#include "TestView.h"

namespace {

// The camera's eye, target and up, one after the other.
std::array<float, 9> LookAt(const ACamera& camera) {
  std::array<float, 9> v;
  camera.GetLookAt(&v[0], &v[3], &v[6]);
  return v;
}

float EyeDistance(ACamera* camera) {
  const auto v = LookAt(*camera);
  return std::hypot(v[0] - v[3], v[1] - v[4], v[2] - v[5]);
}

TEST(CameraTest, DefaultLooksDownNegativeZAtTheOriginWith45Degrees) {
  ACamera camera;
  EXPECT_EQ(LookAt(camera), (std::array<float, 9>{0, 0, 5, 0, 0, 0, 0, 1, 0}));
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

class ControllerTest : public ::testing::Test {
 protected:
  // Logs "<name>:<type>" and the camera's eye distance when it heard the record.
  struct Listener : IControllerListener {
    Listener(ControllerTest& test, std::string name) : test(test), name(std::move(name)) {}
    void ControllerNotify(IViewOp* op) override {
      test.log.push_back(name + ":" + std::to_string(op->GetType()));
      test.distances.push_back(EyeDistance(test.camera));
    }
    ControllerTest& test;
    std::string name;
  };

  ControllerTest() { view.SetWindowSize(200, 100); }

  void Send(int type, int phase, int first, int second, int third = 0) {
    ViewOp op(type, phase, first, second, third);
    controller.Notify(&op);
  }

  NimboTest::TestView view;
  Controller& controller = *view.GetController();
  ACamera* camera = view.GetCamera();
  std::vector<std::string> log;
  std::vector<float> distances;
};

TEST_F(ControllerTest, ListenersHearEveryRecordOnceInRegistrationOrder) {
  EXPECT_TRUE(controller.Listeners().empty()) << "the view is not one of its listeners";
  EXPECT_EQ(view.GetControlledView(), &view);
  Listener first(*this, "first");
  Listener second(*this, "second");
  controller.AddListener(&second);
  controller.AddListener(&first);
  controller.AddListener(&second);

  ViewOpRayPick pick(3, 4);
  controller.Notify(&pick);
  Send(IViewOp::Hover, 0, 5, 6);
  controller.Notify(nullptr);
  controller.RemoveListener(&second);
  controller.Notify(&pick);
  // Records reach listeners without a camera too.
  Controller withoutView(nullptr);
  withoutView.AddListener(&second);
  ViewOp wheel(IViewOp::WheelZoom, 0, 3, 0, 0);
  withoutView.Notify(&wheel);
  // The host's numbers: 3 for a ray pick, 2 hover, 4 wheel zoom.
  EXPECT_EQ(log, (std::vector<std::string>{"second:3", "first:3", "second:2", "first:2", "first:3", "second:4"}));
  EXPECT_EQ(ViewOp(IViewOp::RubberBand, 1, 10, 20, 30).GetType(), 8);
  EXPECT_EQ(ViewOpRayPick::APERTURE, 5);
}

TEST_F(ControllerTest, WheelZoomMovesTheCameraBeforeListenersHearIt) {
  Listener listener(*this, "listener");
  controller.AddListener(&listener);
  const float before = EyeDistance(camera);
  Send(IViewOp::WheelZoom, 0, 2, 100, 50);
  ASSERT_EQ(distances.size(), 1u);
  EXPECT_NEAR(distances[0], before * 0.81f, 1e-4f);
  Send(IViewOp::WheelZoom, 0, -2, 100, 50);
  EXPECT_NEAR(EyeDistance(camera), before, 1e-4f);

  // Huge turns zoom by at most a thousand times a record, and never onto the
  // target, from where no zoom could come back out.
  for (int i = 0; i < 20; ++i) EXPECT_NO_THROW(Send(IViewOp::WheelZoom, 0, 1000, 100, 50));
  EXPECT_NO_THROW(Send(IViewOp::WheelZoom, 0, -1000, 100, 50));
  EXPECT_GT(EyeDistance(camera), 0.0f);
  const float zoomedIn = EyeDistance(camera);
  Send(IViewOp::WheelZoom, 0, -2, 100, 50);
  EXPECT_NEAR(EyeDistance(camera), zoomedIn / 0.81f, zoomedIn * 1e-3f) << "and back out";
}

// A listener's exception reaches the caller after the camera moved, and the
// listeners after it hear nothing. Then records at opposite int limits: the
// step between them exceeds an int.
TEST_F(ControllerTest, DragsBetweenTheIntLimitsStayFiniteAndListenersExceptionsReachTheCaller) {
  struct Thrower : IControllerListener {
    void ControllerNotify(IViewOp*) override { throw std::invalid_argument("refused"); }
  } thrower;
  Listener later(*this, "later");
  controller.AddListener(&thrower);
  controller.AddListener(&later);
  const float before = EyeDistance(camera);
  EXPECT_THROW(Send(IViewOp::WheelZoom, 0, 1, 0, 0), std::invalid_argument);
  EXPECT_LT(EyeDistance(camera), before);
  EXPECT_TRUE(log.empty());
  controller.RemoveListener(&thrower);
  for (const int type : {IViewOp::Orbit, IViewOp::Pan}) {
    Send(type, 1, INT_MAX, INT_MAX);
    Send(type, 2, INT_MIN, INT_MIN);
    for (const float value : LookAt(*camera)) EXPECT_TRUE(std::isfinite(value));
  }
}

}  // namespace
