// The adapter: scene edits (every refusal leaves scene and open-node stack
// alone), libraries that references share and outlive, picking with a ray, the
// scene as text, and work deferred to the end of a traversal.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "KivVizCore/AFilterManager.h"
#include "KivVizCore/AttributeColor.h"
#include "KivVizCore/AttributeTransform.h"
#include "KivVizCore/AttributeVisibility.h"
#include "KivVizCore/Ray.h"
#include "TestAdapter.h"

namespace {

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
  const char first = 0;
  const char second = 0;
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
