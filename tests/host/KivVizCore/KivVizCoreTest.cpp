// KivVizCore: nodes (refused children, ordered children and attribute slots,
// visibility, who deletes a node exactly once), attributes, ids, rendering
// options, and the adapter: scene edits (every refusal leaves scene and stack
// alone), libraries, picking with a ray, the scene as text, deferred work.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <deque>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "KivVizCore/AFilterManager.h"
#include "KivVizCore/AGeometryItem.h"
#include "KivVizCore/AView3DAdapter.h"
#include "KivVizCore/AttributeColor.h"
#include "KivVizCore/AttributeTransform.h"
#include "KivVizCore/AttributeVisibility.h"
#include "KivVizCore/EntityId.h"
#include "KivVizCore/IRenderingOptionsListener.h"
#include "KivVizCore/Node.h"
#include "KivVizCore/Ray.h"
#include "KivVizCore/RenderId.h"
#include "KivVizCore/RenderingOptions.h"

namespace {

class TestItem : public AGeometryItem {
 public:
  explicit TestItem(std::uint64_t id, int* destroyed = nullptr) : AGeometryItem(id), destroyed(destroyed) {}
  ~TestItem() override {
    if (destroyed != nullptr) ++*destroyed;
  }
  // A square of half-size `half` around (cx, cy) in the plane z = depth.
  TestItem& Square(float cx, float cy, float z, float halfSize) {
    hittable = true;
    square = {cx, cy, z, halfSize};
    return *this;
  }
  void Display(AView3DAdapter*) override {}
  bool RayHit(const float o[3], const float d[3], float scalar, float hit[3], float& parameter) const override {
    if (!hittable || d[2] == 0.0f) return false;
    const float t = (square[2] - o[2]) / d[2];
    const float x = o[0] + t * d[0], y = o[1] + t * d[1];
    if (t < 0.0f || t > scalar || std::abs(x - square[0]) > square[3] || std::abs(y - square[1]) > square[3]) {
      return false;
    }
    hit[0] = x;
    hit[1] = y;
    hit[2] = square[2];
    parameter = t;
    return true;
  }

 private:
  int* destroyed;
  bool hittable = false;
  std::array<float, 4> square{};
};

class TestAdapter : public AView3DAdapter {
 public:
  TestAdapter() { rootNode = Node::CreateRoot(); }
  ~TestAdapter() override { delete rootNode; }

  std::string GetName() const override { return "TestAdapter"; }
  void BeginScene(GeoNode* node) override {
    if (node != nullptr) openNodeStack.push_back(node);
  }
  void EndScene() override { CloseNode(); }
  void ReservedOperation1() override {}
  void ReservedOperation2() override {}
  bool OpenNode(const std::uint64_t& id) override {
    if (id == Node::RootId && openNodeStack.empty()) return Push(rootNode);
    auto* group = dynamic_cast<Node*>(openNodeStack.empty() ? rootNode : openNodeStack.back());
    return Push(group == nullptr ? nullptr : group->GetChild(id));
  }
  void CloseNode() override {
    if (!openNodeStack.empty()) openNodeStack.pop_back();
  }
  void CloseAllNodes() override { openNodeStack.clear(); }
  bool CreateNode(const std::uint64_t& id, const std::wstring& name) override {
    if (id == Node::RootId && openNodeStack.empty()) return Push(rootNode, name);
    return Push(openNodeStack.empty() ? nullptr : openNodeStack.back()->CreateChildNode(id), name);
  }
  bool CreateGeoNode(const std::uint64_t& id, const std::wstring& name) override {
    return Push(openNodeStack.empty() ? nullptr : openNodeStack.back()->CreateChildGeoNode(id), name);
  }
  Node* GetRootNode() override { return rootNode; }
  std::string GetStatistics() override { return {}; }
  void SetNodeAttribute(Attribute* attribute) override {
    if (!openNodeStack.empty()) openNodeStack.back()->SetAttribute(attribute);
  }
  AGeometryItemFactory* GetGeometryItemFactory() override { return nullptr; }
  void AddGeometry(AGeometryItem* item) override {
    if (!openNodeStack.empty()) openNodeStack.back()->AddGeometry(item);
  }
  bool ApplyNodeAction(const RenderId&) override { return false; }
  void ClearAll() override {}
  RenderingOptions* GetDisplayOptions() override { return nullptr; }
  bool PickPoint(int, int, float&, float&, float&) override { return false; }
  bool PickVisualAt(const int&, const int&, RenderId&) override { return false; }
  void Highlight(const std::vector<RenderId>&) override {}
  bool Highlight(const RenderId&) override { return false; }
  void UnHighlight() override {}
  bool UnHighlight(const RenderId&) override { return false; }
  void Select(const RenderId&) override {}
  void UnSelect() override {}
  bool UnSelect(const RenderId&) override { return false; }
  void Convert(const RenderId&, EntityId&) override {}

  const std::deque<GeoNode*>& Stack() const { return openNodeStack; }
  void SetFilterManager(AFilterManager* manager) { filterManager = manager; }
  void DropLibraries() { ClearLibraries(); }
  using AView3DAdapter::BeginClipTracking;
  using AView3DAdapter::EndClipTracking;
  // Builds root/groups.../leaf, opening nothing; returns the leaf.
  GeoNode* AddLeaf(const std::vector<std::uint64_t>& groupsThenLeaf) {
    Node* group = rootNode;
    for (std::size_t i = 0; i + 1 < groupsThenLeaf.size(); ++i) {
      GeoNode* existing = group->GetChild(groupsThenLeaf[i]);
      group = existing != nullptr ? dynamic_cast<Node*>(existing) : group->CreateChildNode(groupsThenLeaf[i]);
    }
    return group->CreateChildGeoNode(groupsThenLeaf.back());
  }
  std::string Structure() {
    std::string text;
    GetSceneStructure(text, true);
    return text;
  }

 private:
  bool Push(GeoNode* node, const std::wstring& name = {}) {
    if (node == nullptr) return false;
    if (!name.empty()) node->SetName(name);
    openNodeStack.push_back(node);
    return true;
  }
};

inline RenderId Path(std::vector<std::uint64_t> ids) { return RenderId(ids, RenderId::SceneOrigin); }

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
  Node first(1), second(2);
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
  Node first(1), second(2), third(3);
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
  RecordingListener first, second;
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

// Scene: root / 5 / 7 (leaf with one counting item), root / 6 (empty group),
// root / 1 (a child with the root's id) / 2 (leaf).
class AdapterEditTest : public testing::Test {
 protected:
  void SetUp() override {
    leaf = adapter.AddLeaf({5, 7});
    leaf->AddGeometry(new TestItem(7, &destroyed));
    six = adapter.GetRootNode()->CreateChildNode(6);
    childOne = adapter.GetRootNode()->CreateChildNode(1);
    childOne->CreateChildGeoNode(2);
  }
  const AttributeColor* ColorOf(GeoNode* node) {
    return dynamic_cast<const AttributeColor*>(node->GetAttribute(Attribute::ColorType));
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
  EXPECT_EQ(adapter.GetNode(Path({1, 1, 2})), childOne->GetChild(2));
  for (const auto& broken : std::vector<std::vector<std::uint64_t>>{{}, {1, 8}, {1, 5, 8}, {1, 5, 7, 1}, {2}}) {
    EXPECT_EQ(adapter.GetNode(Path(broken)), nullptr) << Path(broken);
  }
}

TEST_F(AdapterEditTest, OpenNodesOpensEveryIdFromTheOpenNodeOrChangesNothing) {
  EXPECT_EQ(adapter.GetCurrentOpenNode(), nullptr);
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
  } refused[] = {{"NothingOpen", {}, {1, 5, 7}},         {"MissingTarget", {1, 6}, {1, 5, 8}},
                 {"LeafOpen", {1, 5, 7}, {1, 6}},        {"IdTakenAlready", {1, 5}, {1, 5, 7}},
                 {"ItselfBelowItself", {1, 6}, {1, 6}},  {"AncestorBelowDescendant", {1, 5}, {1}}};
  const std::string before = adapter.Structure();
  for (const auto& c : refused) {
    adapter.CloseAllNodes();
    if (!c.open.empty()) {
      ASSERT_TRUE(adapter.OpenNodes(Path(c.open))) << c.name;
    }
    EXPECT_FALSE(adapter.AddReference(Path(c.target))) << c.name;
    EXPECT_EQ(adapter.Structure(), before) << c.name;
  }
  adapter.CloseAllNodes();
  ASSERT_TRUE(adapter.OpenNodes(Path({1, 6})));
  ASSERT_TRUE(adapter.AddReference(Path({1, 5, 7})));
  EXPECT_EQ(six->GetChild(7), leaf);
  EXPECT_EQ(leaf->Parents().size(), 2u);
  EXPECT_EQ(adapter.Stack().size(), 2u) << "the stack is left as it was";
}

TEST_F(AdapterEditTest, DeleteNodeDeletesUnsharedNodesAndReleasesOnlyThatPathsLink) {
  six->AddChild(leaf);
  EXPECT_TRUE(adapter.DeleteNode(Path({1, 6, 7})));
  EXPECT_EQ(destroyed, 0);
  EXPECT_EQ(six->GetChild(7), nullptr);
  EXPECT_EQ(leaf->Parents().size(), 1u);
  EXPECT_TRUE(adapter.DeleteNode(Path({1, 5})));
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(adapter.GetNode(Path({1, 5})), nullptr);
  // By id: a child of the open node, or of the root with nothing open.
  EXPECT_TRUE(adapter.DeleteNode(std::uint64_t{6}));
  ASSERT_TRUE(adapter.OpenNodes(Path({1, 1})));
  EXPECT_FALSE(adapter.DeleteNode(std::uint64_t{1}));
  EXPECT_TRUE(adapter.DeleteNode(std::uint64_t{2}));
  EXPECT_EQ(adapter.GetNode(Path({1, 1, 2})), nullptr);
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
  ASSERT_NE(ColorOf(leaf), nullptr);
  EXPECT_EQ(ColorOf(leaf)->GetColor(), RGBAColor(1, 2, 3, 50));
  EXPECT_TRUE(ColorOf(leaf)->IsOpaque());
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

// A library "bolts" with one group 100 holding a leaf 101 with a counting
// item, and a scene root / 5 (group) in which references are made.
class AdapterLibraryTest : public testing::Test {
 protected:
  void SetUp() override {
    adapter = std::make_unique<TestAdapter>();
    ASSERT_TRUE(adapter->OpenLibrary("bolts"));
    ASSERT_TRUE(adapter->CreateNode(100, L"bolt"));
    ASSERT_TRUE(adapter->CreateGeoNode(101, L"shape"));
    adapter->AddGeometry(new TestItem(101, &destroyed));
    adapter->CloseLibrary();
    ASSERT_TRUE(adapter->Stack().empty());
    adapter->GetRootNode()->CreateChildNode(5);
  }

  std::unique_ptr<TestAdapter> adapter;
  int destroyed = 0;
};

TEST_F(AdapterLibraryTest, ReferencesShareTheLibraryContentWhichIsNotInTheScene) {
  EXPECT_EQ(adapter->GetRootNode()->Children().size(), 1u);
  EXPECT_EQ(adapter->GetNode(Path({100})), nullptr);
  ASSERT_TRUE(adapter->OpenNodes(Path({1, 5})));
  ASSERT_TRUE(adapter->AddLibraryReference(1, "bolts", 100));
  ASSERT_TRUE(adapter->AddLibraryReference(2, "bolts", 100));
  EXPECT_EQ(adapter->Stack().size(), 2u);
  GeoNode* first = adapter->GetNode(Path({1, 5, 1, 100, 101}));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, adapter->GetNode(Path({1, 5, 2, 100, 101})));
  EXPECT_EQ(adapter->GetNode(Path({1, 5, 1, 100}))->Parents().size(), 3u) << "the library and both references";
  ASSERT_TRUE(adapter->OpenNode(1));
  EXPECT_EQ(adapter->GetCurrentOpenNode(), adapter->GetNode(Path({1, 5, 1}))) << "references open like any node";

  // The content outlives its library; scene and library release it once.
  adapter->CloseAllNodes();
  adapter->DropLibraries();
  EXPECT_EQ(destroyed, 0);
  ASSERT_TRUE(adapter->DeleteNode(Path({1, 5, 1})));
  EXPECT_NE(adapter->GetNode(Path({1, 5, 2, 100, 101})), nullptr);
  adapter.reset();
  EXPECT_EQ(destroyed, 1);
}

TEST_F(AdapterLibraryTest, AddLibraryReferenceRefusesAndAddsNothing) {
  adapter->AddLeaf({5, 9});
  const struct {
    const char* name;
    std::vector<std::uint64_t> open;
    std::uint64_t id;
    const char* library;
    std::uint64_t libraryNodeId;
  } cases[] = {{"NothingOpen", {}, 1, "bolts", 100},     {"UnknownLibrary", {1, 5}, 1, "nuts", 100},
               {"UnknownLibraryNode", {1, 5}, 1, "bolts", 7}, {"IdTaken", {1}, 5, "bolts", 100},
               {"LeafOpen", {1, 5, 9}, 1, "bolts", 100}};
  const std::string before = adapter->Structure();
  for (const auto& c : cases) {
    adapter->CloseAllNodes();
    if (!c.open.empty()) {
      ASSERT_TRUE(adapter->OpenNodes(Path(c.open))) << c.name;
    }
    EXPECT_FALSE(adapter->AddLibraryReference(c.id, c.library, c.libraryNodeId)) << c.name;
    EXPECT_EQ(adapter->Structure(), before) << c.name;
  }
  adapter->CloseAllNodes();
  ASSERT_TRUE(adapter->OpenLibrary("bolts"));
  ASSERT_TRUE(adapter->OpenNode(100)) << "a reopened library keeps its content";
  EXPECT_FALSE(adapter->AddLibraryReference(1, "bolts", 100)) << "content cannot reference itself";
  adapter->CloseLibrary();
}

TEST_F(AdapterLibraryTest, OneLibraryIsOpenAtATimeAndClosingReturnsToTheNodeOpenBefore) {
  EXPECT_FALSE(adapter->OpenLibrary(""));
  ASSERT_TRUE(adapter->OpenNodes(Path({1, 5})));
  ASSERT_TRUE(adapter->OpenLibrary("bolts"));
  EXPECT_FALSE(adapter->OpenLibrary("washers"));
  ASSERT_TRUE(adapter->OpenNode(100));
  ASSERT_TRUE(adapter->OpenNode(101));
  adapter->CloseLibrary();
  EXPECT_EQ(adapter->Stack().size(), 2u);
  EXPECT_EQ(adapter->GetCurrentOpenNode(), adapter->GetNode(Path({1, 5})));
  adapter->CloseLibrary();
  EXPECT_EQ(adapter->Stack().size(), 2u) << "closing again changes nothing";
  EXPECT_TRUE(adapter->OpenLibrary("washers"));
  adapter->CloseLibrary();
}

TEST_F(AdapterLibraryTest, DroppingAnOpenLibraryClosesItsNodes) {
  ASSERT_TRUE(adapter->OpenNodes(Path({1, 5})));
  ASSERT_TRUE(adapter->OpenLibrary("bolts"));
  ASSERT_TRUE(adapter->OpenNode(100));
  adapter->DropLibraries();
  EXPECT_EQ(adapter->Stack().size(), 2u);
  EXPECT_EQ(destroyed, 1);
  EXPECT_TRUE(adapter->OpenLibrary("bolts"));
  EXPECT_FALSE(adapter->OpenNode(100)) << "a library of that name starts empty";
  adapter->CloseLibrary();
}

class SetFilterManager : public AFilterManager {
 public:
  bool IsEnabled(int filterId) const override { return !disabled.contains(filterId); }
  void SetEnabled(int filterId, bool enabled) override {
    disabled.erase(filterId);
    if (!enabled) disabled.insert(filterId);
  }
  void Synchronize(const RenderingOptions&) override {}
  std::set<int> disabled;
};

const RenderId kUntouched({42}, 9);

// Scene: root / 5 / 7 (leaf: square around the origin at z = 0) and
// root / 5 / 8 (leaf: smaller square at z = 10, nearer to the rays).
class AdapterPickTest : public testing::Test {
 protected:
  void SetUp() override {
    adapter.SetFilterManager(&filters);
    far = adapter.AddLeaf({5, 7});
    far->AddGeometry(&(new TestItem(1))->Square(0.0f, 0.0f, 0.0f, 10.0f));
    near = adapter.AddLeaf({5, 8});
    near->AddGeometry(&(new TestItem(2))->Square(0.0f, 0.0f, 10.0f, 1.0f));
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
  SetFilterManager filters;
  GeoNode* far = nullptr;
  GeoNode* near = nullptr;
};

TEST_F(AdapterPickTest, NearestHitWithinReachWinsAndItsPathStartsAtTheRoot) {
  EXPECT_EQ(Pick(0.0f, 0.0f), Path({1, 5, 8}));
  EXPECT_EQ(Pick(5.0f, 0.0f), Path({1, 5, 7}));
  EXPECT_EQ(Pick(50.0f, 0.0f), kUntouched) << "a miss leaves the path alone";
  EXPECT_EQ(Pick(0.0f, 0.0f, 95.0), Path({1, 5, 8}));
  EXPECT_EQ(Pick(5.0f, 0.0f, 95.0), kUntouched) << "the ray stops at its reach";
}

TEST_F(AdapterPickTest, HiddenAndFilteredNodesAreNotHit) {
  near->SetAttribute(new AttributeVisibility(false));
  EXPECT_EQ(Pick(0.0f, 0.0f), Path({1, 5, 7}));
  near->SetAttribute(new AttributeVisibility(true));
  near->SetFilterId(3);
  filters.SetEnabled(3, false);
  EXPECT_EQ(Pick(0.0f, 0.0f), Path({1, 5, 7}));
  filters.SetEnabled(3, true);
  EXPECT_EQ(Pick(0.0f, 0.0f), Path({1, 5, 8}));
  near->SetFilterId(-2);
  filters.SetEnabled(-2, false);
  EXPECT_EQ(Pick(0.0f, 0.0f), Path({1, 5, 8})) << "filter ids of zero or less are never filtered";
  adapter.GetNode(Path({1, 5}))->SetAttribute(new AttributeVisibility(false));
  EXPECT_EQ(Pick(0.0f, 0.0f), kUntouched) << "a hidden group hides its subtree";
}

TEST_F(AdapterPickTest, TransformsMoveWhatTheRayHits) {
  double matrix[16];
  AttributeTransform::SetIdentity(matrix);
  matrix[12] = 30.0;
  matrix[0] = 2.0;  // a scale on the way: hits must still compare by distance
  adapter.GetNode(Path({1, 5}))->SetAttribute(new AttributeTransform(matrix));
  EXPECT_EQ(Pick(0.0f, 0.0f), kUntouched);
  EXPECT_EQ(Pick(31.5f, 0.0f), Path({1, 5, 8}));
  EXPECT_EQ(Pick(45.0f, 0.0f), Path({1, 5, 7}));
}

TEST_F(AdapterPickTest, OverlayIsLeftOutAndASharedNodeIsReportedUnderItsFirstPath) {
  Node* overlay = adapter.GetRootNode()->CreateChildNode(AView3DAdapter::OverlayNodeId);
  overlay->CreateChildGeoNode(1)->AddGeometry(&(new TestItem(3))->Square(0.0f, 0.0f, 50.0f, 100.0f));
  EXPECT_EQ(Pick(0.0f, 0.0f), Path({1, 5, 8}));
  adapter.GetRootNode()->CreateChildNode(3)->AddChild(near);
  EXPECT_EQ(Pick(0.0f, 0.0f), Path({1, 3, 8}));
}

// Scene: root / 2 "other" (moved, hidden) and root / 5 "model" (translucent
// red), both holding the leaf 10002 "surfaces" with two items and filter 3.
class SceneStructureTest : public testing::Test {
 protected:
  void SetUp() override {
    Node* model = adapter.GetRootNode()->CreateChildNode(5);
    model->SetName(L"model");
    model->SetAttribute(new AttributeColor(RGBAColor(255, 0, 0, 128)));
    GeoNode* leaf = model->CreateChildGeoNode(10002);
    leaf->SetName(L"surfaces");
    leaf->AddGeometry(new TestItem(1));
    leaf->AddGeometry(new TestItem(2));
    leaf->SetFilterId(3);
    other = adapter.GetRootNode()->CreateChildNode(2);
    other->SetName(L"other");
    double matrix[16];
    AttributeTransform::SetIdentity(matrix);
    matrix[13] = 1.0;
    other->SetAttribute(new AttributeTransform(matrix));
    other->SetAttribute(new AttributeVisibility(false));
    other->AddChild(leaf);
  }
  // The first line of the plain structure.
  std::string FirstLine() {
    std::string text = "stale";
    adapter.GetSceneStructure(text, false);
    return text.substr(0, text.find('\n'));
  }

  TestAdapter adapter;
  Node* other = nullptr;
};

TEST_F(SceneStructureTest, OneLinePerNodeIndentedByDepthWithWhatItCarries) {
  std::string plain = "stale";
  adapter.GetSceneStructure(plain, false);
  EXPECT_EQ(plain,
            "1 \"root\"\n"
            "  2 \"other\"\n"
            "    10002 \"surfaces\"\n"
            "  5 \"model\"\n"
            "    10002 \"surfaces\"\n");
  EXPECT_EQ(adapter.Structure(),
            "1 \"root\" group\n"
            "  2 \"other\" group transform hidden\n"
            "    10002 \"surfaces\" leaf items=2 filter=3 parents=2\n"
            "  5 \"model\" group colour=(255,0,0,128) translucent\n"
            "    10002 \"surfaces\" leaf items=2 filter=3 parents=2\n");
  other->SetAttribute(new AttributeTransform());
  EXPECT_NE(adapter.Structure().find("  2 \"other\" group hidden\n"), std::string::npos)
      << "an identity transform is not listed";
}

TEST_F(SceneStructureTest, NamesAreWrittenAsUtf8WithReplacementsForLoneSurrogates) {
  // U+00E9 takes two bytes, U+20AC three, U+1F600 four (a surrogate pair
  // where wchar_t has 16 bits).
  std::wstring name = L"caf\u00e9 \u20ac ";
  name += L"\U0001F600";
  adapter.GetRootNode()->SetName(name);
  EXPECT_EQ(FirstLine(), "1 \"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80\"");
  name = L"a";
  name += static_cast<wchar_t>(0xD800);
  name += L"b";
  adapter.GetRootNode()->SetName(name);
  EXPECT_EQ(FirstLine(), "1 \"a\xef\xbf\xbd" "b\"");
}

const double kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

TEST(TraversalDeferralTest, WorkRunsOnceAtTheEndLatestFirstOnePerKey) {
  TestAdapter adapter;
  std::string ran;
  const char first = 0, second = 0;
  EXPECT_FALSE(adapter.IsTraversing());
  EXPECT_FALSE(adapter.DeferToTraversalEnd(&first, [&ran] { ran += 'x'; })) << "no traversal runs";

  adapter.BeginClipTracking(kIdentity);
  EXPECT_TRUE(adapter.IsTraversing());
  EXPECT_TRUE(adapter.DeferToTraversalEnd(&first, [&ran] { ran += '1'; }));
  EXPECT_FALSE(adapter.DeferToTraversalEnd(&first, [&ran] { ran += 'x'; })) << "the key is taken";
  EXPECT_TRUE(adapter.DeferToTraversalEnd(&second, [&ran, &adapter, &first] {
    ran += adapter.IsTraversing() ? 'T' : '2';
    EXPECT_FALSE(adapter.DeferToTraversalEnd(&first, [&ran] { ran += 'x'; })) << "the traversal is over";
  }));
  EXPECT_TRUE(adapter.HasDeferred(&first));
  EXPECT_EQ(ran, "");
  adapter.EndClipTracking();
  EXPECT_EQ(ran, "21");
  EXPECT_FALSE(adapter.HasDeferred(&first));
  adapter.EndClipTracking();
  EXPECT_EQ(ran, "21") << "nothing runs twice";

  // A traversal that begins before the last one ended finishes its work
  // first; the key is free again.
  adapter.BeginClipTracking(kIdentity);
  EXPECT_TRUE(adapter.DeferToTraversalEnd(&first, [&ran] { ran += '3'; }));
  adapter.BeginClipTracking(kIdentity);
  EXPECT_EQ(ran, "213");
  EXPECT_TRUE(adapter.DeferToTraversalEnd(&first, [&ran] { ran += '4'; }));
  adapter.EndClipTracking();
  EXPECT_EQ(ran, "2134");
}

}  // namespace
