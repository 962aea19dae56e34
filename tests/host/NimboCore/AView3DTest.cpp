#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "KivVizCore/AttributeTransform.h"
#include "KivVizCore/EntityId.h"
#include "KivVizCore/IRenderingOptionsListener.h"
#include "KivVizCore/Node.h"
#include "KivVizCore/RenderId.h"
#include "KivVizCore/RenderingOptions.h"
#include "NimboCore/ACamera.h"
#include "NimboCore/Settings.h"
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

TEST(AView3DTest, StartsWithEverythingPickableAndKeepsCameraAndClipPlaneInStep) {
  TestView view;
  const RenderingOptions* options = view.GetDisplayOptions();
  EXPECT_TRUE(options->pickSurfaces && options->pickCurves && options->pickPoints);
  EXPECT_EQ(view.GetBackgroundColor1(), Settings::Current().GetBackgroundColor1());
  int dummy = 0;
  view.Initialize(reinterpret_cast<HWND>(&dummy));
  EXPECT_FALSE(view.IsInitialized()) << "the view itself says when it is ready";
  view.SetWindowSize(640, 480);
  EXPECT_EQ(view.GetCamera()->GetViewportWidth(), 640);
  EXPECT_EQ(view.GetCamera()->GetViewportHeight(), 480);
  const double plane[4] = {0.0, 1.0, 0.0, -0.5};
  view.SetClipPlane(plane);
  EXPECT_TRUE(view.IsClipPlaneSet()) << "without a context the plane is only stored";
  view.UnSetClipPlane();
  EXPECT_FALSE(view.IsClipPlaneSet());
  TestView other;
  view.SetView3DAdapterImpl(&other);
  EXPECT_EQ(view.GetView3DAdapter(), &other);
  view.SetView3DAdapterImpl(nullptr);
  EXPECT_EQ(view.GetView3DAdapter(), &view);
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
  float c[3];
  float radius = 0.0f;
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
  float centre[3];
  float radius = 0.0f;
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
  float cameraCentre[3];
  float cameraRadius = 0.0f;
  view.GetCamera()->GetSceneBounds(cameraCentre, cameraRadius);
  EXPECT_FLOAT_EQ(cameraCentre[0], 10.0f);
  EXPECT_FLOAT_EQ(cameraRadius, radius);
  float nearDistance = 0.0f;
  float farDistance = 0.0f;
  view.GetCamera()->GetNearFar(nearDistance, farDistance);
  EXPECT_GT(farDistance, 10.0f * (5.0f + radius)) << "the camera's far plane reaches past the scene";
}

class CountingListener : public IRenderingOptionsListener {
 public:
  void RenderingOptionsNotify(IRenderingOptions* options) override {
    ++count;
    last = options;
  }
  int count = 0;
  IRenderingOptions* last = nullptr;
};

TEST(AView3DTest, ApplyRenderingOptionsTakesTheSettingsAndNotifies) {
  TestView view;
  CountingListener listener;
  view.GetDisplayOptions()->AddListener(&listener);
  RenderingOptions options;
  options.pickCurves = false;
  options.SetFilterVisible(7, false);
  view.ApplyRenderingOptions(options);
  EXPECT_FALSE(view.GetDisplayOptions()->pickCurves);
  EXPECT_FALSE(view.GetDisplayOptions()->IsFilterVisible(7));
  EXPECT_EQ(listener.count, 1);
  EXPECT_EQ(listener.last, view.GetDisplayOptions());
  view.ApplyRenderingOptions(*view.GetDisplayOptions());
  EXPECT_EQ(listener.count, 2) << "applying the view's own options still notifies";
  view.GetDisplayOptions()->RemoveListener(&listener);
}

}  // namespace
