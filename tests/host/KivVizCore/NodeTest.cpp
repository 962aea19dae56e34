#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "KivVizCore/AttributeColor.h"
#include "KivVizCore/AttributeVisibility.h"
#include "KivVizCore/Node.h"
#include "TestItem.h"

namespace {

std::vector<std::uint64_t> ChildIds(const Node& group) {
  std::vector<std::uint64_t> ids;
  for (const auto& [id, child] : group.Children()) {
    EXPECT_EQ(child->GetId(), id);
    ids.push_back(id);
  }
  return ids;
}

TEST(NodeTest, RootIsAGroupWithIdOne) {
  std::unique_ptr<Node> root(Node::CreateRoot());
  EXPECT_EQ(root->GetId(), 1u);
  EXPECT_TRUE(root->IsGroup());
  EXPECT_TRUE(root->Children().empty());
  EXPECT_TRUE(root->Parents().empty());
}

TEST(NodeTest, ChildrenAreVisitedInAscendingIdOrder) {
  Node group(7);
  for (const std::uint64_t id : {30u, 5u, 12u, 60000u, 2u}) {
    ASSERT_NE(group.CreateChildGeoNode(id), nullptr);
  }
  EXPECT_EQ(ChildIds(group), (std::vector<std::uint64_t>{2, 5, 12, 30, 60000}));
}

TEST(NodeTest, CreatedChildIsLinkedBothWays) {
  Node group(7);
  Node* child = group.CreateChildNode(3);
  ASSERT_NE(child, nullptr);
  EXPECT_TRUE(child->IsGroup());
  EXPECT_EQ(group.GetChild(3), child);
  ASSERT_EQ(child->Parents().size(), 1u);
  EXPECT_EQ(child->Parents()[0], &group);
}

TEST(NodeTest, LeafCannotHoldChildren) {
  GeoNode leaf(4);
  EXPECT_FALSE(leaf.IsGroup());
  EXPECT_EQ(leaf.CreateChildNode(1), nullptr);
  EXPECT_EQ(leaf.CreateChildGeoNode(1), nullptr);
}

struct DuplicateCase {
  const char* name;
  bool firstIsGroup;
  bool secondIsGroup;

  // Names the case in test listings instead of dumping its bytes.
  friend void PrintTo(const DuplicateCase& value, std::ostream* out) { *out << value.name; }
};

class NodeDuplicateIdTest : public testing::TestWithParam<DuplicateCase> {};

TEST_P(NodeDuplicateIdTest, SecondChildWithSameIdIsRefused) {
  Node group(1);
  auto create = [&group](bool asGroup) -> GeoNode* {
    return asGroup ? group.CreateChildNode(9) : group.CreateChildGeoNode(9);
  };
  GeoNode* first = create(GetParam().firstIsGroup);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(create(GetParam().secondIsGroup), nullptr);
  EXPECT_EQ(group.GetChild(9), first);
  EXPECT_EQ(group.Children().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Kinds, NodeDuplicateIdTest,
                         testing::Values(DuplicateCase{"GroupThenGroup", true, true},
                                         DuplicateCase{"GroupThenLeaf", true, false},
                                         DuplicateCase{"LeafThenGroup", false, true},
                                         DuplicateCase{"LeafThenLeaf", false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(NodeTest, GetChildOfMissingIdIsNull) {
  Node group(1);
  group.CreateChildGeoNode(2);
  EXPECT_EQ(group.GetChild(3), nullptr);
}

TEST(NodeTest, AddChildRefusesNullSelfAndTakenId) {
  Node group(1);
  auto* taken = group.CreateChildGeoNode(5);
  auto* other = new GeoNode(5);
  EXPECT_FALSE(group.AddChild(nullptr));
  EXPECT_FALSE(group.AddChild(&group));
  EXPECT_FALSE(group.AddChild(other));
  EXPECT_TRUE(other->Parents().empty());
  EXPECT_EQ(group.GetChild(5), taken);
  delete other;
}

TEST(NodeTest, NodeActionTogglesVisibilityStartingFromVisible) {
  GeoNode leaf(3);
  EXPECT_TRUE(leaf.IsVisible());
  EXPECT_EQ(leaf.GetAttribute(Attribute::VisibilityType), nullptr);
  EXPECT_FALSE(leaf.NodeAction());
  EXPECT_FALSE(leaf.IsVisible());
  ASSERT_NE(leaf.GetAttribute(Attribute::VisibilityType), nullptr);
  EXPECT_TRUE(leaf.NodeAction());
  EXPECT_TRUE(leaf.IsVisible());
}

TEST(NodeTest, NodeActionHonoursAnExistingVisibilityAttribute) {
  Node group(3);
  group.SetAttribute(new AttributeVisibility(false));
  EXPECT_TRUE(group.NodeAction());
  EXPECT_TRUE(group.IsVisible());
}

TEST(NodeTest, SetAttributeReplacesTheSameTypeOnly) {
  GeoNode leaf(3);
  EXPECT_FALSE(leaf.SetAttribute(nullptr));
  EXPECT_TRUE(leaf.Attributes().empty());
  ASSERT_TRUE(leaf.SetAttribute(new AttributeColor(RGBAColor(1, 2, 3))));
  ASSERT_TRUE(leaf.SetAttribute(new AttributeVisibility(false)));
  auto* replacement = new AttributeColor(RGBAColor(4, 5, 6));
  ASSERT_TRUE(leaf.SetAttribute(replacement));
  EXPECT_EQ(leaf.GetAttribute(Attribute::ColorType), replacement);
  EXPECT_EQ(leaf.Attributes().size(), 2u);
  // Setting the attribute it holds already keeps it.
  EXPECT_TRUE(leaf.SetAttribute(replacement));
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
  ASSERT_EQ(leaf.Geometry().size(), 2u);
  EXPECT_EQ(leaf.Geometry()[0], first);
  EXPECT_EQ(leaf.Geometry()[1], second);

  auto taken = leaf.TakeGeometry();
  EXPECT_TRUE(leaf.Geometry().empty());
  ASSERT_EQ(taken.size(), 2u);
  EXPECT_EQ(taken[0].get(), first);
  EXPECT_EQ(destroyed, 0);
  taken.clear();
  EXPECT_EQ(destroyed, 2);
}

}  // namespace
