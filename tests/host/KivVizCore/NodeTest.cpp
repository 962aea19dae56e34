// Nodes: refused children, ordered children and attribute slots agreeing with
// the node's maps, visibility toggling, who deletes a node exactly once (the
// sanitizer build catches leaks and double deletes), attributes, entity ids and
// render paths, and rendering options telling their listeners.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <utility>
#include <vector>

#include "KivVizCore/AttributeColor.h"
#include "KivVizCore/AttributeTransform.h"
#include "KivVizCore/AttributeVisibility.h"
#include "KivVizCore/EntityId.h"
#include "KivVizCore/IRenderingOptionsListener.h"
#include "KivVizCore/RenderId.h"
#include "KivVizCore/RenderingOptions.h"
#include "TestAdapter.h"

namespace {

class CustomAttribute : public Attribute {
 public:
  explicit CustomAttribute(int type) : Attribute(type) {}
  Attribute* Clone() const override { return new CustomAttribute(GetType()); }
};

std::vector<std::uint64_t> OrderedIds(const Node& group) {
  std::vector<std::uint64_t> ids;
  for (const GeoNode* child : group.OrderedChildren()) ids.push_back(child->GetId());
  std::vector<std::uint64_t> mapIds;
  for (const auto& [id, child] : group.Children()) {
    EXPECT_EQ(child->GetId(), id);
    mapIds.push_back(id);
  }
  EXPECT_EQ(ids, mapIds) << "the ordered children follow the map";
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

TEST(OrderedChildrenTest, FollowsTheChildMapThroughEveryEdit) {
  Node group(7);
  EXPECT_TRUE(group.OrderedChildren().empty());
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
  std::vector<GeoNode*> released(group.OrderedChildren().begin(), group.OrderedChildren().end());
  group.ClearChildren();
  group.CreateChildGeoNode(1);
  EXPECT_EQ(OrderedIds(group), (std::vector<std::uint64_t>{1}));
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
  EXPECT_EQ(node.GetAttribute(Attribute::TransformType), nullptr);
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
};

TEST_F(NodeOwnershipTest, SharedChildLivesUntilItsLastParentReleasesIt) {
  Node first(1);
  Node second(2);
  GeoNode* shared = Leaf(first, 9);
  ASSERT_TRUE(second.AddChild(shared));
  EXPECT_EQ(ParentsOf(*shared), (std::vector<Node*>{&first, &second}));
  ASSERT_TRUE(first.DeleteChildById(9));
  EXPECT_EQ(destroyed, 0);
  EXPECT_EQ(ParentsOf(*shared), (std::vector<Node*>{&second}));
  EXPECT_EQ(second.GetChild(9), shared);
  ASSERT_TRUE(second.DeleteChildById(9));
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(second.GetChild(9), nullptr);
  EXPECT_FALSE(second.DeleteChildById(9));
}

TEST_F(NodeOwnershipTest, DeletingAGroupReleasesItsChildrenAndDiamondsDeleteOnce) {
  auto keeper = std::make_unique<Node>(100);
  auto* doomed = new Node(200);
  Leaf(*doomed, 1);
  GeoNode* shared = Leaf(*doomed, 2);
  keeper->AddChild(shared);
  delete doomed;
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(ParentsOf(*shared), (std::vector<Node*>{keeper.get()}));
  keeper.reset();
  EXPECT_EQ(destroyed, 2);

  std::unique_ptr<Node> root(Node::CreateRoot());
  Node* sharedGroup = root->CreateChildNode(10)->CreateChildNode(30);
  root->CreateChildNode(20)->AddChild(sharedGroup);
  Leaf(*sharedGroup, 40);
  root.reset();
  EXPECT_EQ(destroyed, 3);
}

TEST_F(NodeOwnershipTest, RemoveFromParentsUnlinksOneParentAndDeletesNothing) {
  Node first(1);
  Node second(2);
  Node third(3);
  GeoNode* shared = Leaf(first, 9);
  second.AddChild(shared);
  third.AddChild(shared);
  EXPECT_TRUE(shared->RemoveFromParents(&third));
  EXPECT_EQ(ParentsOf(*shared), (std::vector<Node*>{&first, &second}));
  EXPECT_TRUE(shared->RemoveFromParents(&first));
  EXPECT_EQ(first.GetChild(9), nullptr);
  EXPECT_EQ(ParentsOf(*shared), (std::vector<Node*>{&second}));
  EXPECT_FALSE(shared->RemoveFromParents(&first));
  EXPECT_FALSE(shared->RemoveFromParents(nullptr));
  EXPECT_TRUE(shared->RemoveFromParents(&second));
  EXPECT_TRUE(shared->Parents().empty());
  EXPECT_EQ(destroyed, 0);
  delete shared;
  EXPECT_EQ(destroyed, 1);
}

TEST(AttributeColorTest, OpaqueExactlyAtFullAlphaUnlessFlagged) {
  for (const auto& [alpha, opaque] : {std::pair{255, true}, {254, false}, {0, false}}) {
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

TEST(EntityIdTest, LevelFollowsTheIdsGivenAndPrintsDownToIt) {
  EXPECT_FALSE(EntityId().IsValid());
  EXPECT_EQ(EntityId(3).GetLevel(), EntityId::Level::Model);
  EXPECT_EQ(EntityId(3, 4, 10002).GetLevel(), EntityId::Level::Category);
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

class RecordingListener : public IRenderingOptionsListener {
 public:
  void RenderingOptionsNotify(IRenderingOptions* options) override { told.push_back(options); }
  std::vector<IRenderingOptions*> told;
};

TEST(RenderingOptionsTest, EverythingIsOnAtFirstAndEverySetterTellsEveryListenerOnce) {
  RenderingOptions options;
  EXPECT_TRUE(options.pickSurfaces && options.pickCurves && options.pickPoints);
  EXPECT_TRUE(options.IsFilterVisible(1));
  EXPECT_TRUE(options.IsFilterVisible(-3));
  RecordingListener first;
  RecordingListener second;
  options.AddListener(&first);
  options.AddListener(&second);
  options.AddListener(&first);
  options.AddListener(nullptr);
  EXPECT_EQ(options.Listeners().size(), 2u);
  options.SetPickCurves(false);
  options.SetFilterVisible(4, false);
  EXPECT_FALSE(options.pickCurves);
  EXPECT_FALSE(options.IsFilterVisible(4));
  EXPECT_TRUE(options.IsFilterVisible(5));
  EXPECT_EQ(first.told, std::vector<IRenderingOptions*>(2, &options));
  EXPECT_EQ(second.told.size(), 2u);
  options.RemoveListener(&first);
  options.Notify();
  EXPECT_EQ(first.told.size(), 2u);
  EXPECT_EQ(second.told.size(), 3u);
}

TEST(RenderingOptionsTest, ListenerMayLeaveWhileBeingTold) {
  RenderingOptions options;
  struct Leaving : IRenderingOptionsListener {
    explicit Leaving(RenderingOptions& options) : options(options) {}
    void RenderingOptionsNotify(IRenderingOptions*) override {
      ++count;
      options.RemoveListener(this);
    }
    RenderingOptions& options;
    int count = 0;
  } leaving(options);
  RecordingListener staying;
  options.AddListener(&leaving);
  options.AddListener(&staying);
  options.Notify();
  options.Notify();
  EXPECT_EQ(leaving.count, 1);
  EXPECT_EQ(staying.told.size(), 2u);
}

}  // namespace
