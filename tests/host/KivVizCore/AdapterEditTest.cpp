#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KivVizCore/AttributeColor.h"
#include "KivVizCore/AttributeTransform.h"
#include "KivVizCore/AttributeVisibility.h"
#include "KivVizCore/Node.h"
#include "KivVizCore/RenderId.h"
#include "TestAdapter.h"
#include "TestItem.h"

namespace {

RenderId Path(std::vector<std::uint64_t> ids) { return RenderId(ids, 1); }

// Scene: root / 5 / 7 (leaf with one counting item), root / 6 (empty group).
class AdapterEditTest : public testing::Test {
 protected:
  void SetUp() override {
    leaf = adapter.AddLeaf({5, 7});
    leaf->AddGeometry(new TestItem(7, &destroyed));
    six = adapter.GetRootNode()->CreateChildNode(6);
  }

  TestAdapter adapter;
  GeoNode* leaf = nullptr;
  Node* six = nullptr;
  int destroyed = 0;
};

TEST_F(AdapterEditTest, AddReferenceSharesAnExistingNode) {
  ASSERT_TRUE(adapter.OpenNodes(Path({1, 6})));
  ASSERT_TRUE(adapter.AddReference(Path({1, 5, 7})));
  EXPECT_EQ(six->GetChild(7), leaf);
  EXPECT_EQ(leaf->Parents().size(), 2u);
  EXPECT_EQ(adapter.Stack().size(), 2u) << "the stack is left as it was";
}

TEST_F(AdapterEditTest, AddReferenceRefusesAndChangesNothing) {
  const struct {
    const char* name;
    std::vector<std::uint64_t> open, target;
  } cases[] = {{"NothingOpen", {}, {1, 5, 7}},         {"MissingTarget", {1, 6}, {1, 5, 8}},
               {"LeafOpen", {1, 5, 7}, {1, 6}},        {"IdTakenAlready", {1, 5}, {1, 5, 7}},
               {"ItselfBelowItself", {1, 6}, {1, 6}},  {"AncestorBelowDescendant", {1, 5}, {1}}};
  const std::string before = adapter.Structure();
  for (const auto& c : cases) {
    adapter.CloseAllNodes();
    if (!c.open.empty()) {
      ASSERT_TRUE(adapter.OpenNodes(Path(c.open))) << c.name;
    }
    EXPECT_FALSE(adapter.AddReference(Path(c.target))) << c.name;
    EXPECT_EQ(adapter.Structure(), before) << c.name;
  }
}

TEST_F(AdapterEditTest, DeleteNodeByPathDeletesUnsharedNodesAndReleasesOnlyThatPathsLink) {
  six->AddChild(leaf);
  EXPECT_TRUE(adapter.DeleteNode(Path({1, 6, 7})));
  EXPECT_EQ(destroyed, 0);
  EXPECT_EQ(six->GetChild(7), nullptr);
  EXPECT_EQ(leaf->Parents().size(), 1u);
  EXPECT_TRUE(adapter.DeleteNode(Path({1, 5})));
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(adapter.GetNode(Path({1, 5})), nullptr);
}

TEST_F(AdapterEditTest, DeleteNodeRefusesTheRootMissingAndOpenNodes) {
  EXPECT_FALSE(adapter.DeleteNode(Path({1})));
  EXPECT_FALSE(adapter.DeleteNode(Path({1, 8})));
  EXPECT_FALSE(adapter.DeleteNode(RenderId()));
  ASSERT_TRUE(adapter.OpenNodes(Path({1, 5, 7})));
  EXPECT_FALSE(adapter.DeleteNode(Path({1, 5, 7})));
  EXPECT_FALSE(adapter.DeleteNode(Path({1, 5}))) << "its group holds the open node";
  EXPECT_EQ(destroyed, 0);
  EXPECT_TRUE(adapter.DeleteNode(Path({1, 6})));
}

TEST_F(AdapterEditTest, DeleteNodeByIdWorksOnTheOpenNodeOrTheRoot) {
  EXPECT_TRUE(adapter.DeleteNode(std::uint64_t{6}));
  EXPECT_EQ(adapter.GetRootNode()->GetChild(6), nullptr);
  ASSERT_TRUE(adapter.OpenNodes(Path({1, 5})));
  EXPECT_FALSE(adapter.DeleteNode(std::uint64_t{5}));
  EXPECT_TRUE(adapter.DeleteNode(std::uint64_t{7}));
  EXPECT_EQ(destroyed, 1);
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
  adapter.CloseNodeAndOptimize();
  adapter.CloseNodeAndOptimize();
  EXPECT_NE(adapter.GetRootNode(), nullptr) << "the root is never dropped";
}

TEST_F(AdapterEditTest, CopiedAttributesAreIndependentAndTransferredGeometryMoves) {
  GeoNode source(99);
  source.SetAttribute(new AttributeColor(RGBAColor(1, 2, 3, 50), true));
  source.SetAttribute(new AttributeVisibility(false));
  auto* moved = new TestItem(50, &destroyed);
  source.AddGeometry(moved);
  leaf->SetAttribute(new AttributeColor(RGBAColor(9, 9, 9)));
  leaf->SetAttribute(new AttributeTransform());
  ASSERT_TRUE(adapter.OpenNodes(Path({1, 5, 7})));
  adapter.CopyNodeAttributesFrom(source);
  adapter.TransferNodeGeometryFrom(source);
  static_cast<AttributeColor*>(source.GetAttribute(Attribute::ColorType))->SetColor(RGBAColor(0, 0, 0));

  const auto* color = static_cast<AttributeColor*>(leaf->GetAttribute(Attribute::ColorType));
  ASSERT_NE(color, nullptr);
  EXPECT_EQ(color->GetColor(), RGBAColor(1, 2, 3, 50));
  EXPECT_TRUE(color->IsOpaque());
  EXPECT_FALSE(leaf->IsVisible());
  EXPECT_NE(leaf->GetAttribute(Attribute::TransformType), nullptr) << "attributes the source lacks stay";
  EXPECT_TRUE(source.Geometry().empty());
  ASSERT_EQ(leaf->Geometry().size(), 2u);
  EXPECT_EQ(leaf->Geometry()[1], moved);
  adapter.TransferNodeGeometryFrom(*leaf);
  EXPECT_EQ(leaf->Geometry().size(), 2u) << "the open node as its own source";
}

TEST_F(AdapterEditTest, SetColorAndFilterIdActOnTheOpenNodeOnly) {
  adapter.SetColor(RGBAColor(1, 1, 1));
  adapter.SetFilterId(4);
  GeoNode source(99);
  source.SetAttribute(new AttributeVisibility(false));
  source.AddGeometry(new TestItem(1, &destroyed));
  adapter.CopyNodeAttributesFrom(source);
  adapter.TransferNodeGeometryFrom(source);
  EXPECT_TRUE(adapter.GetRootNode()->Attributes().empty()) << "nothing open, nothing changes";
  EXPECT_EQ(adapter.GetRootNode()->GetFilterId(), 0);
  EXPECT_EQ(source.Geometry().size(), 1u);

  ASSERT_TRUE(adapter.OpenNodes(Path({1, 6})));
  adapter.SetColor(RGBAColor(10, 20, 30, 128));
  adapter.SetFilterId(3);
  const auto* color = static_cast<AttributeColor*>(six->GetAttribute(Attribute::ColorType));
  ASSERT_NE(color, nullptr);
  EXPECT_EQ(color->GetColor(), RGBAColor(10, 20, 30, 128));
  EXPECT_FALSE(color->IsOpaque());
  EXPECT_EQ(six->GetFilterId(), 3);
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

}  // namespace
