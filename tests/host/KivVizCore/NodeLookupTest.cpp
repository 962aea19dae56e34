// The quick paths traversals take on every node of every frame: children as
// one ordered sequence, attributes of the common types from slots, and the
// identity test of transforms. Each must agree with the node's own maps and
// matrix through every kind of edit.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "KivVizCore/AttributeColor.h"
#include "KivVizCore/AttributeTransform.h"
#include "KivVizCore/AttributeVisibility.h"
#include "KivVizCore/GeoNode.h"
#include "KivVizCore/Node.h"

namespace {

// An attribute of a type no library defines.
class CustomAttribute : public Attribute {
 public:
  explicit CustomAttribute(int type) : Attribute(type) {}
  Attribute* Clone() const override { return new CustomAttribute(GetType()); }
};

std::vector<int> Types(const GeoNode& node) {
  std::vector<int> types;
  for (const Attribute* attribute : node.Attributes()) types.push_back(attribute->GetType());
  return types;
}

std::vector<std::uint64_t> OrderedIds(const Node& group) {
  std::vector<std::uint64_t> ids;
  for (const GeoNode* child : group.OrderedChildren()) ids.push_back(child->GetId());
  return ids;
}

std::vector<std::uint64_t> MapIds(const Node& group) {
  std::vector<std::uint64_t> ids;
  for (const auto& [id, child] : group.Children()) ids.push_back(id);
  return ids;
}

TEST(OrderedChildrenTest, FollowsTheChildMapThroughEveryEdit) {
  Node group(7);
  EXPECT_TRUE(group.OrderedChildren().empty());

  for (std::uint64_t id : {10u, 20u, 30u}) group.CreateChildGeoNode(id);
  EXPECT_EQ(OrderedIds(group), (std::vector<std::uint64_t>{10, 20, 30}));

  // Ids arriving out of order, a refused duplicate, a deletion.
  group.CreateChildNode(15);
  group.CreateChildGeoNode(5);
  EXPECT_EQ(group.CreateChildGeoNode(20), nullptr);
  EXPECT_EQ(OrderedIds(group), (std::vector<std::uint64_t>{5, 10, 15, 20, 30}));
  ASSERT_TRUE(group.DeleteChildById(10));
  EXPECT_EQ(OrderedIds(group), MapIds(group));

  // A child shared with another group leaves only the group it is taken from.
  Node other(8);
  GeoNode* shared = group.GetChild(20);
  ASSERT_TRUE(other.AddChild(shared));
  ASSERT_TRUE(shared->RemoveFromParents(&group));
  EXPECT_EQ(OrderedIds(group), (std::vector<std::uint64_t>{5, 15, 30}));
  EXPECT_EQ(OrderedIds(other), (std::vector<std::uint64_t>{20}));

  // Appending after a rebuild, then emptying.
  group.CreateChildGeoNode(40);
  EXPECT_EQ(OrderedIds(group), (std::vector<std::uint64_t>{5, 15, 30, 40}));
  ASSERT_TRUE(group.DeleteChildById(30));
  group.CreateChildGeoNode(35);
  EXPECT_EQ(OrderedIds(group), (std::vector<std::uint64_t>{5, 15, 35, 40}));

  // ClearChildren neither deletes nor tells the children; release them here.
  std::vector<GeoNode*> released(group.OrderedChildren().begin(), group.OrderedChildren().end());
  group.ClearChildren();
  EXPECT_TRUE(group.OrderedChildren().empty());
  group.CreateChildGeoNode(1);
  EXPECT_EQ(OrderedIds(group), (std::vector<std::uint64_t>{1}));
  for (GeoNode* child : released) delete child;
}

TEST(AttributeSlotsTest, LookupsAgreeWithTheAttributeMap) {
  GeoNode node(3);
  for (int type = -1; type <= 6; ++type) EXPECT_EQ(node.GetAttribute(type), nullptr) << type;

  auto* colour = new AttributeColor(RGBAColor{1, 2, 3, 255});
  auto* visibility = new AttributeVisibility(false);
  ASSERT_TRUE(node.SetAttribute(colour));
  ASSERT_TRUE(node.SetAttribute(visibility));
  EXPECT_EQ(node.GetAttribute(Attribute::ColorType), colour);
  EXPECT_EQ(node.GetAttribute(Attribute::VisibilityType), visibility);
  EXPECT_EQ(node.GetAttribute(Attribute::TransformType), nullptr);
  EXPECT_FALSE(node.IsVisible());

  // Replacing answers the new attribute; setting the same one again keeps it.
  auto* red = new AttributeColor(RGBAColor{255, 0, 0, 255});
  ASSERT_TRUE(node.SetAttribute(red));
  EXPECT_EQ(node.GetAttribute(Attribute::ColorType), red);
  ASSERT_TRUE(node.SetAttribute(red));
  EXPECT_EQ(node.GetAttribute(Attribute::ColorType), red);
  EXPECT_EQ(node.Attributes().size(), 2u);

  EXPECT_TRUE(node.RemoveAttribute(Attribute::ColorType));
  EXPECT_EQ(node.GetAttribute(Attribute::ColorType), nullptr);
  EXPECT_FALSE(node.RemoveAttribute(Attribute::ColorType));
  EXPECT_TRUE(node.RemoveAttribute(Attribute::VisibilityType));
  EXPECT_TRUE(node.IsVisible());
  EXPECT_TRUE(node.Attributes().empty());

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
  EXPECT_FALSE(node.RemoveAttribute(9));
  EXPECT_EQ(node.GetAttribute(9), nullptr);
  EXPECT_EQ(Types(node), (std::vector<int>{-2, 1, 2}));
}

TEST(AttributeTransformTest, IdentityFollowsEveryChangeOfTheMatrix) {
  AttributeTransform transform;
  EXPECT_TRUE(transform.IsIdentity());

  double matrix[16];
  AttributeTransform::SetIdentity(matrix);
  for (int i = 0; i < 16; ++i) {
    matrix[i] += 1e-12;
    transform.SetTransform(matrix);
    EXPECT_FALSE(transform.IsIdentity()) << "element " << i;
    AttributeTransform::SetIdentity(matrix);
  }
  transform.SetTransform(matrix);
  EXPECT_TRUE(transform.IsIdentity());

  matrix[13] = 2.0;
  const AttributeTransform moved(matrix);
  EXPECT_FALSE(moved.IsIdentity());
  const std::unique_ptr<Attribute> copy(moved.Clone());
  EXPECT_FALSE(static_cast<AttributeTransform*>(copy.get())->IsIdentity());
}

}  // namespace
