// The adapter's scene edits: paths, opening, sharing, deleting, optimising,
// copying and clearing; every refusal leaves scene and open-node stack alone.
// Entity ids and render paths: levels, comparison, order and printing.
#include "KivVizCore/EntityId.h"
#include "TestAdapter.h"

namespace {

// Scene: root / 5 / 7 (leaf with one counting item), root / 6 (empty group),
// root / 1 (a child with the root's id) / 2 (leaf).
class AdapterEditTest : public testing::Test {
 protected:
  void SetUp() override {
    leaf = adapter.GetRootNode()->CreateChildNode(5)->CreateChildGeoNode(7);
    leaf->AddGeometry(new TestItem(7, &destroyed));
    six = adapter.GetRootNode()->CreateChildNode(6);
    childOne = adapter.GetRootNode()->CreateChildNode(1);
    childOne->CreateChildGeoNode(2);
  }

  TestAdapter adapter;
  GeoNode* leaf = nullptr;
  Node* six = nullptr;
  Node* childOne = nullptr;
  int destroyed = 0;
};

TEST_F(AdapterEditTest, PathsResolveAsOpeningFromAnEmptyStack) {
  GeoNode* five = adapter.GetRootNode()->GetChild(5);
  EXPECT_EQ(adapter.GetNode(Path({1})), adapter.GetRootNode());
  EXPECT_EQ(adapter.GetNode(Path({1, 5})), five);
  EXPECT_EQ(adapter.GetNode(Path({5})), five);
  EXPECT_EQ(adapter.GetNode(RenderId({1, 5, 7}, 0)), leaf) << "the origin does not matter";
  EXPECT_EQ(adapter.GetNode(Path({1, 1})), childOne) << "a first id 1 is the root, never its child 1";
  for (const auto& broken : std::vector<std::vector<std::uint64_t>>{{}, {1, 5, 8}, {1, 5, 7, 1}, {2}}) {
    EXPECT_EQ(adapter.GetNode(Path(broken)), nullptr) << Path(broken);
  }
}

TEST_F(AdapterEditTest, OpenNodesOpensEveryIdFromTheOpenNodeOrChangesNothing) {
  ASSERT_TRUE(adapter.OpenNodes(Path({1, 5, 7})));
  EXPECT_EQ(adapter.Stack(), (std::deque<GeoNode*>{adapter.GetRootNode(), adapter.GetNode(Path({5})), leaf}));
  adapter.CloseAllNodes();
  ASSERT_TRUE(adapter.OpenNode(1));
  ASSERT_TRUE(adapter.OpenNodes(RenderId({5, 7}, 1)));
  EXPECT_EQ(adapter.Stack().size(), 3u);
  EXPECT_EQ(adapter.GetCurrentOpenNode(), leaf);
  adapter.CloseNode();
  adapter.CloseNode();
  const auto before = adapter.Stack();
  for (const auto& ids : std::vector<std::vector<std::uint64_t>>{{}, {8}, {5, 8}, {5, 7, 1}}) {
    EXPECT_FALSE(adapter.OpenNodes(RenderId(ids, 1))) << RenderId(ids, 1);
    EXPECT_EQ(adapter.Stack(), before);
  }
}

TEST_F(AdapterEditTest, AddReferenceSharesAnExistingNodeOrRefusesAndChangesNothing) {
  const struct {
    const char* name;
    std::vector<std::uint64_t> open, target;
  } refused[] = {{"NothingOpen", {}, {1, 5, 7}},        {"MissingTarget", {1, 6}, {1, 5, 8}},
                 {"LeafOpen", {1, 5, 7}, {1, 6}},       {"IdTakenAlready", {1, 5}, {1, 5, 7}},
                 {"ItselfBelowItself", {1, 6}, {1, 6}}, {"AncestorBelowDescendant", {1, 5}, {1}}};
  // The root is outside a library's subtree yet must be refused there too.
  ASSERT_TRUE(adapter.OpenLibrary("lib"));
  EXPECT_FALSE(adapter.AddReference(Path({1})));
  adapter.CloseLibrary();
  const std::string before = adapter.Structure();
  for (const auto& c : refused) {
    ASSERT_TRUE(adapter.Reopen(c.open)) << c.name;
    EXPECT_FALSE(adapter.AddReference(Path(c.target))) << c.name;
    EXPECT_EQ(adapter.Structure(), before) << c.name;
  }
  ASSERT_TRUE(adapter.Reopen({1, 6}));
  ASSERT_TRUE(adapter.AddReference(Path({1, 5, 7})));
  EXPECT_EQ(six->GetChild(7), leaf);
  EXPECT_EQ(leaf->Parents().size(), 2u);
  EXPECT_EQ(adapter.Stack().size(), 2u) << "the stack is left as it was";
}

// Refused: the root, missing nodes, and the open node and its group.
TEST_F(AdapterEditTest, DeleteNodeDeletesUnsharedNodesReleasesSharedOnesAndRefusesTheRest) {
  ASSERT_TRUE(adapter.OpenNodes(Path({1, 5, 7})));
  for (const RenderId& refused : {Path({1}), Path({1, 8}), RenderId(), Path({1, 5, 7}), Path({1, 5})}) {
    EXPECT_FALSE(adapter.DeleteNode(refused)) << refused;
  }
  EXPECT_TRUE(adapter.DeleteNode(Path({1, 6}))) << "beside the open node";
  adapter.CloseAllNodes();
  childOne->AddChild(leaf);
  EXPECT_TRUE(adapter.DeleteNode(Path({1, 1, 7})));
  EXPECT_EQ(destroyed, 0);
  EXPECT_EQ(childOne->GetChild(7), nullptr);
  EXPECT_EQ(leaf->Parents().size(), 1u);
  EXPECT_TRUE(adapter.DeleteNode(Path({1, 5})));
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(adapter.GetNode(Path({1, 5})), nullptr);
  // By id: a child of the open node, or of the root with nothing open.
  ASSERT_TRUE(adapter.OpenNodes(Path({1, 1})));
  EXPECT_FALSE(adapter.DeleteNode(std::uint64_t{1}));
  EXPECT_TRUE(adapter.DeleteNode(std::uint64_t{2}));
  EXPECT_EQ(adapter.GetNode(Path({1, 1, 2})), nullptr);
  adapter.CloseAllNodes();
  EXPECT_TRUE(adapter.DeleteNode(std::uint64_t{1}));
}

TEST_F(AdapterEditTest, CloseNodeAndOptimizeDropsOnlyGroupsLeftEmpty) {
  ASSERT_TRUE(adapter.OpenNode(1));
  ASSERT_TRUE(adapter.CreateNode(20, L"empty"));
  adapter.CloseNodeAndOptimize();
  EXPECT_EQ(adapter.GetRootNode()->GetChild(20), nullptr);
  EXPECT_EQ(adapter.GetCurrentOpenNode(), adapter.GetRootNode());
  ASSERT_TRUE(adapter.OpenNode(5));
  adapter.CloseNodeAndOptimize();
  EXPECT_NE(adapter.GetRootNode()->GetChild(5), nullptr) << "a filled group stays";
  ASSERT_TRUE(adapter.CreateGeoNode(21, L"bare leaf"));
  adapter.CloseNodeAndOptimize();
  EXPECT_NE(adapter.GetRootNode()->GetChild(21), nullptr) << "a leaf stays";
}

TEST_F(AdapterEditTest, CopiesAndTransfersReachTheOpenNodeOnlyAndCopiesAreIndependent) {
  GeoNode source(99);
  source.SetAttribute(new AttributeColor(RGBAColor(1, 2, 3, 50), true));
  source.SetAttribute(new AttributeVisibility(false));
  auto* moved = new TestItem(50, &destroyed);
  source.AddGeometry(moved);
  const std::string before = adapter.Structure();
  adapter.CopyNodeAttributesFrom(source);
  adapter.TransferNodeGeometryFrom(source);
  EXPECT_EQ(adapter.Structure(), before) << "nothing open, nothing changes";
  EXPECT_EQ(source.Geometry().size(), 1u);

  leaf->SetAttribute(new AttributeColor(RGBAColor(9, 9, 9)));
  leaf->SetAttribute(new AttributeTransform());
  ASSERT_TRUE(adapter.OpenNodes(Path({1, 5, 7})));
  adapter.CopyNodeAttributesFrom(source);
  adapter.TransferNodeGeometryFrom(source);
  static_cast<AttributeColor*>(source.GetAttribute(Attribute::ColorType))->SetColor(RGBAColor(0, 0, 0));
  const auto* colour = dynamic_cast<const AttributeColor*>(leaf->GetAttribute(Attribute::ColorType));
  ASSERT_NE(colour, nullptr);
  EXPECT_EQ(colour->GetColor(), RGBAColor(1, 2, 3, 50));
  EXPECT_TRUE(colour->IsOpaque());
  EXPECT_FALSE(leaf->IsVisible());
  EXPECT_NE(leaf->GetAttribute(Attribute::TransformType), nullptr) << "attributes the source lacks stay";
  EXPECT_TRUE(source.Geometry().empty());
  ASSERT_EQ(leaf->Geometry().size(), 2u);
  EXPECT_EQ(leaf->Geometry()[1], moved);
  adapter.TransferNodeGeometryFrom(*leaf);
  EXPECT_EQ(leaf->Geometry().size(), 2u) << "the open node as its own source";
}

TEST_F(AdapterEditTest, ClearEmptiesANodeButKeepsItAndItsAttributes) {
  auto* five = static_cast<Node*>(adapter.GetNode(Path({1, 5})));
  five->SetAttribute(new AttributeVisibility(false));
  ASSERT_TRUE(adapter.OpenNodes(Path({1, 5, 7})));
  adapter.Clear(Path({1, 5}));
  EXPECT_EQ(destroyed, 0) << "clearing waits while a node below is open";
  adapter.Clear(Path({1, 5, 7}));
  EXPECT_EQ(destroyed, 1);
  EXPECT_TRUE(leaf->Geometry().empty());
  EXPECT_EQ(adapter.GetCurrentOpenNode(), leaf) << "the open node itself is emptied and stays open";
  adapter.CloseAllNodes();
  adapter.Clear(Path({1, 5}));
  EXPECT_TRUE(five->Children().empty());
  EXPECT_FALSE(five->IsVisible());
  EXPECT_EQ(adapter.GetNode(Path({1, 5})), five);
}

// The overlays point into their subtree: the host's edits leave it alone.
TEST_F(AdapterEditTest, EditsLeaveTheOverlaysSubtreeAlone) {
  constexpr std::uint64_t kOverlays = AView3DAdapter::OverlayNodeId;
  auto* overlays = static_cast<Node*>(adapter.GetRootNode()->GetChild(kOverlays));
  overlays->CreateChildGeoNode(2)->AddGeometry(new TestItem(2, &destroyed));
  const std::string before = adapter.Structure();
  EXPECT_FALSE(adapter.DeleteNode(Path({1, kOverlays})));
  EXPECT_FALSE(adapter.DeleteNode(Path({kOverlays, 2})));
  EXPECT_FALSE(adapter.DeleteNode(kOverlays));
  ASSERT_TRUE(adapter.OpenNode(kOverlays));
  EXPECT_FALSE(adapter.DeleteNode(2));
  ASSERT_TRUE(adapter.Reopen({}));
  adapter.Clear(Path({1, kOverlays, 2}));
  ASSERT_TRUE(adapter.Reopen({1, 6}));
  EXPECT_FALSE(adapter.AddReference(Path({1, kOverlays, 2})));
  adapter.CloseAllNodes();
  EXPECT_EQ(adapter.Structure(), before);
  adapter.Clear(Path({1}));
  EXPECT_EQ(adapter.GetRootNode()->Children().size(), 1u) << "clearing the root keeps the overlays' node";
  EXPECT_EQ(adapter.GetRootNode()->GetChild(kOverlays), overlays);
  EXPECT_EQ(destroyed, 1) << "only the scene's own leaf went";
}

TEST(EntityIdTest, LevelFollowsTheIdsGivenAndPrintsDownToIt) {
  EXPECT_FALSE(EntityId().IsValid());
  EXPECT_EQ(EntityId(3).GetLevel(), EntityId::Level::Model);
  EXPECT_EQ(EntityId(3, 4, 10002, 77).GetLevel(), EntityId::Level::Element);
  // Id 0 is a valid id: the level, not the value, tells where the entity ends.
  EXPECT_NE(EntityId(3), EntityId(3, 0));
  EXPECT_EQ(EntityId(3, 0).GetLevel(), EntityId::Level::Part);
  std::ostringstream out;
  out << EntityId(3, 4) << ' ' << EntityId();
  EXPECT_EQ(out.str(), "entity(3/4) entity()");
}

TEST(RenderIdTest, EqualityAndOrderCompareLengthOriginAndEveryId) {
  const struct {
    const char* name;
    RenderId a, b;
    bool equal;
  } cases[] = {{"SamePath", RenderId({1, 5, 7}, 1), RenderId({1, 5, 7}, 1), true},
               {"OtherOrigin", RenderId({1, 5, 7}, 1), RenderId({1, 5, 7}, 2), false},
               {"Prefix", RenderId({1, 5}, 1), RenderId({1, 5, 7}, 1), false},
               {"EmptyWithOrigin", RenderId(), RenderId({}, 1), false},
               {"HighBitsMatter", RenderId({1, 0x100000005ull}, 1), RenderId({1, 5}, 1), false}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.a == c.b, c.equal) << c.name;
    EXPECT_EQ(c.b == c.a, c.equal) << c.name;
    EXPECT_EQ((c.a <=> c.b) == 0, c.equal) << c.name << ": ordering agrees with equality";
  }
}

TEST(RenderIdTest, AppendExtendsThePathAndPrintingShowsOriginAndIds) {
  RenderId path({1, 10000}, RenderId::SceneOrigin);
  path.Append(42);
  EXPECT_EQ(path, RenderId({1, 10000, 42}, 1));
  std::ostringstream out;
  out << path << ' ' << RenderId();
  EXPECT_EQ(out.str(), "1:[1/10000/42] 0:[]");
}

}  // namespace
