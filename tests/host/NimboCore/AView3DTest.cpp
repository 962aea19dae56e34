// The view base: entity and path conversion, scene bounds and clearing.
#include <gtest/gtest.h>

#include <cmath>

#include "KivVizCore/AttributeTransform.h"
#include "KivVizCore/EntityId.h"
#include "NimboCore/ACamera.h"
#include "TestView.h"

namespace {

using NimboTest::TestGeometryItem;
using NimboTest::TestView;

TEST(AView3DTest, EntitiesAndPathsConvertBothWaysAtEveryLevelAndTheRestIsRefused) {
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
  // An invalid entity, and paths that are no entity, are refused.
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

// The scene bounds' centre and radius, on the view and on its camera as a
// host keeps it (not handed out again, which would bring it up to date).
std::vector<float> Bounds(TestView& view, const ACamera& camera) {
  std::vector<float> bounds(8);
  view.GetSceneBounds(&bounds[0], bounds[3]);
  camera.GetSceneBounds(&bounds[4], bounds[7]);
  return bounds;
}

// ClearAll then empties the open-node stack, the libraries and the bounds.
TEST(AView3DTest, SceneBoundsCoverTheItemsWithTheirTransformsAndClearAllEmptiesThem) {
  TestView view;
  const ACamera& camera = *view.GetCamera();
  const float stale[3] = {4.0f, 4.0f, 4.0f};
  view.SetSceneBounds(stale, 4.0f);
  view.UpdateSceneBounds();
  EXPECT_EQ(Bounds(view, camera), (std::vector<float>{0, 0, 0, 1, 0, 0, 0, 1})) << "without items, the unit sphere";

  ASSERT_TRUE(view.OpenNode(1));
  ASSERT_TRUE(view.CreateNode(2, L"model"));
  double shift[16];
  AttributeTransform::SetIdentity(shift);
  shift[12] = 10.0;
  view.SetNodeAttribute(new AttributeTransform(shift));
  ASSERT_TRUE(view.CreateGeoNode(1, L"box"));
  view.AddGeometry(new TestGeometryItem(1, TestGeometryItem::Kind::Points, {-1, -1, -1, 1, 1, 1}));
  ASSERT_TRUE(view.OpenLibrary("library"));
  view.CloseAllNodes();
  GeoNode* overlayLeaf = view.GetViewObjectManager()->GetNode()->CreateChildGeoNode(1);
  overlayLeaf->AddGeometry(new TestGeometryItem(2, TestGeometryItem::Kind::Points, {1000, 1000, 1000}));

  view.UpdateSceneBounds();
  const float root3 = std::sqrt(3.0f);
  EXPECT_EQ(Bounds(view, camera), (std::vector<float>{10, 0, 0, root3, 10, 0, 0, root3})) << "the camera follows";

  ASSERT_TRUE(view.OpenNode(1));
  view.AView3D::ClearAll();
  EXPECT_EQ(view.GetCurrentOpenNode(), nullptr);
  EXPECT_EQ(Bounds(view, camera), (std::vector<float>{0, 0, 0, 1, 0, 0, 0, 1}));
  EXPECT_TRUE(view.OpenLibrary("library")) << "the library is gone";
  view.CloseLibrary();
}

}  // namespace
