#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "KivVizCore/AttributeColor.h"
#include "KivVizCore/AttributeVisibility.h"
#include "KivVizCore/Node.h"
#include "TestItem.h"

namespace {

std::vector<Node*> ParentsOf(const GeoNode& node) {
  const auto parents = node.Parents();
  return {parents.begin(), parents.end()};
}

TEST(NodeTest, ChildrenAreLinkedBothWaysAndVisitedInAscendingIdOrder) {
  std::unique_ptr<Node> root(Node::CreateRoot());
  EXPECT_EQ(root->GetId(), 1u);
  EXPECT_TRUE(root->IsGroup());
  Node* group = root->CreateChildNode(3);
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(root->GetChild(3), group);
  EXPECT_EQ(ParentsOf(*group), (std::vector<Node*>{root.get()}));
  for (const std::uint64_t id : {30u, 5u, 12u, 60000u, 2u}) ASSERT_NE(group->CreateChildGeoNode(id), nullptr);
  std::vector<std::uint64_t> ids;
  for (const auto& [id, child] : group->Children()) {
    EXPECT_EQ(child->GetId(), id);
    ids.push_back(id);
  }
  EXPECT_EQ(ids, (std::vector<std::uint64_t>{2, 5, 12, 30, 60000}));
  EXPECT_EQ(group->GetChild(3), nullptr);
}

TEST(NodeTest, ChildrenAreRefusedUnderLeavesAndForTakenIds) {
  GeoNode leaf(4);
  EXPECT_FALSE(leaf.IsGroup());
  EXPECT_EQ(leaf.CreateChildNode(1), nullptr);
  EXPECT_EQ(leaf.CreateChildGeoNode(1), nullptr);
  for (const bool firstIsGroup : {true, false}) {
    for (const bool secondIsGroup : {true, false}) {
      Node group(1);
      GeoNode* first = firstIsGroup ? group.CreateChildNode(9) : group.CreateChildGeoNode(9);
      EXPECT_EQ(secondIsGroup ? group.CreateChildNode(9) : group.CreateChildGeoNode(9), nullptr);
      EXPECT_EQ(group.GetChild(9), first);
      EXPECT_EQ(group.Children().size(), 1u);
    }
  }
  Node group(1);
  GeoNode* taken = group.CreateChildGeoNode(5);
  GeoNode other(5);
  EXPECT_FALSE(group.AddChild(nullptr));
  EXPECT_FALSE(group.AddChild(&group));
  EXPECT_FALSE(group.AddChild(&other));
  EXPECT_TRUE(other.Parents().empty());
  EXPECT_EQ(group.GetChild(5), taken);
}

TEST(NodeTest, NodeActionTogglesVisibilityFromWhatItIs) {
  GeoNode leaf(3);
  EXPECT_TRUE(leaf.IsVisible());
  EXPECT_FALSE(leaf.NodeAction());
  EXPECT_FALSE(leaf.IsVisible());
  EXPECT_NE(leaf.GetAttribute(Attribute::VisibilityType), nullptr);
  EXPECT_TRUE(leaf.NodeAction());
  EXPECT_TRUE(leaf.IsVisible());
  Node group(3);
  group.SetAttribute(new AttributeVisibility(false));
  EXPECT_TRUE(group.NodeAction());
  EXPECT_TRUE(group.IsVisible());
}

TEST(NodeTest, SetAttributeReplacesTheSameTypeOnly) {
  GeoNode leaf(3);
  EXPECT_FALSE(leaf.SetAttribute(nullptr));
  ASSERT_TRUE(leaf.SetAttribute(new AttributeColor(RGBAColor(1, 2, 3))));
  ASSERT_TRUE(leaf.SetAttribute(new AttributeVisibility(false)));
  auto* replacement = new AttributeColor(RGBAColor(4, 5, 6));
  ASSERT_TRUE(leaf.SetAttribute(replacement));
  EXPECT_EQ(leaf.GetAttribute(Attribute::ColorType), replacement);
  EXPECT_EQ(leaf.Attributes().size(), 2u);
  EXPECT_TRUE(leaf.SetAttribute(replacement)) << "setting the attribute it holds keeps it";
  EXPECT_EQ(leaf.GetAttribute(Attribute::ColorType), replacement);
  EXPECT_EQ(leaf.GetAttribute(Attribute::TransformType), nullptr);
  EXPECT_TRUE(leaf.RemoveAttribute(Attribute::ColorType));
  EXPECT_FALSE(leaf.RemoveAttribute(Attribute::ColorType));
}

TEST(NodeTest, GeometryKeepsOrderIgnoresNullAndCanBeHandedOver) {
  int destroyed = 0;
  GeoNode leaf(3);
  auto* first = new TestItem(1, &destroyed);
  auto* second = new TestItem(2, &destroyed);
  leaf.AddGeometry(first);
  leaf.AddGeometry(nullptr);
  leaf.AddGeometry(second);
  EXPECT_EQ(leaf.Geometry(), (std::vector<AGeometryItem*>{first, second}));
  auto taken = leaf.TakeGeometry();
  EXPECT_TRUE(leaf.Geometry().empty());
  ASSERT_EQ(taken.size(), 2u);
  EXPECT_EQ(taken[0].get(), first);
  EXPECT_EQ(destroyed, 0);
  taken.clear();
  EXPECT_EQ(destroyed, 2);
}

}  // namespace
