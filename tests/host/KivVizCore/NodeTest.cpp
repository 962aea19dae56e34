// Nodes: refused children, the child order and attribute slots that must
// hold through every edit, and visibility toggling; the attributes' opacity
// and the identity test of transforms. Who deletes a node, exactly once: the
// items count their destructions and the sanitizer build catches leaks and
// double deletes.
#include "TestAdapter.h"

namespace {

class CustomAttribute : public Attribute {
 public:
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
  EXPECT_TRUE(group.Children().empty());
  for (std::uint64_t id : {10u, 20u, 30u, 60000u}) group.CreateChildGeoNode(id);
  group.CreateChildNode(15);
  group.CreateChildGeoNode(5);
  EXPECT_EQ(OrderedIds(group), (std::vector<std::uint64_t>{5, 10, 15, 20, 30, 60000}));
  ASSERT_TRUE(group.DeleteChildById(10));
  ASSERT_TRUE(group.DeleteChildById(60000));
  EXPECT_EQ(OrderedIds(group), (std::vector<std::uint64_t>{5, 15, 20, 30}));

  // A child shared with another group leaves only the group it is taken from.
  Node other(8);
  GeoNode* shared = group.GetChild(20);
  ASSERT_TRUE(other.AddChild(shared));
  ASSERT_TRUE(shared->RemoveFromParents(&group));
  EXPECT_EQ(OrderedIds(group), (std::vector<std::uint64_t>{5, 15, 30}));
  EXPECT_EQ(OrderedIds(other), (std::vector<std::uint64_t>{20}));

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

TEST(AttributeSlotsTest, LookupsAgreeWithTheAttributeMap) {
  GeoNode node(3);
  for (int type = -1; type <= 6; ++type) EXPECT_EQ(node.GetAttribute(type), nullptr) << type;
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

TEST(NodeTest, NodeActionTogglesVisibilityFromWhatItIs) {
  GeoNode leaf(3);
  EXPECT_FALSE(leaf.NodeAction());
  EXPECT_FALSE(leaf.IsVisible());
  EXPECT_TRUE(leaf.NodeAction());
  EXPECT_TRUE(leaf.IsVisible());
}

TEST(AttributeColorTest, OpaqueExactlyAtFullAlphaUnlessFlagged) {
  for (const auto& [alpha, opaque] : {std::pair{255, true}, {254, false}}) {
    EXPECT_EQ(AttributeColor(RGBAColor(10, 20, 30, static_cast<std::uint8_t>(alpha))).IsOpaque(), opaque) << alpha;
  }
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
    EXPECT_FALSE(AttributeTransform(matrix).IsIdentity()) << "element " << i;
    AttributeTransform::SetIdentity(matrix);
  }
  transform.SetTransform(matrix);
  EXPECT_TRUE(transform.IsIdentity());
}

std::vector<Node*> ParentsOf(const GeoNode& node) {
  const auto parents = node.Parents();
  return {parents.begin(), parents.end()};
}

class NodeOwnershipTest : public testing::Test {
 protected:
  // A leaf carrying one counting item.
  GeoNode* Leaf(Node& parent, std::uint64_t id) {
    GeoNode* leaf = parent.CreateChildGeoNode(id);
    leaf->AddGeometry(new TestItem(id, &destroyed));
    return leaf;
  }

  int destroyed = 0;
  // Three groups; the first holds the leaf 9, which tests share with the others.
  Node first{1};
  Node second{2};
  Node third{3};
  GeoNode* shared = Leaf(first, 9);
};

// Deleting a group deletes its unshared children and releases shared ones,
// which their last parent deletes.
TEST_F(NodeOwnershipTest, DeletingAGroupReleasesItsChildrenAndDiamondsDeleteOnce) {
  std::unique_ptr<Node> root(Node::CreateRoot());
  Node* sharedGroup = root->CreateChildNode(10)->CreateChildNode(30);
  root->CreateChildNode(20)->AddChild(sharedGroup);
  Leaf(*sharedGroup, 40);
  Leaf(*root->CreateChildNode(50), 60);
  ASSERT_TRUE(root->DeleteChildById(10));
  EXPECT_EQ(destroyed, 0);
  EXPECT_EQ(ParentsOf(*sharedGroup), (std::vector<Node*>{static_cast<Node*>(root->GetChild(20))}));
  root.reset();
  EXPECT_EQ(destroyed, 2);
}

TEST_F(NodeOwnershipTest, RemoveFromParentsUnlinksOneParentAndDeletesNothing) {
  second.AddChild(shared);
  third.AddChild(shared);
  EXPECT_TRUE(shared->RemoveFromParents(&third));
  EXPECT_EQ(ParentsOf(*shared), (std::vector<Node*>{&first, &second}));
  EXPECT_TRUE(shared->RemoveFromParents(&first));
  EXPECT_FALSE(first.DeleteChildById(9)) << "no longer a child";
  EXPECT_EQ(ParentsOf(*shared), (std::vector<Node*>{&second}));
  EXPECT_FALSE(shared->RemoveFromParents(&first));
  EXPECT_FALSE(shared->RemoveFromParents(nullptr));
  EXPECT_TRUE(shared->RemoveFromParents(&second));
  EXPECT_TRUE(shared->Parents().empty());
  EXPECT_EQ(destroyed, 0);
  delete shared;
  EXPECT_EQ(destroyed, 1);
}

// Teardown must not recurse: a chain this deep overflows the stack otherwise.
TEST_F(NodeOwnershipTest, DeletingAVeryDeepChainDeletesEveryNode) {
  std::unique_ptr<Node> root(Node::CreateRoot());
  Node* group = root.get();
  for (std::uint64_t id = 2; id < 400000; ++id) group = group->CreateChildNode(id);
  Leaf(*group, 7);
  root.reset();
  EXPECT_EQ(destroyed, 1);
}

}  // namespace
