// Picking with a ray: nearest hit within reach, hidden, filtered, moved,
// overlay and shared nodes; the rendering options that tell what to pick.
#include "KivVizCore/AFilterManager.h"
#include "KivVizCore/IRenderingOptionsListener.h"
#include "KivVizCore/Ray.h"
#include "KivVizCore/RenderingOptions.h"
#include "TestAdapter.h"

namespace {

// Every filter shown but `off`.
struct Filters : AFilterManager {
  bool IsEnabled(int filterId) const override { return filterId != off; }
  void SetEnabled(int, bool) override {}
  void Synchronize(const RenderingOptions&) override {}
  int off = 0;
};

const RenderId kUntouched({42}, 9);

// Scene: root / 5 / 7 (leaf: square around the origin at z = 0) and
// root / 5 / 8 (leaf: smaller square at z = 10, nearer to the rays).
class AdapterPickTest : public testing::Test {
 protected:
  void SetUp() override {
    adapter.SetFilterManager(&filters);
    Node* five = adapter.GetRootNode()->CreateChildNode(5);
    five->CreateChildGeoNode(7)->AddGeometry((new TestItem(1))->Square(0.0f, 10.0f));
    nearLeaf = five->CreateChildGeoNode(8);
    nearLeaf->AddGeometry((new TestItem(2))->Square(10.0f, 1.0f));
  }

  // A ray down the -Z axis from z = 100 through (x, y); the path it picks,
  // or kUntouched on a miss.
  RenderId Pick(float x, float y, double reach = 1000.0) {
    const float origin[3] = {x, y, 100.0f};
    const float direction[3] = {0.0f, 0.0f, -1.0f};
    RenderId picked = kUntouched;
    const bool hit = adapter.PickVisual(Ray(origin, direction, reach), picked);
    EXPECT_EQ(hit, picked != kUntouched);
    return picked;
  }

  TestAdapter adapter;
  Filters filters;
  GeoNode* nearLeaf = nullptr;
};

TEST_F(AdapterPickTest, NearestHitWithinReachWinsThroughTransformsAndItsPathStartsAtTheRoot) {
  EXPECT_EQ(Pick(0.0f, 0.0f), Path({1, 5, 8}));
  EXPECT_EQ(Pick(5.0f, 0.0f), Path({1, 5, 7}));
  EXPECT_EQ(Pick(50.0f, 0.0f), kUntouched) << "a miss leaves the path alone";
  EXPECT_EQ(Pick(0.0f, 0.0f, 95.0), Path({1, 5, 8}));
  EXPECT_EQ(Pick(5.0f, 0.0f, 95.0), kUntouched) << "the ray stops at its reach";
  double matrix[16];
  AttributeTransform::SetIdentity(matrix);
  matrix[12] = 30.0;
  matrix[0] = 2.0;  // a scale on the way: hits must still compare by distance
  adapter.GetNode(Path({1, 5}))->SetAttribute(new AttributeTransform(matrix));
  EXPECT_EQ(Pick(0.0f, 0.0f), kUntouched);
  EXPECT_EQ(Pick(31.5f, 0.0f), Path({1, 5, 8}));
  EXPECT_EQ(Pick(45.0f, 0.0f), Path({1, 5, 7}));
}

// A big square in the overlays' subtree lies above everything, yet is never hit.
TEST_F(AdapterPickTest, HiddenFilteredAndOverlayNodesAreNotHitAndSharedOnesShowTheirFirstPath) {
  auto* overlay = static_cast<Node*>(adapter.GetRootNode()->GetChild(AView3DAdapter::OverlayNodeId));
  overlay->CreateChildGeoNode(1)->AddGeometry((new TestItem(3))->Square(50.0f, 100.0f));
  nearLeaf->SetFilterId(3);
  filters.off = 3;
  EXPECT_EQ(Pick(0.0f, 0.0f), Path({1, 5, 7}));
  filters.off = 4;
  EXPECT_EQ(Pick(0.0f, 0.0f), Path({1, 5, 8}));
  nearLeaf->SetFilterId(-2);
  filters.off = -2;
  EXPECT_EQ(Pick(0.0f, 0.0f), Path({1, 5, 8})) << "filter ids of zero or less are never filtered";
  adapter.GetRootNode()->CreateChildNode(3)->AddChild(nearLeaf);
  EXPECT_EQ(Pick(0.0f, 0.0f), Path({1, 3, 8})) << "a shared node is reported under its first path";
  adapter.GetNode(Path({1, 5}))->SetAttribute(new AttributeVisibility(false));
  EXPECT_EQ(Pick(5.0f, 0.0f), kUntouched) << "a hidden group hides its subtree";
}

struct RecordingListener : IRenderingOptionsListener {
  void RenderingOptionsNotify(IRenderingOptions* options) override { told.push_back(options); }
  std::vector<IRenderingOptions*> told;
};

TEST(RenderingOptionsTest, AllOnAtFirstAndEverySetterTellsEachListenerOnceWhileOneMayLeave) {
  RenderingOptions options;
  EXPECT_TRUE(options.pickSurfaces && options.pickCurves && options.pickPoints);
  EXPECT_TRUE(options.IsFilterVisible(1));
  RecordingListener first;
  RecordingListener second;
  options.AddListener(&first);
  options.AddListener(&second);
  options.AddListener(&first);
  options.AddListener(nullptr);
  options.SetPickSurfaces(false);
  options.SetPickCurves(false);
  options.SetPickPoints(false);
  options.SetFilterVisible(4, false);
  EXPECT_FALSE(options.pickSurfaces || options.pickCurves || options.pickPoints);
  EXPECT_FALSE(options.IsFilterVisible(4));
  EXPECT_TRUE(options.IsFilterVisible(5));
  options.CopySettingsFrom(RenderingOptions());
  EXPECT_TRUE(options.pickSurfaces && options.pickCurves && options.pickPoints && options.IsFilterVisible(4));
  EXPECT_EQ(first.told, std::vector<IRenderingOptions*>(5, &options));
  options.RemoveListener(&first);
  options.Notify();
  EXPECT_EQ(first.told.size(), 5u);
  EXPECT_EQ(second.told.size(), 6u);

  // A listener may leave while being told.
  struct Leaving : IRenderingOptionsListener {
    explicit Leaving(RenderingOptions& options) : options(options) {}
    void RenderingOptionsNotify(IRenderingOptions*) override {
      ++count;
      options.RemoveListener(this);
    }
    RenderingOptions& options;
    int count = 0;
  } leaving(options);
  options.AddListener(&leaving);
  options.AddListener(&first);
  options.Notify();
  options.Notify();
  EXPECT_EQ(leaving.count, 1);
  EXPECT_EQ(first.told.size(), 7u);
}

}  // namespace
