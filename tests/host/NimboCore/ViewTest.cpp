// The view base (entity and path conversion, clearing, scene bounds), the
// camera's defaults, refused settings and near and far planes, and the
// controller: who hears each operation in which order, the host's codes, and
// the camera moving before listeners hear. Rays are checked against GL in
// ViewGLTest.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

#include "KivVizCore/AttributeTransform.h"
#include "KivVizCore/EntityId.h"
#include "KivVizCore/Node.h"
#include "KivVizCore/Ray.h"
#include "KivVizCore/RenderId.h"
#include "NimboCore/ACamera.h"
#include "NimboCore/Controller.h"
#include "NimboCore/IControllerListener.h"
#include "NimboCore/ViewOp.h"
#include "NimboCore/ViewOpRayPick.h"
#include "TestGeometryItem.h"
#include "TestView.h"

namespace {

using NimboTest::TestGeometryItem;
using NimboTest::TestView;

TEST(AView3DTest, EntitiesAndPathsConvertBothWaysAtEveryLevel) {
  const struct {
    EntityId entity;
    std::vector<std::uint64_t> path;
  } cases[] = {{EntityId(4), {1, 4}},
               {EntityId(4, 7), {1, 4, 7}},
               {EntityId(4, 7, 10002), {1, 4, 7, 10002}},
               {EntityId(4, 7, 10000, 99), {1, 4, 7, 10000, 99}},
               {EntityId(UINT64_MAX, 0, 1, 2), {1, UINT64_MAX, 0, 1, 2}}};
  TestView view;
  for (const auto& c : cases) {
    RenderId path;
    view.buildRenderId(c.entity, path);
    EXPECT_EQ(path, RenderId(c.path, RenderId::SceneOrigin));
    EntityId back;
    view.Convert(path, back);
    EXPECT_EQ(back, c.entity);
  }
}

TEST(AView3DTest, InvalidEntitiesAndPathsThatAreNoEntityAreRefused) {
  TestView view;
  RenderId path({5}, 1);
  EXPECT_THROW(view.buildRenderId(EntityId(), path), std::invalid_argument);
  EXPECT_EQ(path, RenderId({5}, 1));
  for (const std::vector<std::uint64_t>& ids :
       std::vector<std::vector<std::uint64_t>>{{}, {1}, {2, 4}, {1, 2, 3, 4, 5, 6}, {1, 60000}, {1, 60000, 3}}) {
    EntityId entity(9, 9);
    view.Convert(RenderId(ids, 1), entity);
    EXPECT_FALSE(entity.IsValid()) << RenderId(ids, 1);
  }
}

TEST(AView3DTest, ClearAllEmptiesTheOpenNodeStackLibrariesAndSceneBounds) {
  TestView view;
  ASSERT_TRUE(view.OpenNode(1));
  ASSERT_TRUE(view.CreateNode(5, L"model"));
  const float centre[3] = {1.0f, 2.0f, 3.0f};
  view.SetSceneBounds(centre, 9.0f);
  ASSERT_TRUE(view.OpenLibrary("library"));

  view.AView3D::ClearAll();
  EXPECT_EQ(view.GetCurrentOpenNode(), nullptr);
  float c[3], radius = 0.0f;
  view.GetSceneBounds(c, radius);
  EXPECT_EQ(radius, 1.0f);
  EXPECT_EQ(c[0], 0.0f);
  view.GetCamera()->GetSceneBounds(c, radius);
  EXPECT_EQ(radius, 1.0f);
  EXPECT_TRUE(view.OpenLibrary("library")) << "the library is gone";
  view.CloseLibrary();
}

TEST(AView3DTest, SceneBoundsCoverTheItemsWithTheirTransformsAndLeaveTheOverlayOut) {
  TestView view;
  const float stale[3] = {4.0f, 4.0f, 4.0f};
  view.SetSceneBounds(stale, 4.0f);
  view.UpdateSceneBounds();
  float centre[3], radius = 0.0f;
  view.GetSceneBounds(centre, radius);
  EXPECT_EQ(radius, 1.0f) << "a scene without items gets the unit sphere";
  EXPECT_EQ(centre[0], 0.0f);

  ASSERT_TRUE(view.OpenNode(1));
  ASSERT_TRUE(view.CreateNode(2, L"model"));
  double shift[16];
  AttributeTransform::SetIdentity(shift);
  shift[12] = 10.0;
  view.SetNodeAttribute(new AttributeTransform(shift));
  ASSERT_TRUE(view.CreateGeoNode(1, L"box"));
  view.AddGeometry(new TestGeometryItem(1, TestGeometryItem::Kind::Points, {-1, -1, -1, 1, 1, 1}));
  view.CloseAllNodes();
  GeoNode* overlayLeaf = view.GetViewObjectManager()->GetNode()->CreateChildGeoNode(1);
  overlayLeaf->AddGeometry(new TestGeometryItem(2, TestGeometryItem::Kind::Points, {1000, 1000, 1000}));

  view.UpdateSceneBounds();
  view.GetSceneBounds(centre, radius);
  EXPECT_FLOAT_EQ(centre[0], 10.0f);
  EXPECT_FLOAT_EQ(centre[1], 0.0f);
  EXPECT_FLOAT_EQ(radius, std::sqrt(3.0f));
  view.GetCamera()->GetSceneBounds(centre, radius);
  EXPECT_FLOAT_EQ(centre[0], 10.0f) << "the camera follows";
}

using Vec3 = std::array<float, 3>;

struct LookAt {
  Vec3 eye, target, up;
};

LookAt Get(const ACamera& camera) {
  LookAt l{};
  camera.GetLookAt(l.eye.data(), l.target.data(), l.up.data());
  return l;
}

void ExpectNear(const float* actual, const Vec3& expected, float tolerance = 1e-4f) {
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << "component " << i;
}

TEST(CameraTest, DefaultLooksDownNegativeZAtTheOriginWith45Degrees) {
  ACamera camera;
  const LookAt l = Get(camera);
  ExpectNear(l.eye.data(), {0, 0, 5}, 0.0f);
  ExpectNear(l.target.data(), {0, 0, 0}, 0.0f);
  ExpectNear(l.up.data(), {0, 1, 0}, 0.0f);
  EXPECT_FALSE(camera.IsOrthographic());
  EXPECT_EQ(camera.GetFieldOfViewDegrees(), 45.0f);
  EXPECT_NEAR(camera.GetFieldOfView(), std::numbers::pi / 4.0, 1e-6);
  EXPECT_THROW(camera.SetFieldOfViewDegrees(0.0f), std::invalid_argument);
  EXPECT_THROW(camera.SetFieldOfViewDegrees(180.0f), std::invalid_argument);
  EXPECT_THROW(camera.Make3DRay(0, 0, 2), std::invalid_argument) << "only ray kind 1 exists";
  EXPECT_THROW(camera.Zoom(0.0f), std::invalid_argument);
  EXPECT_THROW(camera.Zoom(-1.0f), std::invalid_argument);
}

TEST(CameraTest, NearAndFarFollowTheSceneBoundsAsTheProjectionDoes) {
  ACamera camera;  // eye 5 from the target
  const float centre[3] = {0.0f, 0.0f, 0.0f};
  camera.SetSceneBounds(centre, 1.0f);
  float nearDistance = 0.0f, farDistance = 0.0f;
  camera.GetNearFar(nearDistance, farDistance);
  // reach 1: near (5 - 1) / 10 (beyond 1.0), far (5 + 1) * 10.
  EXPECT_FLOAT_EQ(nearDistance, 0.4f);
  EXPECT_FLOAT_EQ(farDistance, 60.0f);
  // Eye inside the scene: the perspective floor radius / 500 applies, the
  // orthographic projection keeps the negative near distance.
  camera.SetSceneBounds(centre, 10.0f);
  camera.GetNearFar(nearDistance, farDistance);
  EXPECT_FLOAT_EQ(nearDistance, 10.0f / 500.0f);
  camera.SetOrthographic(true);
  camera.GetNearFar(nearDistance, farDistance);
  EXPECT_FLOAT_EQ(nearDistance, -5.0f);
  EXPECT_FLOAT_EQ(farDistance, 150.0f);
}

struct Heard {
  std::string listener;
  int type;
  float eyeDistance;  // the camera's, when the listener heard the record
};

float EyeDistance(ACamera* camera) {
  float eye[3], target[3], up[3];
  camera->GetLookAt(eye, target, up);
  return std::hypot(eye[0] - target[0], eye[1] - target[1], eye[2] - target[2]);
}

class RecordingListener : public IControllerListener {
 public:
  RecordingListener(std::string name, std::vector<Heard>& log, ACamera* camera)
      : name(std::move(name)), log(log), camera(camera) {}
  void ControllerNotify(IViewOp* op) override { log.push_back({name, op->GetType(), EyeDistance(camera)}); }

 private:
  std::string name;
  std::vector<Heard>& log;
  ACamera* camera;
};

class ControllerTest : public ::testing::Test {
 protected:
  ControllerTest() { view.SetWindowSize(200, 100); }

  void Send(int type, int phase, int first, int second, int third = 0) {
    ViewOp op(type, phase, first, second, third);
    controller.Notify(&op);
  }

  NimboTest::TestView view;
  Controller& controller = *view.GetController();
  ACamera* camera = view.GetCamera();
  std::vector<Heard> log;
};

TEST_F(ControllerTest, ListenersHearEveryRecordOnceInRegistrationOrder) {
  EXPECT_TRUE(controller.Listeners().empty()) << "the view is not one of its listeners";
  EXPECT_EQ(view.GetControlledView(), &view);
  RecordingListener first("first", log, camera);
  RecordingListener second("second", log, camera);
  controller.AddListener(&second);
  controller.AddListener(&first);
  controller.AddListener(&second);
  ASSERT_EQ(controller.Listeners().size(), 2u);

  ViewOpRayPick pick(3, 4);
  controller.Notify(&pick);
  Send(IViewOp::Hover, 0, 5, 6);
  controller.Notify(nullptr);
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0].listener + log[1].listener + log[2].listener + log[3].listener, "secondfirstsecondfirst");
  EXPECT_EQ(log[0].type, IViewOp::RayPick);
  EXPECT_EQ(log[2].type, IViewOp::Hover);

  controller.RemoveListener(&second);
  controller.Notify(&pick);
  ASSERT_EQ(log.size(), 5u);
  EXPECT_EQ(log[4].listener, "first");
}

TEST_F(ControllerTest, OperationCodesAndThePickApertureAreTheHostsNumbers) {
  EXPECT_EQ(ViewOp(IViewOp::RubberBand, 1, 10, 20, 30).GetType(), 8);
  EXPECT_EQ(ViewOpRayPick(7, 9).GetType(), 3);
  EXPECT_EQ(ViewOpRayPick::APERTURE, 5);
}

TEST_F(ControllerTest, WheelZoomMovesTheCameraBeforeListenersHearIt) {
  RecordingListener listener("listener", log, camera);
  controller.AddListener(&listener);
  const float before = EyeDistance(camera);
  Send(IViewOp::WheelZoom, 0, 2, 100, 50);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NEAR(log[0].eyeDistance, before * 0.81f, 1e-4f);
  Send(IViewOp::WheelZoom, 0, -2, 100, 50);
  EXPECT_NEAR(EyeDistance(camera), before, 1e-4f);
}

TEST_F(ControllerTest, AListenersExceptionReachesTheCallerAfterTheCameraMoved) {
  struct Thrower : IControllerListener {
    void ControllerNotify(IViewOp*) override { throw std::invalid_argument("refused"); }
  } thrower;
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
  std::vector<Heard> log;
  NimboTest::TestView view;
  RecordingListener listener("listener", log, view.GetCamera());
  controller.AddListener(&listener);
  ViewOp wheel(IViewOp::WheelZoom, 0, 3, 0, 0);
  controller.Notify(&wheel);
  EXPECT_EQ(log.size(), 1u);
}

}  // namespace
