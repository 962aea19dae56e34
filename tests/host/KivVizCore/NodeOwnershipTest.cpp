// Who deletes a node, exactly once: the items count their destructions and
// the sanitizer build catches leaks and double deletes.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "TestAdapter.h"

namespace {

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
  // Three groups; the first holds the leaf 9, which tests share with the others.
  Node first{1};
  Node second{2};
  Node third{3};
  GeoNode* shared = Leaf(first, 9);
};

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
  second.AddChild(shared);
  third.AddChild(shared);
  EXPECT_TRUE(shared->RemoveFromParents(&third));
  EXPECT_EQ(ParentsOf(*shared), (std::vector<Node*>{&first, &second}));
  EXPECT_TRUE(shared->RemoveFromParents(&first));
  EXPECT_FALSE(first.DeleteChildById(9)) << "no longer a child";
  EXPECT_EQ(ParentsOf(*shared), (std::vector<Node*>{&second}));
  EXPECT_FALSE(shared->RemoveFromParents(&first));
  EXPECT_FALSE(shared->RemoveFromParents(nullptr));
  EXPECT_TRUE(shared->RemoveFromParents(&second));
  EXPECT_TRUE(shared->Parents().empty());
  EXPECT_EQ(destroyed, 0);
  delete shared;
  EXPECT_EQ(destroyed, 1);
}

// Teardown must not recurse: a chain this deep overflows the stack otherwise.
TEST_F(NodeOwnershipTest, DeletingAVeryDeepChainDeletesEveryNode) {
  std::unique_ptr<Node> root(Node::CreateRoot());
  Node* group = root.get();
  for (std::uint64_t id = 2; id < 400000; ++id) group = group->CreateChildNode(id);
  Leaf(*group, 7);
  root.reset();
  EXPECT_EQ(destroyed, 1);
}

}  // namespace
