// The adapter's scene edits: paths, opening, sharing, deleting, optimising,
// copying and clearing; every refusal leaves scene and open-node stack alone.
// Entity ids and render paths: levels, comparison, order and printing.
// Libraries: content outside the scene that references share and outlive.
// The scene as text: one line per node, details, UTF-8 names.
#include "KivVizCore/EntityId.h"
#include "TestAdapter.h"

namespace {

// Scene: root / 5 / 7 (leaf with one counting item), root / 6 (empty group),
// root / 1 (a child with the root's id) / 2 (leaf).
class AdapterEditTest : public testing::Test {
 protected:
  void SetUp() override {
    leaf = adapter.GetRootNode()->CreateChildNode(5)->CreateChildGeoNode(7);
    leaf->AddGeometry(new TestItem(7, &destroyed));
    six = adapter.GetRootNode()->CreateChildNode(6);
    childOne = adapter.GetRootNode()->CreateChildNode(1);
    childOne->CreateChildGeoNode(2);
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
  for (const auto& broken : std::vector<std::vector<std::uint64_t>>{{}, {1, 5, 8}, {1, 5, 7, 1}, {2}}) {
    EXPECT_EQ(adapter.GetNode(Path(broken)), nullptr) << Path(broken);
  }
}

TEST_F(AdapterEditTest, OpenNodesOpensEveryIdFromTheOpenNodeOrChangesNothing) {
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
  } refused[] = {{"NothingOpen", {}, {1, 5, 7}},        {"MissingTarget", {1, 6}, {1, 5, 8}},
                 {"LeafOpen", {1, 5, 7}, {1, 6}},       {"IdTakenAlready", {1, 5}, {1, 5, 7}},
                 {"ItselfBelowItself", {1, 6}, {1, 6}}, {"AncestorBelowDescendant", {1, 5}, {1}}};
  // The root is outside a library's subtree yet must be refused there too.
  ASSERT_TRUE(adapter.OpenLibrary("lib"));
  EXPECT_FALSE(adapter.AddReference(Path({1})));
  adapter.CloseLibrary();
  const std::string before = adapter.Structure();
  for (const auto& c : refused) {
    ASSERT_TRUE(adapter.Reopen(c.open)) << c.name;
    EXPECT_FALSE(adapter.AddReference(Path(c.target))) << c.name;
    EXPECT_EQ(adapter.Structure(), before) << c.name;
  }
  ASSERT_TRUE(adapter.Reopen({1, 6}));
  ASSERT_TRUE(adapter.AddReference(Path({1, 5, 7})));
  EXPECT_EQ(six->GetChild(7), leaf);
  EXPECT_EQ(leaf->Parents().size(), 2u);
  EXPECT_EQ(adapter.Stack().size(), 2u) << "the stack is left as it was";
}

// Refused: the root, missing nodes, and the open node and its group.
TEST_F(AdapterEditTest, DeleteNodeDeletesUnsharedNodesReleasesSharedOnesAndRefusesTheRest) {
  ASSERT_TRUE(adapter.OpenNodes(Path({1, 5, 7})));
  for (const RenderId& refused : {Path({1}), Path({1, 8}), RenderId(), Path({1, 5, 7}), Path({1, 5})}) {
    EXPECT_FALSE(adapter.DeleteNode(refused)) << refused;
  }
  EXPECT_TRUE(adapter.DeleteNode(Path({1, 6}))) << "beside the open node";
  adapter.CloseAllNodes();
  childOne->AddChild(leaf);
  EXPECT_TRUE(adapter.DeleteNode(Path({1, 1, 7})));
  EXPECT_EQ(destroyed, 0);
  EXPECT_EQ(childOne->GetChild(7), nullptr);
  EXPECT_EQ(leaf->Parents().size(), 1u);
  EXPECT_TRUE(adapter.DeleteNode(Path({1, 5})));
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(adapter.GetNode(Path({1, 5})), nullptr);
  // By id: a child of the open node, or of the root with nothing open.
  ASSERT_TRUE(adapter.OpenNodes(Path({1, 1})));
  EXPECT_FALSE(adapter.DeleteNode(std::uint64_t{1}));
  EXPECT_TRUE(adapter.DeleteNode(std::uint64_t{2}));
  EXPECT_EQ(adapter.GetNode(Path({1, 1, 2})), nullptr);
  adapter.CloseAllNodes();
  EXPECT_TRUE(adapter.DeleteNode(std::uint64_t{1}));
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
  const auto* colour = dynamic_cast<const AttributeColor*>(leaf->GetAttribute(Attribute::ColorType));
  ASSERT_NE(colour, nullptr);
  EXPECT_EQ(colour->GetColor(), RGBAColor(1, 2, 3, 50));
  EXPECT_TRUE(colour->IsOpaque());
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

// The overlays point into their subtree: the host's edits leave it alone.
TEST_F(AdapterEditTest, EditsLeaveTheOverlaysSubtreeAlone) {
  constexpr std::uint64_t kOverlays = AView3DAdapter::OverlayNodeId;
  auto* overlays = static_cast<Node*>(adapter.GetRootNode()->GetChild(kOverlays));
  overlays->CreateChildGeoNode(2)->AddGeometry(new TestItem(2, &destroyed));
  const std::string before = adapter.Structure();
  EXPECT_FALSE(adapter.DeleteNode(Path({1, kOverlays})));
  EXPECT_FALSE(adapter.DeleteNode(Path({kOverlays, 2})));
  EXPECT_FALSE(adapter.DeleteNode(kOverlays));
  ASSERT_TRUE(adapter.OpenNode(kOverlays));
  EXPECT_FALSE(adapter.DeleteNode(2));
  ASSERT_TRUE(adapter.Reopen({}));
  adapter.Clear(Path({1, kOverlays, 2}));
  ASSERT_TRUE(adapter.Reopen({1, 6}));
  EXPECT_FALSE(adapter.AddReference(Path({1, kOverlays, 2})));
  adapter.CloseAllNodes();
  EXPECT_EQ(adapter.Structure(), before);
  adapter.Clear(Path({1}));
  EXPECT_EQ(adapter.GetRootNode()->Children().size(), 1u) << "clearing the root keeps the overlays' node";
  EXPECT_EQ(adapter.GetRootNode()->GetChild(kOverlays), overlays);
  EXPECT_EQ(destroyed, 1) << "only the scene's own leaf went";
}

TEST(EntityIdTest, LevelFollowsTheIdsGivenAndPrintsDownToIt) {
  EXPECT_FALSE(EntityId().IsValid());
  EXPECT_EQ(EntityId(3).GetLevel(), EntityId::Level::Model);
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

// A library "bolts" with one group 100 holding a leaf 101 with a counting
// item, and a scene root / 5 (group, holding the leaf 9) where references go.
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
    adapter->GetRootNode()->CreateChildNode(5)->CreateChildGeoNode(9);
  }

  std::unique_ptr<TestAdapter> adapter;
  int destroyed = 0;
};

TEST_F(AdapterLibraryTest, ReferencesShareTheLibraryContentWhichIsNotInTheScene) {
  EXPECT_EQ(adapter->GetRootNode()->Children().size(), 2u) << "group 5 and the overlays' node, no library";
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
  const struct {
    const char* name;
    std::vector<std::uint64_t> open;
    std::uint64_t id;
    const char* library;
    std::uint64_t libraryNodeId;
  } cases[] = {{"NothingOpen", {}, 1, "bolts", 100},
               {"UnknownLibrary", {1, 5}, 1, "nuts", 100},
               {"UnknownLibraryNode", {1, 5}, 1, "bolts", 7},
               {"IdTaken", {1}, 5, "bolts", 100},
               {"LeafOpen", {1, 5, 9}, 1, "bolts", 100}};
  const std::string before = adapter->Structure();
  for (const auto& c : cases) {
    ASSERT_TRUE(adapter->Reopen(c.open)) << c.name;
    EXPECT_FALSE(adapter->AddLibraryReference(c.id, c.library, c.libraryNodeId)) << c.name;
    EXPECT_EQ(adapter->Structure(), before) << c.name;
  }
  adapter->CloseAllNodes();
  ASSERT_TRUE(adapter->OpenLibrary("bolts"));
  ASSERT_TRUE(adapter->OpenNode(100)) << "a reopened library keeps its content";
  EXPECT_FALSE(adapter->AddLibraryReference(1, "bolts", 100)) << "content cannot reference itself";
  adapter->CloseLibrary();
}

TEST_F(AdapterLibraryTest, OneLibraryIsOpenAtATimeAndClosingOrDroppingReturnsToTheNodeOpenBefore) {
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
  // Dropping an open library closes its nodes.
  ASSERT_TRUE(adapter->OpenLibrary("bolts"));
  ASSERT_TRUE(adapter->OpenNode(100));
  adapter->DropLibraries();
  EXPECT_EQ(adapter->Stack().size(), 2u);
  EXPECT_EQ(destroyed, 1);
  EXPECT_TRUE(adapter->OpenLibrary("bolts"));
  EXPECT_FALSE(adapter->OpenNode(100)) << "a library of that name starts empty";
  adapter->CloseLibrary();
}

// Scene: root / 2 "other" (moved, hidden) and root / 5 "model" (translucent
// red), both holding the leaf 10002 "surfaces" with two items and filter 3,
// and the view's empty overlays' node 60000.
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
            "    10002 \"surfaces\"\n"
            "  60000 \"ViewObjects\"\n");
  EXPECT_EQ(adapter.Structure(),
            "1 \"root\" group\n"
            "  2 \"other\" group transform hidden\n"
            "    10002 \"surfaces\" leaf items=2 filter=3 parents=2\n"
            "  5 \"model\" group colour=(255,0,0,128) translucent\n"
            "    10002 \"surfaces\" leaf items=2 filter=3 parents=2\n"
            "  60000 \"ViewObjects\" group\n");
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
  EXPECT_EQ(FirstLine(),
            "1 \"a\xef\xbf\xbd"
            "b\"");
}

}  // namespace
