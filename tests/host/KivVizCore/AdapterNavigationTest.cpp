#include <gtest/gtest.h>

#include <vector>

#include "KivVizCore/Node.h"
#include "KivVizCore/RenderId.h"
#include "TestAdapter.h"

namespace {

// Scene: root(1) / 5 / 7 / 9 (leaf), and root / 1 (a child with the root's
// id) / 2 (leaf).
class AdapterNavigationTest : public testing::Test {
 protected:
  void SetUp() override {
    leaf = adapter.AddLeaf({5, 7, 9});
    childOne = adapter.GetRootNode()->CreateChildNode(1);
    childOne->CreateChildGeoNode(2);
  }

  GeoNode* Resolve(std::vector<std::uint64_t> ids) { return adapter.GetNode(RenderId(ids, 1)); }

  TestAdapter adapter;
  GeoNode* leaf = nullptr;
  Node* childOne = nullptr;
};

TEST_F(AdapterNavigationTest, PathsResolveAsOpeningFromAnEmptyStack) {
  Node* root = adapter.GetRootNode();
  GeoNode* five = root->GetChild(5);
  EXPECT_EQ(Resolve({1}), root);
  EXPECT_EQ(Resolve({1, 5}), five);
  EXPECT_EQ(Resolve({5}), five);
  EXPECT_EQ(Resolve({1, 5, 7, 9}), leaf);
  EXPECT_EQ(Resolve({5, 7, 9}), leaf);
  // A first id 1 is the root, never the root's child 1.
  EXPECT_EQ(Resolve({1, 1}), childOne);
  EXPECT_EQ(Resolve({1, 1, 2}), childOne->GetChild(2));
}

TEST_F(AdapterNavigationTest, BrokenPathsResolveToNull) {
  EXPECT_EQ(adapter.GetNode(RenderId()), nullptr);
  EXPECT_EQ(Resolve({1, 6}), nullptr);
  EXPECT_EQ(Resolve({1, 5, 8}), nullptr);
  EXPECT_EQ(Resolve({1, 5, 7, 9, 1}), nullptr);
  EXPECT_EQ(Resolve({2}), nullptr);
}

TEST_F(AdapterNavigationTest, OriginDoesNotChangeWhatAPathNames) {
  EXPECT_EQ(adapter.GetNode(RenderId({1, 5, 7, 9}, 0)), leaf);
}

TEST_F(AdapterNavigationTest, CurrentOpenNodeIsTheBackOfTheStack) {
  EXPECT_EQ(adapter.GetCurrentOpenNode(), nullptr);
  ASSERT_TRUE(adapter.OpenNode(1));
  ASSERT_TRUE(adapter.OpenNode(5));
  EXPECT_EQ(adapter.GetCurrentOpenNode(), adapter.GetRootNode()->GetChild(5));
  adapter.CloseNode();
  EXPECT_EQ(adapter.GetCurrentOpenNode(), adapter.GetRootNode());
}

TEST_F(AdapterNavigationTest, OpenNodesOpensEveryIdOfThePath) {
  ASSERT_TRUE(adapter.OpenNodes(RenderId({1, 5, 7, 9}, 1)));
  ASSERT_EQ(adapter.Stack().size(), 4u);
  EXPECT_EQ(adapter.Stack().front(), adapter.GetRootNode());
  EXPECT_EQ(adapter.GetCurrentOpenNode(), leaf);
}

TEST_F(AdapterNavigationTest, OpenNodesContinuesFromTheOpenNode) {
  ASSERT_TRUE(adapter.OpenNode(5));
  ASSERT_TRUE(adapter.OpenNodes(RenderId({7, 9}, 1)));
  EXPECT_EQ(adapter.Stack().size(), 3u);
  EXPECT_EQ(adapter.GetCurrentOpenNode(), leaf);
}

struct FailingPathCase {
  const char* name;
  std::vector<std::uint64_t> ids;

  // Names the case in test listings instead of dumping its bytes.
  friend void PrintTo(const FailingPathCase& value, std::ostream* out) { *out << value.name; }
};

class AdapterOpenNodesFailureTest : public AdapterNavigationTest,
                                    public testing::WithParamInterface<FailingPathCase> {};

TEST_P(AdapterOpenNodesFailureTest, FailureLeavesTheStackAsItWas) {
  ASSERT_TRUE(adapter.OpenNode(1));
  const auto before = adapter.Stack();
  EXPECT_FALSE(adapter.OpenNodes(RenderId(GetParam().ids, 1)));
  EXPECT_EQ(adapter.Stack(), before);
}

INSTANTIATE_TEST_SUITE_P(Paths, AdapterOpenNodesFailureTest,
                         testing::Values(FailingPathCase{"Empty", {}}, FailingPathCase{"MissingFirst", {6}},
                                         FailingPathCase{"MissingThird", {5, 7, 8}},
                                         FailingPathCase{"BelowALeaf", {5, 7, 9, 1}}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
