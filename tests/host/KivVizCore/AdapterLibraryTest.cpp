// Libraries: content outside the scene that references share and outlive.
#include "TestAdapter.h"

namespace {

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

}  // namespace
