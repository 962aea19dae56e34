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
  GeoNode* five = adapter.GetRootNode()->GetChild(5);
  EXPECT_EQ(Resolve({1}), adapter.GetRootNode());
  EXPECT_EQ(Resolve({1, 5}), five);
  EXPECT_EQ(Resolve({5}), five);
  EXPECT_EQ(Resolve({5, 7, 9}), leaf);
  EXPECT_EQ(adapter.GetNode(RenderId({1, 5, 7, 9}, 0)), leaf) << "the origin does not matter";
  EXPECT_EQ(Resolve({1, 1}), childOne) << "a first id 1 is the root, never its child 1";
  EXPECT_EQ(Resolve({1, 1, 2}), childOne->GetChild(2));
  for (const auto& broken : std::vector<std::vector<std::uint64_t>>{{}, {1, 6}, {1, 5, 8}, {1, 5, 7, 9, 1}, {2}}) {
    EXPECT_EQ(Resolve(broken), nullptr) << RenderId(broken, 1);
  }
}

TEST_F(AdapterNavigationTest, OpenNodesOpensEveryIdFromTheOpenNode) {
  EXPECT_EQ(adapter.GetCurrentOpenNode(), nullptr);
  ASSERT_TRUE(adapter.OpenNodes(RenderId({1, 5, 7, 9}, 1)));
  ASSERT_EQ(adapter.Stack().size(), 4u);
  EXPECT_EQ(adapter.Stack().front(), adapter.GetRootNode());
  EXPECT_EQ(adapter.GetCurrentOpenNode(), leaf);
  adapter.CloseAllNodes();
  ASSERT_TRUE(adapter.OpenNode(5));
  ASSERT_TRUE(adapter.OpenNodes(RenderId({7, 9}, 1)));
  EXPECT_EQ(adapter.Stack().size(), 3u);
  EXPECT_EQ(adapter.GetCurrentOpenNode(), leaf);
}

TEST_F(AdapterNavigationTest, OpenNodesFailureLeavesTheStackAsItWas) {
  ASSERT_TRUE(adapter.OpenNode(1));
  const auto before = adapter.Stack();
  for (const auto& ids : std::vector<std::vector<std::uint64_t>>{{}, {6}, {5, 7, 8}, {5, 7, 9, 1}}) {
    EXPECT_FALSE(adapter.OpenNodes(RenderId(ids, 1))) << RenderId(ids, 1);
    EXPECT_EQ(adapter.Stack(), before);
  }
}

}  // namespace
