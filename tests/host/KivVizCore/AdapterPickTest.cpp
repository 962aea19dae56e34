#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "KivVizCore/AFilterManager.h"
#include "KivVizCore/AHighlightStrategy.h"
#include "KivVizCore/AttributeTransform.h"
#include "KivVizCore/AttributeVisibility.h"
#include "KivVizCore/Node.h"
#include "KivVizCore/Ray.h"
#include "KivVizCore/RenderId.h"
#include "TestAdapter.h"
#include "TestItem.h"

namespace {

class SetFilterManager : public AFilterManager {
 public:
  bool IsEnabled(int filterId) const override { return !disabled.contains(filterId); }
  void SetEnabled(int filterId, bool enabled) override {
    if (enabled) {
      disabled.erase(filterId);
    } else {
      disabled.insert(filterId);
    }
  }
  void Synchronize(const RenderingOptions&) override {}
  std::set<int> disabled;
};

class SetHighlightStrategy : public AHighlightStrategy {
 public:
  bool Do(const RenderId& id) override { return marks.insert(id).second; }
  void Undo() override { marks.clear(); }
  bool Undo(const RenderId& id) override { return marks.erase(id) > 0; }
  bool IsDone(const RenderId& id) const override { return marks.contains(id); }
  std::set<RenderId> marks;
};

RenderId Path(std::vector<std::uint64_t> ids) { return RenderId(ids, 1); }

// Rays come down the -Z axis from z = 100 through (x, y).
Ray DownAt(float x, float y, double reach = 1000.0) {
  const float origin[3] = {x, y, 100.0f};
  const float direction[3] = {0.0f, 0.0f, -1.0f};
  return Ray(origin, direction, reach);
}

// Scene: root / 5 / 7 (leaf: square around the origin at z = 0) and
// root / 5 / 8 (leaf: smaller square at z = 10, nearer to the rays).
class AdapterPickTest : public testing::Test {
 protected:
  void SetUp() override {
    adapter.SetFilterManager(&filters);
    far = adapter.AddLeaf({5, 7});
    far->AddGeometry(&(new TestItem(1))->Square(0.0f, 0.0f, 0.0f, 10.0f));
    near = adapter.AddLeaf({5, 8});
    near->AddGeometry(&(new TestItem(2))->Square(0.0f, 0.0f, 10.0f, 1.0f));
  }

  RenderId Pick(const Ray& ray) {
    RenderId picked({42}, 9);
    hit = adapter.PickVisual(ray, picked);
    return picked;
  }

  TestAdapter adapter;
  SetFilterManager filters;
  GeoNode* far = nullptr;
  GeoNode* near = nullptr;
  bool hit = false;
};

TEST_F(AdapterPickTest, NearestHitWinsAndItsPathStartsAtTheRoot) {
  EXPECT_EQ(Pick(DownAt(0.0f, 0.0f)), Path({1, 5, 8}));
  EXPECT_TRUE(hit);
  EXPECT_EQ(Pick(DownAt(5.0f, 0.0f)), Path({1, 5, 7}));
  EXPECT_TRUE(hit);
}

TEST_F(AdapterPickTest, MissLeavesThePathAlone) {
  EXPECT_EQ(Pick(DownAt(50.0f, 0.0f)), RenderId({42}, 9));
  EXPECT_FALSE(hit);
}

TEST_F(AdapterPickTest, RayStopsAtItsReach) {
  EXPECT_EQ(Pick(DownAt(0.0f, 0.0f, 95.0)), Path({1, 5, 8}));
  EXPECT_EQ(Pick(DownAt(5.0f, 0.0f, 95.0)), RenderId({42}, 9));
  EXPECT_FALSE(hit);
}

TEST_F(AdapterPickTest, HiddenAndFilteredNodesAreNotHit) {
  near->SetAttribute(new AttributeVisibility(false));
  EXPECT_EQ(Pick(DownAt(0.0f, 0.0f)), Path({1, 5, 7}));
  near->SetAttribute(new AttributeVisibility(true));
  near->SetFilterId(3);
  filters.SetEnabled(3, false);
  EXPECT_EQ(Pick(DownAt(0.0f, 0.0f)), Path({1, 5, 7}));
  filters.SetEnabled(3, true);
  EXPECT_EQ(Pick(DownAt(0.0f, 0.0f)), Path({1, 5, 8}));
}

TEST_F(AdapterPickTest, HiddenGroupHidesItsSubtree) {
  adapter.GetNode(Path({1, 5}))->SetAttribute(new AttributeVisibility(false));
  Pick(DownAt(0.0f, 0.0f));
  EXPECT_FALSE(hit);
}

TEST_F(AdapterPickTest, FilterIdsOfZeroOrLessAreNeverFiltered) {
  near->SetFilterId(-2);
  filters.SetEnabled(-2, false);
  EXPECT_EQ(Pick(DownAt(0.0f, 0.0f)), Path({1, 5, 8}));
}

TEST_F(AdapterPickTest, TransformsMoveWhatTheRayHits) {
  double matrix[16];
  AttributeTransform::SetIdentity(matrix);
  matrix[12] = 30.0;
  // A scale on the way as well: hits must still compare by distance.
  matrix[0] = 2.0;
  adapter.GetNode(Path({1, 5}))->SetAttribute(new AttributeTransform(matrix));
  EXPECT_EQ(Pick(DownAt(0.0f, 0.0f)), RenderId({42}, 9));
  EXPECT_EQ(Pick(DownAt(31.5f, 0.0f)), Path({1, 5, 8}));
  EXPECT_EQ(Pick(DownAt(45.0f, 0.0f)), Path({1, 5, 7}));
}

TEST_F(AdapterPickTest, OverlaySubtreeIsLeftOut) {
  Node* overlay = adapter.GetRootNode()->CreateChildNode(AView3DAdapter::OverlayNodeId);
  overlay->CreateChildGeoNode(1)->AddGeometry(&(new TestItem(3))->Square(0.0f, 0.0f, 50.0f, 100.0f));
  EXPECT_EQ(Pick(DownAt(0.0f, 0.0f)), Path({1, 5, 8}));
}

TEST_F(AdapterPickTest, SharedNodeIsReportedUnderTheFirstPathThatHitsIt) {
  Node* other = adapter.GetRootNode()->CreateChildNode(3);
  other->AddChild(near);
  EXPECT_EQ(Pick(DownAt(0.0f, 0.0f)), Path({1, 3, 8}));
}

TEST_F(AdapterPickTest, IsHighlightedAsksTheStrategy) {
  EXPECT_FALSE(adapter.IsHighlighted(Path({1, 5, 8})));
  SetHighlightStrategy strategy;
  adapter.SetHighlightStrategy(&strategy);
  strategy.Do(Path({1, 5, 8}));
  EXPECT_TRUE(adapter.IsHighlighted(Path({1, 5, 8})));
  EXPECT_FALSE(adapter.IsHighlighted(Path({1, 5, 7})));
}

}  // namespace
