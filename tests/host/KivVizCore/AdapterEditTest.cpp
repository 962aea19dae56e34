#include <gtest/gtest.h>

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
  // Reachable, and drawn, through both paths; still one node.
  EXPECT_EQ(adapter.GetNode(Path({1, 6, 7})), adapter.GetNode(Path({1, 5, 7})));
  EXPECT_EQ(adapter.Stack().size(), 2u);
}

struct ReferenceFailureCase {
  const char* name;
  std::vector<std::uint64_t> open;
  std::vector<std::uint64_t> target;

  // Names the case in test listings instead of dumping its bytes.
  friend void PrintTo(const ReferenceFailureCase& value, std::ostream* out) { *out << value.name; }
};

class AdapterReferenceFailureTest : public AdapterEditTest,
                                    public testing::WithParamInterface<ReferenceFailureCase> {};

TEST_P(AdapterReferenceFailureTest, RefusesAndChangesNothing) {
  if (!GetParam().open.empty()) {
    ASSERT_TRUE(adapter.OpenNodes(Path(GetParam().open)));
  }
  const std::string before = [this] {
    std::string text;
    adapter.GetSceneStructure(text, true);
    return text;
  }();
  EXPECT_FALSE(adapter.AddReference(Path(GetParam().target)));
  std::string after;
  adapter.GetSceneStructure(after, true);
  EXPECT_EQ(after, before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AdapterReferenceFailureTest,
    testing::Values(ReferenceFailureCase{"NothingOpen", {}, {1, 5, 7}},
                    ReferenceFailureCase{"MissingTarget", {1, 6}, {1, 5, 8}},
                    ReferenceFailureCase{"LeafOpen", {1, 5, 7}, {1, 6}},
                    ReferenceFailureCase{"IdTakenAlready", {1, 5}, {1, 5, 7}},
                    ReferenceFailureCase{"ItselfBelowItself", {1, 6}, {1, 6}},
                    ReferenceFailureCase{"AncestorBelowDescendant", {1, 5}, {1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AdapterEditTest, DeleteNodeByPathDeletesAnUnsharedNode) {
  EXPECT_TRUE(adapter.DeleteNode(Path({1, 5})));
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(adapter.GetNode(Path({1, 5})), nullptr);
}

TEST_F(AdapterEditTest, DeleteNodeByPathReleasesOnlyThatPathsLink) {
  six->AddChild(leaf);
  EXPECT_TRUE(adapter.DeleteNode(Path({1, 6, 7})));
  EXPECT_EQ(destroyed, 0);
  EXPECT_EQ(six->GetChild(7), nullptr);
  EXPECT_EQ(adapter.GetNode(Path({1, 5, 7})), leaf);
  EXPECT_EQ(leaf->Parents().size(), 1u);
}

TEST_F(AdapterEditTest, DeleteNodeRefusesTheRootMissingAndOpenNodes) {
  EXPECT_FALSE(adapter.DeleteNode(Path({1})));
  EXPECT_FALSE(adapter.DeleteNode(Path({1, 8})));
  EXPECT_FALSE(adapter.DeleteNode(RenderId()));
  ASSERT_TRUE(adapter.OpenNodes(Path({1, 5, 7})));
  EXPECT_FALSE(adapter.DeleteNode(Path({1, 5, 7})));
  // Its group holds the open node.
  EXPECT_FALSE(adapter.DeleteNode(Path({1, 5})));
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

TEST_F(AdapterEditTest, CloseNodeAndOptimizeDropsAGroupLeftEmpty) {
  ASSERT_TRUE(adapter.OpenNode(1));
  ASSERT_TRUE(adapter.CreateNode(20, L"empty"));
  adapter.CloseNodeAndOptimize();
  EXPECT_EQ(adapter.GetRootNode()->GetChild(20), nullptr);
  EXPECT_EQ(adapter.GetCurrentOpenNode(), adapter.GetRootNode());
}

TEST_F(AdapterEditTest, CloseNodeAndOptimizeKeepsFilledGroupsAndLeaves) {
  ASSERT_TRUE(adapter.OpenNode(1));
  ASSERT_TRUE(adapter.OpenNode(5));
  adapter.CloseNodeAndOptimize();
  EXPECT_NE(adapter.GetRootNode()->GetChild(5), nullptr);
  ASSERT_TRUE(adapter.CreateGeoNode(21, L"bare leaf"));
  adapter.CloseNodeAndOptimize();
  EXPECT_NE(adapter.GetRootNode()->GetChild(21), nullptr);
  // The root itself is never dropped.
  adapter.CloseNodeAndOptimize();
  EXPECT_TRUE(adapter.Stack().empty());
  adapter.CloseNodeAndOptimize();
  EXPECT_NE(adapter.GetRootNode(), nullptr);
}

TEST_F(AdapterEditTest, CopiedAttributesAreIndependentOfTheSource) {
  GeoNode source(99);
  source.SetAttribute(new AttributeColor(RGBAColor(1, 2, 3, 50), true));
  source.SetAttribute(new AttributeVisibility(false));
  leaf->SetAttribute(new AttributeColor(RGBAColor(9, 9, 9)));
  leaf->SetAttribute(new AttributeTransform());
  ASSERT_TRUE(adapter.OpenNodes(Path({1, 5, 7})));
  adapter.CopyNodeAttributesFrom(source);
  static_cast<AttributeColor*>(source.GetAttribute(Attribute::ColorType))->SetColor(RGBAColor(0, 0, 0));

  const auto* color = static_cast<AttributeColor*>(leaf->GetAttribute(Attribute::ColorType));
  ASSERT_NE(color, nullptr);
  EXPECT_EQ(color->GetColor(), RGBAColor(1, 2, 3, 50));
  EXPECT_TRUE(color->IsOpaque());
  EXPECT_FALSE(leaf->IsVisible());
  EXPECT_NE(leaf->GetAttribute(Attribute::TransformType), nullptr);
}

TEST_F(AdapterEditTest, TransferredGeometryMovesToTheOpenNode) {
  GeoNode source(99);
  auto* moved = new TestItem(50, &destroyed);
  source.AddGeometry(moved);
  ASSERT_TRUE(adapter.OpenNodes(Path({1, 5, 7})));
  adapter.TransferNodeGeometryFrom(source);
  EXPECT_TRUE(source.Geometry().empty());
  ASSERT_EQ(leaf->Geometry().size(), 2u);
  EXPECT_EQ(leaf->Geometry()[1], moved);
  // The open node itself as source changes nothing.
  adapter.TransferNodeGeometryFrom(*leaf);
  EXPECT_EQ(leaf->Geometry().size(), 2u);
}

TEST_F(AdapterEditTest, SetColorAndFilterIdActOnTheOpenNode) {
  ASSERT_TRUE(adapter.OpenNodes(Path({1, 6})));
  adapter.SetColor(RGBAColor(10, 20, 30, 128));
  adapter.SetFilterId(3);
  const auto* color = static_cast<AttributeColor*>(six->GetAttribute(Attribute::ColorType));
  ASSERT_NE(color, nullptr);
  EXPECT_EQ(color->GetColor(), RGBAColor(10, 20, 30, 128));
  EXPECT_FALSE(color->IsOpaque());
  EXPECT_EQ(six->GetFilterId(), 3);
  adapter.SetColor(RGBAColor(10, 20, 30));
  EXPECT_TRUE(static_cast<AttributeColor*>(six->GetAttribute(Attribute::ColorType))->IsOpaque());
}

TEST_F(AdapterEditTest, EditsWithoutAnOpenNodeDoNothing) {
  GeoNode source(99);
  source.SetAttribute(new AttributeVisibility(false));
  source.AddGeometry(new TestItem(1, &destroyed));
  adapter.SetColor(RGBAColor(1, 1, 1));
  adapter.SetFilterId(4);
  adapter.CopyNodeAttributesFrom(source);
  adapter.TransferNodeGeometryFrom(source);
  EXPECT_TRUE(adapter.GetRootNode()->Attributes().empty());
  EXPECT_EQ(adapter.GetRootNode()->GetFilterId(), 0);
  EXPECT_EQ(source.Geometry().size(), 1u);
}

TEST_F(AdapterEditTest, ClearEmptiesANodeButKeepsItAndItsAttributes) {
  auto* five = static_cast<Node*>(adapter.GetNode(Path({1, 5})));
  five->SetAttribute(new AttributeVisibility(false));
  adapter.Clear(Path({1, 5}));
  EXPECT_EQ(destroyed, 1);
  EXPECT_TRUE(five->Children().empty());
  EXPECT_FALSE(five->IsVisible());
  EXPECT_EQ(adapter.GetNode(Path({1, 5})), five);
}

TEST_F(AdapterEditTest, ClearDeletesALeafsItems) {
  adapter.Clear(Path({1, 5, 7}));
  EXPECT_EQ(destroyed, 1);
  EXPECT_TRUE(leaf->Geometry().empty());
}

TEST_F(AdapterEditTest, ClearWaitsWhileANodeBelowIsOpen) {
  ASSERT_TRUE(adapter.OpenNodes(Path({1, 5, 7})));
  adapter.Clear(Path({1, 5}));
  EXPECT_EQ(destroyed, 0);
  // Clearing the open node itself empties it and keeps it open.
  adapter.Clear(Path({1, 5, 7}));
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(adapter.GetCurrentOpenNode(), leaf);
}

}  // namespace
