#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "KivVizCore/Node.h"
#include "KivVizCore/RenderId.h"
#include "TestAdapter.h"
#include "TestItem.h"

namespace {

RenderId Path(std::vector<std::uint64_t> ids) { return RenderId(ids, 1); }

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

TEST_F(AdapterLibraryTest, LibraryContentIsNotPartOfTheScene) {
  EXPECT_EQ(adapter->GetRootNode()->Children().size(), 1u);
  EXPECT_EQ(adapter->GetNode(Path({100})), nullptr);
}

TEST_F(AdapterLibraryTest, ReferencesShareTheLibraryContent) {
  ASSERT_TRUE(adapter->OpenNodes(Path({1, 5})));
  ASSERT_TRUE(adapter->AddLibraryReference(1, "bolts", 100));
  ASSERT_TRUE(adapter->AddLibraryReference(2, "bolts", 100));
  EXPECT_EQ(adapter->Stack().size(), 2u);

  GeoNode* first = adapter->GetNode(Path({1, 5, 1, 100, 101}));
  GeoNode* second = adapter->GetNode(Path({1, 5, 2, 100, 101}));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, second);
  // The library and both reference nodes hold the content.
  EXPECT_EQ(adapter->GetNode(Path({1, 5, 1, 100}))->Parents().size(), 3u);
}

TEST_F(AdapterLibraryTest, ReferenceNodesCanBeOpenedLikeAnyOther) {
  ASSERT_TRUE(adapter->OpenNodes(Path({1, 5})));
  ASSERT_TRUE(adapter->AddLibraryReference(1, "bolts", 100));
  ASSERT_TRUE(adapter->OpenNode(1));
  EXPECT_EQ(adapter->GetCurrentOpenNode(), adapter->GetNode(Path({1, 5, 1})));
}

struct ReferenceFailureCase {
  const char* name;
  std::vector<std::uint64_t> open;
  std::uint64_t id;
  const char* library;
  std::uint64_t libraryNodeId;

  // Names the case in test listings instead of dumping its bytes.
  friend void PrintTo(const ReferenceFailureCase& value, std::ostream* out) { *out << value.name; }
};

class AdapterLibraryReferenceFailureTest : public AdapterLibraryTest,
                                           public testing::WithParamInterface<ReferenceFailureCase> {};

TEST_P(AdapterLibraryReferenceFailureTest, RefusesAndAddsNothing) {
  const auto& param = GetParam();
  if (!param.open.empty()) {
    ASSERT_TRUE(adapter->OpenNodes(Path(param.open)));
  }
  std::string before;
  adapter->GetSceneStructure(before, true);
  EXPECT_FALSE(adapter->AddLibraryReference(param.id, param.library, param.libraryNodeId));
  std::string after;
  adapter->GetSceneStructure(after, true);
  EXPECT_EQ(after, before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AdapterLibraryReferenceFailureTest,
    testing::Values(ReferenceFailureCase{"NothingOpen", {}, 1, "bolts", 100},
                    ReferenceFailureCase{"UnknownLibrary", {1, 5}, 1, "nuts", 100},
                    ReferenceFailureCase{"UnknownLibraryNode", {1, 5}, 1, "bolts", 7},
                    ReferenceFailureCase{"IdTaken", {1}, 5, "bolts", 100}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AdapterLibraryTest, OpenNodeInsideALeafRefuses) {
  adapter->AddLeaf({5, 9});
  ASSERT_TRUE(adapter->OpenNodes(Path({1, 5, 9})));
  EXPECT_FALSE(adapter->AddLibraryReference(1, "bolts", 100));
}

TEST_F(AdapterLibraryTest, ContentCannotReferenceItself) {
  ASSERT_TRUE(adapter->OpenLibrary("bolts"));
  ASSERT_TRUE(adapter->OpenNode(100));
  EXPECT_FALSE(adapter->AddLibraryReference(1, "bolts", 100));
  adapter->CloseLibrary();
}

TEST_F(AdapterLibraryTest, OnlyOneLibraryIsOpenAtATime) {
  EXPECT_FALSE(adapter->OpenLibrary(""));
  ASSERT_TRUE(adapter->OpenLibrary("nuts"));
  EXPECT_FALSE(adapter->OpenLibrary("washers"));
  adapter->CloseLibrary();
  EXPECT_TRUE(adapter->OpenLibrary("washers"));
  adapter->CloseLibrary();
}

TEST_F(AdapterLibraryTest, CloseLibraryReturnsToTheNodeOpenBefore) {
  ASSERT_TRUE(adapter->OpenNodes(Path({1, 5})));
  ASSERT_TRUE(adapter->OpenLibrary("bolts"));
  ASSERT_TRUE(adapter->OpenNode(100));
  ASSERT_TRUE(adapter->OpenNode(101));
  adapter->CloseLibrary();
  EXPECT_EQ(adapter->Stack().size(), 2u);
  EXPECT_EQ(adapter->GetCurrentOpenNode(), adapter->GetNode(Path({1, 5})));
  // Closing again changes nothing.
  adapter->CloseLibrary();
  EXPECT_EQ(adapter->Stack().size(), 2u);
}

TEST_F(AdapterLibraryTest, ReopenedLibraryKeepsItsContent) {
  ASSERT_TRUE(adapter->OpenLibrary("bolts"));
  EXPECT_TRUE(adapter->OpenNode(100));
  adapter->CloseLibrary();
}

TEST_F(AdapterLibraryTest, ReferencedContentOutlivesItsLibrary) {
  ASSERT_TRUE(adapter->OpenNodes(Path({1, 5})));
  ASSERT_TRUE(adapter->AddLibraryReference(1, "bolts", 100));
  adapter->CloseAllNodes();
  adapter->DropLibraries();
  EXPECT_EQ(destroyed, 0);
  EXPECT_NE(adapter->GetNode(Path({1, 5, 1, 100, 101})), nullptr);
  ASSERT_TRUE(adapter->DeleteNode(Path({1, 5, 1})));
  EXPECT_EQ(destroyed, 1);
}

TEST_F(AdapterLibraryTest, DroppingAnOpenLibraryClosesItsNodes) {
  ASSERT_TRUE(adapter->OpenNodes(Path({1, 5})));
  ASSERT_TRUE(adapter->OpenLibrary("bolts"));
  ASSERT_TRUE(adapter->OpenNode(100));
  adapter->DropLibraries();
  EXPECT_EQ(adapter->Stack().size(), 2u);
  EXPECT_EQ(destroyed, 1);
  EXPECT_TRUE(adapter->OpenLibrary("bolts"));
  EXPECT_FALSE(adapter->OpenNode(100));
  adapter->CloseLibrary();
}

TEST_F(AdapterLibraryTest, SceneAndLibrariesReleaseSharedContentOnce) {
  ASSERT_TRUE(adapter->OpenNodes(Path({1, 5})));
  ASSERT_TRUE(adapter->AddLibraryReference(1, "bolts", 100));
  ASSERT_TRUE(adapter->AddLibraryReference(2, "bolts", 100));
  adapter->CloseAllNodes();
  adapter.reset();
  EXPECT_EQ(destroyed, 1);
}

}  // namespace
