// The adapter's scene edits: paths, opening, sharing, deleting, optimising,
// copying and clearing; every refusal leaves scene and open-node stack alone.
// Render paths: comparison, order and printing, with entity ids' printing.
// Libraries: content outside the scene that references share and outlive.
// The scene as text: one line per node, details, UTF-8 names.
#include "KivVizCore/EntityId.h"
#include "TestAdapter.h"

namespace {

// Scene: root / 5 / 7 (leaf with one counting item), root / 6 (empty group),
// root / 1 (a child with the root's id) / 2 (leaf). A library "bolts" with one
// group 100 holding a leaf 101 with a counting item.
class AdapterEditTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(adapter.OpenLibrary("bolts"));
    ASSERT_TRUE(adapter.CreateNode(100, L"bolt"));
    ASSERT_TRUE(adapter.CreateGeoNode(101, L"shape"));
    adapter.AddGeometry(new TestItem(101, &destroyed));
    adapter.CloseLibrary();
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
  int destroyed = 0;  // items of the scene and the library
};

TEST_F(AdapterEditTest, PathsResolveAsOpeningFromAnEmptyStackAndOpenFromTheOpenNode) {
  GeoNode* five = adapter.GetRootNode()->GetChild(5);
  EXPECT_EQ(adapter.GetNode(Path({1})), adapter.GetRootNode());
  EXPECT_EQ(adapter.GetNode(Path({1, 5})), five);
  EXPECT_EQ(adapter.GetNode(Path({5})), five);
  EXPECT_EQ(adapter.GetNode(RenderId({1, 5, 7}, 0)), leaf) << "the origin does not matter";
  EXPECT_EQ(adapter.GetNode(Path({1, 1})), childOne) << "a first id 1 is the root, never its child 1";
  for (const auto& broken : std::vector<std::vector<std::uint64_t>>{{}, {1, 5, 8}, {1, 5, 7, 1}, {2}}) {
    EXPECT_EQ(adapter.GetNode(Path(broken)), nullptr) << Path(broken);
  }
  // Opening follows every id from the open node, or changes nothing.
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

// A row with a library adds a reference to it, else to the target path;
// the library's refusals are those of AddLibraryReference.
TEST_F(AdapterEditTest, AddReferenceSharesAnExistingNodeOrRefusesAndChangesNothing) {
  const struct {
    const char* name;
    std::vector<std::uint64_t> open, target;
    const char* library = nullptr;
    std::uint64_t libraryNode = 0, id = 1;
  } refused[] = {{"NothingOpen", {}, {1, 5, 7}},
                 {"MissingTarget", {1, 6}, {1, 5, 8}},
                 {"LeafOpen", {1, 5, 7}, {1, 6}},
                 {"IdTakenAlready", {1, 5}, {1, 5, 7}},
                 {"ItselfBelowItself", {1, 6}, {1, 6}},
                 {"AncestorBelowDescendant", {1, 5}, {1}},
                 {"LibraryNothingOpen", {}, {}, "bolts", 100},
                 {"UnknownLibrary", {1, 5}, {}, "nuts", 100},
                 {"UnknownLibraryNode", {1, 5}, {}, "bolts", 7},
                 {"LibraryIdTaken", {1}, {}, "bolts", 100, 5},
                 {"LibraryLeafOpen", {1, 5, 7}, {}, "bolts", 100}};
  const std::string before = adapter.Structure();
  for (const auto& c : refused) {
    ASSERT_TRUE(adapter.Reopen(c.open)) << c.name;
    const auto stack = adapter.Stack();
    EXPECT_FALSE(c.library ? adapter.AddLibraryReference(c.id, c.library, c.libraryNode)
                           : adapter.AddReference(Path(c.target)))
        << c.name;
    EXPECT_EQ(adapter.Structure(), before) << c.name;
    EXPECT_EQ(adapter.Stack(), stack) << c.name;
  }
  // The root is outside a library's subtree yet must be refused there too,
  // and a library's content cannot reference itself.
  adapter.CloseAllNodes();
  ASSERT_TRUE(adapter.OpenLibrary("bolts"));
  EXPECT_FALSE(adapter.AddReference(Path({1})));
  ASSERT_TRUE(adapter.OpenNode(100)) << "a reopened library keeps its content";
  EXPECT_FALSE(adapter.AddLibraryReference(1, "bolts", 100));
  adapter.CloseLibrary();
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
    EXPECT_EQ((c.a <=> c.b) == 0, c.equal) << c.name << ": ordering agrees with equality";
  }
}

// Entity levels and ids are converted and compared in AView3DTest.
TEST(RenderIdTest, AppendExtendsThePathAndPathsAndEntitiesPrintTheirIds) {
  RenderId path({1, 10000}, RenderId::SceneOrigin);
  path.Append(42);
  EXPECT_EQ(path, RenderId({1, 10000, 42}, 1));
  // Id 0 is a valid id: the level, not the value, tells where the entity ends.
  EXPECT_NE(EntityId(3), EntityId(3, 0));
  std::ostringstream out;
  out << path << ' ' << RenderId() << ' ' << EntityId(3, 0) << ' ' << EntityId();
  EXPECT_EQ(out.str(), "1:[1/10000/42] 0:[] entity(3/0) entity()");
}

TEST_F(AdapterEditTest, LibraryReferencesShareContentWhichIsNotInTheScene) {
  EXPECT_EQ(adapter.GetRootNode()->Children().size(), 4u) << "groups 1, 5, 6 and the overlays' node, no library";
  ASSERT_TRUE(adapter.OpenNodes(Path({1, 5})));
  ASSERT_TRUE(adapter.AddLibraryReference(1, "bolts", 100));
  ASSERT_TRUE(adapter.AddLibraryReference(2, "bolts", 100));
  EXPECT_EQ(adapter.Stack().size(), 2u);
  GeoNode* first = adapter.GetNode(Path({1, 5, 1, 100, 101}));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, adapter.GetNode(Path({1, 5, 2, 100, 101})));
  EXPECT_EQ(adapter.GetNode(Path({1, 5, 1, 100}))->Parents().size(), 3u) << "the library and both references";
  ASSERT_TRUE(adapter.OpenNode(1));
  EXPECT_EQ(adapter.GetCurrentOpenNode(), adapter.GetNode(Path({1, 5, 1}))) << "references open like any node";

  // The content outlives its library; the last reference deletes it.
  adapter.CloseAllNodes();
  adapter.DropLibraries();
  ASSERT_TRUE(adapter.DeleteNode(Path({1, 5, 1})));
  EXPECT_EQ(destroyed, 0);
  EXPECT_EQ(adapter.GetNode(Path({1, 5, 2, 100}))->Parents().size(), 1u);
  ASSERT_TRUE(adapter.DeleteNode(Path({1, 5, 2})));
  EXPECT_EQ(destroyed, 1);
}

TEST_F(AdapterEditTest, OneLibraryIsOpenAtATimeAndClosingOrDroppingReturnsToTheNodeOpenBefore) {
  EXPECT_FALSE(adapter.OpenLibrary(""));
  ASSERT_TRUE(adapter.OpenNodes(Path({1, 5})));
  ASSERT_TRUE(adapter.OpenLibrary("bolts"));
  EXPECT_FALSE(adapter.OpenLibrary("washers"));
  ASSERT_TRUE(adapter.OpenNode(100));
  ASSERT_TRUE(adapter.OpenNode(101));
  adapter.CloseLibrary();
  EXPECT_EQ(adapter.Stack().size(), 2u);
  EXPECT_EQ(adapter.GetCurrentOpenNode(), adapter.GetNode(Path({1, 5})));
  adapter.CloseLibrary();
  EXPECT_EQ(adapter.Stack().size(), 2u) << "closing again changes nothing";
  EXPECT_TRUE(adapter.OpenLibrary("washers"));
  adapter.CloseLibrary();
  // Dropping an open library closes its nodes.
  ASSERT_TRUE(adapter.OpenLibrary("bolts"));
  ASSERT_TRUE(adapter.OpenNode(100));
  adapter.DropLibraries();
  EXPECT_EQ(adapter.Stack().size(), 2u);
  EXPECT_EQ(destroyed, 1);
  EXPECT_TRUE(adapter.OpenLibrary("bolts"));
  EXPECT_FALSE(adapter.OpenNode(100)) << "a library of that name starts empty";
}

// Node 6 moved, hidden and holding the leaf 7 too, with a second item and
// filter 3; group 5 translucent red. Names in UTF-8: U+00E9 takes two bytes,
// U+20AC three, U+1F600 four (a surrogate pair where wchar_t has 16 bits), and
// a lone surrogate becomes U+FFFD.
TEST_F(AdapterEditTest, StructureHasOneLinePerNodeIndentedByDepthWithWhatItCarries) {
  six->SetName(L"caf\u00e9 \u20ac \U0001F600");
  childOne->SetName({L'a', static_cast<wchar_t>(0xD800), L'b'});
  auto* five = static_cast<Node*>(adapter.GetNode(Path({1, 5})));
  five->SetName(L"model");
  five->SetAttribute(new AttributeColor(RGBAColor(255, 0, 0, 128)));
  leaf->SetName(L"surfaces");
  leaf->AddGeometry(new TestItem(8));
  leaf->SetFilterId(3);
  double matrix[16];
  AttributeTransform::SetIdentity(matrix);
  matrix[13] = 1.0;
  six->SetAttribute(new AttributeTransform(matrix));
  six->SetAttribute(new AttributeVisibility(false));
  six->AddChild(leaf);
  // Each node's line in the plain listing, and what the detailed one adds.
  const std::pair<const char*, const char*> lines[] = {
      {"1 \"root\"", " group"},
      {"  1 \"a\357\277\275b\"", " group"},
      {"    2 \"\"", " leaf items=0"},
      {"  5 \"model\"", " group colour=(255,0,0,128) translucent"},
      {"    7 \"surfaces\"", " leaf items=2 filter=3 parents=2"},
      {"  6 \"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80\"", " group transform hidden"},
      {"    7 \"surfaces\"", " leaf items=2 filter=3 parents=2"},
      {"  60000 \"ViewObjects\"", " group"}};
  std::string plain = "stale", expected, detailed;
  for (const auto& [line, details] : lines) {
    expected += std::string(line) + "\n";
    detailed += std::string(line) + details + "\n";
  }
  adapter.GetSceneStructure(plain, false);
  EXPECT_EQ(plain, expected);
  EXPECT_EQ(adapter.Structure(), detailed);
  six->SetAttribute(new AttributeTransform());
  EXPECT_NE(adapter.Structure().find("group hidden\n"), std::string::npos) << "an identity transform is not listed";
}

}  // namespace
