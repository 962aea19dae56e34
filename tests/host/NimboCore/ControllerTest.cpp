#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "NimboCore/ACamera.h"
#include "NimboCore/Controller.h"
#include "NimboCore/IControllerListener.h"
#include "NimboCore/ViewOp.h"
#include "NimboCore/ViewOpRayPick.h"
#include "TestView.h"

namespace {

struct Event {
  std::string listener;
  int type;
  float eyeDistance;  // camera's eye-target distance when the listener heard it
  float eyeX;
};

class RecordingListener : public IControllerListener {
 public:
  RecordingListener(std::string name, std::vector<Event>& log, ACamera* camera)
      : name(std::move(name)), log(log), camera(camera) {}

  void ControllerNotify(IViewOp* op) override {
    float eye[3], target[3], up[3];
    camera->GetLookAt(eye, target, up);
    const float d[3] = {eye[0] - target[0], eye[1] - target[1], eye[2] - target[2]};
    log.push_back({name, op->GetType(), std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]), eye[0]});
  }

 private:
  std::string name;
  std::vector<Event>& log;
  ACamera* camera;
};

class ThrowingListener : public IControllerListener {
 public:
  void ControllerNotify(IViewOp*) override { throw std::invalid_argument("refused"); }
};

float EyeDistance(ACamera* camera) {
  float eye[3], target[3], up[3];
  camera->GetLookAt(eye, target, up);
  const float d[3] = {eye[0] - target[0], eye[1] - target[1], eye[2] - target[2]};
  return std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
}

void GetEye(ACamera* camera, float eye[3]) {
  float target[3], up[3];
  camera->GetLookAt(eye, target, up);
}

class ControllerTest : public ::testing::Test {
 protected:
  ControllerTest() { view.SetWindowSize(200, 100); }

  NimboTest::TestView view;
  Controller& controller = *view.GetController();
  ACamera* camera = view.GetCamera();
  std::vector<Event> log;
};

TEST_F(ControllerTest, TheViewIsNotOneOfItsControllersListeners) {
  EXPECT_TRUE(controller.Listeners().empty());
  EXPECT_EQ(view.GetControlledView(), &view);
  EXPECT_EQ(view.GetControllerProvider(), &view);
}

TEST_F(ControllerTest, ListenersHearEveryRecordInRegistrationOrder) {
  RecordingListener first("first", log, camera);
  RecordingListener second("second", log, camera);
  controller.AddListener(&second);
  controller.AddListener(&first);
  controller.AddListener(&second);  // once only
  ASSERT_EQ(controller.Listeners().size(), 2u);

  ViewOpRayPick pick(3, 4);
  ViewOp hover(IViewOp::Hover, 0, 5, 6);
  controller.Notify(&pick);
  controller.Notify(&hover);
  controller.Notify(nullptr);

  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0].listener, "second");
  EXPECT_EQ(log[0].type, IViewOp::RayPick);
  EXPECT_EQ(log[1].listener, "first");
  EXPECT_EQ(log[2].listener, "second");
  EXPECT_EQ(log[2].type, IViewOp::Hover);
  EXPECT_EQ(log[3].listener, "first");

  controller.RemoveListener(&second);
  controller.Notify(&pick);
  ASSERT_EQ(log.size(), 5u);
  EXPECT_EQ(log[4].listener, "first");
}

TEST_F(ControllerTest, WheelZoomMovesTheCameraBeforeListenersHearIt) {
  RecordingListener listener("listener", log, camera);
  controller.AddListener(&listener);
  const float before = EyeDistance(camera);
  ViewOp wheel(IViewOp::WheelZoom, 0, 2, 100, 50);
  controller.Notify(&wheel);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NEAR(log[0].eyeDistance, before * 0.81f, 1e-4f);

  ViewOp back(IViewOp::WheelZoom, 0, -2, 100, 50);
  controller.Notify(&back);
  EXPECT_NEAR(EyeDistance(camera), before, 1e-4f);
}

TEST_F(ControllerTest, OrbitDragTurnsByThePointersWaySinceThePreviousRecord) {
  float start[3];
  GetEye(camera, start);
  ViewOp press(IViewOp::Orbit, 1, 100, 50);
  controller.Notify(&press);
  float eye[3];
  GetEye(camera, eye);
  EXPECT_EQ(eye[0], start[0]);  // the press only sets the start

  // 180 pixels to the right at half a degree each: the eye goes a quarter
  // turn to the left around the target.
  ViewOp move(IViewOp::Orbit, 2, 280, 50);
  controller.Notify(&move);
  GetEye(camera, eye);
  EXPECT_NEAR(eye[0], -start[2], 1e-4f);
  EXPECT_NEAR(eye[2], 0.0f, 1e-4f);
  EXPECT_NEAR(EyeDistance(camera), start[2], 1e-4f);
}

TEST_F(ControllerTest, PanDragMovesEyeAndTarget) {
  ViewOp press(IViewOp::Pan, 1, 10, 10);
  ViewOp move(IViewOp::Pan, 2, 30, 10);
  controller.Notify(&press);
  controller.Notify(&move);
  float eye[3], target[3], up[3];
  camera->GetLookAt(eye, target, up);
  EXPECT_LT(target[0], 0.0f);
  EXPECT_FLOAT_EQ(eye[0], target[0]);
  EXPECT_NEAR(target[1], 0.0f, 1e-6f);
}

TEST_F(ControllerTest, OtherRecordsLeaveTheCameraAlone) {
  float start[3];
  GetEye(camera, start);
  for (int type : {IViewOp::Idle, IViewOp::Leave, IViewOp::Hover, IViewOp::RayPick, IViewOp::Key,
                   IViewOp::RubberBand}) {
    ViewOp first(type, 1, 0, 0, 0);
    ViewOp second(type, 2, 50, 40, 30);
    controller.Notify(&first);
    controller.Notify(&second);
  }
  // A drag record right after another type starts a drag, it does not move.
  ViewOp orbitWithoutPress(IViewOp::Orbit, 2, 90, 90);
  controller.Notify(&orbitWithoutPress);
  float eye[3];
  GetEye(camera, eye);
  EXPECT_EQ(eye[0], start[0]);
  EXPECT_EQ(eye[1], start[1]);
  EXPECT_EQ(eye[2], start[2]);
}

TEST_F(ControllerTest, AListenersExceptionReachesTheCallerAfterTheCameraMoved) {
  ThrowingListener thrower;
  RecordingListener later("later", log, camera);
  controller.AddListener(&thrower);
  controller.AddListener(&later);
  const float before = EyeDistance(camera);
  ViewOp wheel(IViewOp::WheelZoom, 0, 1, 0, 0);
  EXPECT_THROW(controller.Notify(&wheel), std::invalid_argument);
  EXPECT_LT(EyeDistance(camera), before);
  EXPECT_TRUE(log.empty());
}

TEST(ControllerWithoutViewTest, RecordsReachListenersWithoutACamera) {
  Controller controller(nullptr);
  std::vector<Event> log;
  NimboTest::TestView view;
  RecordingListener listener("listener", log, view.GetCamera());
  controller.AddListener(&listener);
  ViewOp wheel(IViewOp::WheelZoom, 0, 3, 0, 0);
  controller.Notify(&wheel);
  EXPECT_EQ(log.size(), 1u);
}

TEST(ViewOpTest, RecordsCarryTypePhaseAndCoordinates) {
  const ViewOp op(IViewOp::RubberBand, 1, 10, 20, 30);
  EXPECT_EQ(op.GetType(), 8);
  EXPECT_EQ(op.phase, 1);
  EXPECT_EQ(op.first, 10);
  EXPECT_EQ(op.second, 20);
  EXPECT_EQ(op.third, 30);
  const ViewOpRayPick pick(7, 9);
  EXPECT_EQ(pick.GetType(), 3);
  EXPECT_EQ(pick.first, 7);
  EXPECT_EQ(pick.second, 9);
}

}  // namespace
