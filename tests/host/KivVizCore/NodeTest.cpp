// Nodes: refused children, the child order and attribute slots that must
// hold through every edit, and visibility toggling; the attributes' opacity
// and the identity test of transforms. Who deletes a node, exactly once: the
// items count their destructions and the sanitizer build catches leaks and
// double deletes.
#include "TestAdapter.h"

namespace {

struct CustomAttribute : Attribute {
  explicit CustomAttribute(int type) : Attribute(type) {}
  Attribute* Clone() const override { return new CustomAttribute(GetType()); }
};

std::vector<std::uint64_t> OrderedIds(const Node& group) {
  std::vector<std::uint64_t> ids;
  for (const auto& [id, child] : group.Children()) {
    EXPECT_EQ(child->GetId(), id);
    ids.push_back(id);
  }
  return ids;
}

std::vector<int> Types(const GeoNode& node) {
  std::vector<int> types;
  for (const Attribute* attribute : node.Attributes()) types.push_back(attribute->GetType());
  return types;
}

std::vector<Node*> ParentsOf(const GeoNode& node) {
  const auto parents = node.Parents();
  return {parents.begin(), parents.end()};
}

TEST(NodeTest, ChildrenAreRefusedUnderLeavesAndForTakenIds) {
  GeoNode leaf(4);
  EXPECT_EQ(leaf.CreateChildNode(1), nullptr);
  EXPECT_EQ(leaf.CreateChildGeoNode(1), nullptr);
  Node group(1);
  GeoNode* taken = group.CreateChildGeoNode(5);
  GeoNode other(5);
  EXPECT_EQ(group.CreateChildNode(5), nullptr);
  EXPECT_FALSE(group.AddChild(nullptr));
  EXPECT_FALSE(group.AddChild(&group));
  EXPECT_FALSE(group.AddChild(&other));
  EXPECT_TRUE(other.Parents().empty());
  EXPECT_EQ(group.GetChild(5), taken);
}

TEST(NodeTest, ChildrenStayInIdOrderThroughEveryEdit) {
  Node group(7);
  for (std::uint64_t id : {10u, 20u, 30u, 60000u}) group.CreateChildGeoNode(id);
  group.CreateChildNode(15);
  group.CreateChildGeoNode(5);
  EXPECT_EQ(OrderedIds(group), (std::vector<std::uint64_t>{5, 10, 15, 20, 30, 60000}));
  ASSERT_TRUE(group.DeleteChildById(10));
  ASSERT_TRUE(group.DeleteChildById(60000));
  EXPECT_EQ(OrderedIds(group), (std::vector<std::uint64_t>{5, 15, 20, 30}));

  // A child shared with other groups leaves only the group it is taken from;
  // unlinking it from its last parent deletes nothing.
  Node other(8);
  Node third(9);
  GeoNode* shared = group.GetChild(20);
  int destroyed = 0;
  shared->AddGeometry(new TestItem(20, &destroyed));
  ASSERT_TRUE(other.AddChild(shared));
  ASSERT_TRUE(third.AddChild(shared));
  ASSERT_TRUE(shared->RemoveFromParents(&group));
  EXPECT_FALSE(shared->RemoveFromParents(&group));
  EXPECT_FALSE(shared->RemoveFromParents(nullptr));
  EXPECT_FALSE(group.DeleteChildById(20)) << "no longer a child";
  EXPECT_EQ(ParentsOf(*shared), (std::vector<Node*>{&other, &third}));
  EXPECT_EQ(OrderedIds(group), (std::vector<std::uint64_t>{5, 15, 30}));
  EXPECT_EQ(OrderedIds(other), (std::vector<std::uint64_t>{20}));
  ASSERT_TRUE(shared->RemoveFromParents(&third));
  ASSERT_TRUE(shared->RemoveFromParents(&other));
  EXPECT_TRUE(shared->Parents().empty());
  EXPECT_EQ(destroyed, 0);
  delete shared;
  EXPECT_EQ(destroyed, 1);

  // Appending after a rebuild, then emptying.
  group.CreateChildGeoNode(40);
  ASSERT_TRUE(group.DeleteChildById(30));
  group.CreateChildGeoNode(35);
  EXPECT_EQ(OrderedIds(group), (std::vector<std::uint64_t>{5, 15, 35, 40}));
  // ClearChildren neither deletes nor tells the children; release them here.
  std::vector<GeoNode*> released;
  for (const auto& [id, child] : group.Children()) released.push_back(child);
  group.ClearChildren();
  group.CreateChildGeoNode(1);
  EXPECT_EQ(OrderedIds(group), (std::vector<std::uint64_t>{1}));
  // Long enough for the walk to fetch nodes ahead of itself.
  for (std::uint64_t id = 2; id <= 12; ++id) group.CreateChildGeoNode(id);
  EXPECT_EQ(OrderedIds(group).back(), 12u);
  for (GeoNode* child : released) delete child;
}

TEST(AttributeSlotsTest, LookupsAgreeWithTheAttributeMapAndNodeActionTogglesVisibility) {
  GeoNode node(3);
  for (int type = -1; type <= 6; ++type) EXPECT_EQ(node.GetAttribute(type), nullptr) << type;
  // The node action toggles visibility from what it is.
  EXPECT_FALSE(node.NodeAction());
  EXPECT_FALSE(node.IsVisible());
  EXPECT_TRUE(node.NodeAction());
  EXPECT_TRUE(node.IsVisible());
  EXPECT_FALSE(node.SetAttribute(nullptr));
  ASSERT_TRUE(node.SetAttribute(new AttributeColor(RGBAColor{1, 2, 3, 255})));
  auto* visibility = new AttributeVisibility(false);
  ASSERT_TRUE(node.SetAttribute(visibility));
  EXPECT_FALSE(node.IsVisible());
  auto* red = new AttributeColor(RGBAColor{255, 0, 0, 255});
  ASSERT_TRUE(node.SetAttribute(red));
  ASSERT_TRUE(node.SetAttribute(red));
  EXPECT_EQ(node.GetAttribute(Attribute::ColorType), red);
  EXPECT_EQ(node.GetAttribute(Attribute::VisibilityType), visibility);
  EXPECT_EQ(node.Attributes().size(), 2u);
  EXPECT_TRUE(node.RemoveAttribute(Attribute::ColorType));
  EXPECT_EQ(node.GetAttribute(Attribute::ColorType), nullptr);
  EXPECT_TRUE(node.RemoveAttribute(Attribute::VisibilityType));
  EXPECT_FALSE(node.RemoveAttribute(Attribute::VisibilityType));
  EXPECT_TRUE(node.IsVisible());

  // Types outside the common ones, listed in type order with the others.
  auto* high = new CustomAttribute(9);
  auto* negative = new CustomAttribute(-2);
  ASSERT_TRUE(node.SetAttribute(high));
  ASSERT_TRUE(node.SetAttribute(new AttributeTransform()));
  ASSERT_TRUE(node.SetAttribute(negative));
  ASSERT_TRUE(node.SetAttribute(new CustomAttribute(1)));
  EXPECT_EQ(node.GetAttribute(9), high);
  EXPECT_EQ(node.GetAttribute(-2), negative);
  EXPECT_EQ(Types(node), (std::vector<int>{-2, 1, 2, 9}));
  EXPECT_TRUE(node.RemoveAttribute(9));
  EXPECT_EQ(Types(node), (std::vector<int>{-2, 1, 2}));
}

TEST(AttributeColorTest, OpaqueExactlyAtFullAlphaUnlessFlagged) {
  EXPECT_TRUE(AttributeColor(RGBAColor(10, 20, 30, 255)).IsOpaque());
  EXPECT_FALSE(AttributeColor(RGBAColor(10, 20, 30, 254)).IsOpaque());
  EXPECT_TRUE(AttributeColor(RGBAColor(1, 2, 3, 100), true).IsOpaque());
}

// Traversals skip identity transforms, so every element must count.
TEST(AttributeTransformTest, IdentityFollowsEveryChangeOfTheMatrix) {
  AttributeTransform transform;
  EXPECT_TRUE(transform.IsIdentity());
  double matrix[16];
  AttributeTransform::SetIdentity(matrix);
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(matrix[i], (i % 5 == 0) ? 1.0 : 0.0) << "element " << i;
    matrix[i] += 1e-12;
    transform.SetTransform(matrix);
    EXPECT_FALSE(transform.IsIdentity()) << "element " << i;
    AttributeTransform::SetIdentity(matrix);
  }
  transform.SetTransform(matrix);
  EXPECT_TRUE(transform.IsIdentity());
}

// Deleting a group deletes its unshared children and releases shared ones,
// which their last parent deletes.
TEST(NodeOwnershipTest, DeletingAGroupReleasesItsChildrenAndDiamondsDeleteOnce) {
  int destroyed = 0;
  std::unique_ptr<Node> root(Node::CreateRoot());
  Node* sharedGroup = root->CreateChildNode(10)->CreateChildNode(30);
  root->CreateChildNode(20)->AddChild(sharedGroup);
  sharedGroup->CreateChildGeoNode(40)->AddGeometry(new TestItem(40, &destroyed));
  root->CreateChildNode(50)->CreateChildGeoNode(60)->AddGeometry(new TestItem(60, &destroyed));
  ASSERT_TRUE(root->DeleteChildById(10));
  EXPECT_EQ(destroyed, 0);
  EXPECT_EQ(ParentsOf(*sharedGroup), (std::vector<Node*>{static_cast<Node*>(root->GetChild(20))}));
  root.reset();
  EXPECT_EQ(destroyed, 2);
}

}  // namespace
