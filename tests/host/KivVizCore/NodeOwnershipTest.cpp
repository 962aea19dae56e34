// Who deletes a node, and that it is deleted exactly once: the geometry items
// count their destructions, and the sanitizer build catches leaks and double
// deletes.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "KivVizCore/AView3DAdapter.h"
#include "KivVizCore/Node.h"
#include "TestItem.h"

namespace {

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

TEST_F(NodeOwnershipTest, DeleteChildByIdDeletesAnUnsharedChild) {
  Node group(1);
  Leaf(group, 2);
  EXPECT_TRUE(group.DeleteChildById(2));
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(group.GetChild(2), nullptr);
  EXPECT_FALSE(group.DeleteChildById(2));
}

TEST_F(NodeOwnershipTest, SharedChildLivesUntilItsLastParentReleasesIt) {
  Node first(1);
  Node second(2);
  GeoNode* shared = Leaf(first, 9);
  ASSERT_TRUE(second.AddChild(shared));
  EXPECT_EQ(shared->Parents(), (std::vector<Node*>{&first, &second}));

  ASSERT_TRUE(first.DeleteChildById(9));
  EXPECT_EQ(destroyed, 0);
  EXPECT_EQ(shared->Parents(), (std::vector<Node*>{&second}));
  EXPECT_EQ(second.GetChild(9), shared);

  ASSERT_TRUE(second.DeleteChildById(9));
  EXPECT_EQ(destroyed, 1);
}

TEST_F(NodeOwnershipTest, DeletingAGroupReleasesItsChildren) {
  auto keeper = std::make_unique<Node>(100);
  auto* doomed = new Node(200);
  Leaf(*doomed, 1);
  GeoNode* shared = Leaf(*doomed, 2);
  keeper->AddChild(shared);

  delete doomed;
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(shared->Parents(), (std::vector<Node*>{keeper.get()}));
  keeper.reset();
  EXPECT_EQ(destroyed, 2);
}

TEST_F(NodeOwnershipTest, DiamondSharingDeletesTheSharedNodeOnce) {
  std::unique_ptr<Node> root(Node::CreateRoot());
  Node* left = root->CreateChildNode(10);
  Node* right = root->CreateChildNode(20);
  Node* sharedGroup = left->CreateChildNode(30);
  right->AddChild(sharedGroup);
  Leaf(*sharedGroup, 40);
  root.reset();
  EXPECT_EQ(destroyed, 1);
}

TEST_F(NodeOwnershipTest, RemoveFromParentsUnlinksOneParentAndDeletesNothing) {
  Node first(1);
  Node second(2);
  GeoNode* shared = Leaf(first, 9);
  second.AddChild(shared);

  EXPECT_TRUE(shared->RemoveFromParents(&first));
  EXPECT_EQ(first.GetChild(9), nullptr);
  EXPECT_EQ(second.GetChild(9), shared);
  EXPECT_EQ(shared->Parents(), (std::vector<Node*>{&second}));
  EXPECT_FALSE(shared->RemoveFromParents(&first));

  EXPECT_TRUE(shared->RemoveFromParents(&second));
  EXPECT_TRUE(shared->Parents().empty());
  EXPECT_EQ(destroyed, 0);
  delete shared;
  EXPECT_EQ(destroyed, 1);
}

TEST_F(NodeOwnershipTest, DeletingANodeLeavesItsParentsMapsAlone) {
  Node group(1);
  GeoNode* child = Leaf(group, 5);
  delete child;
  EXPECT_EQ(destroyed, 1);
  // The entry dangles until the owner clears the map; clearing must not
  // touch the child again (the sanitizer build would see it).
  EXPECT_EQ(group.Children().size(), 1u);
  group.ClearChildren();
  EXPECT_TRUE(group.Children().empty());
}

TEST_F(NodeOwnershipTest, RelinkingAfterClearChildrenKeepsOneParentEntry) {
  Node group(1);
  GeoNode* child = Leaf(group, 5);
  group.ClearChildren();
  ASSERT_TRUE(group.AddChild(child));
  EXPECT_EQ(child->Parents(), (std::vector<Node*>{&group}));
}

// Clears a scene the way a view does: every child of the root but the
// overlay subtree is torn down depth first, each node released from the
// group it is reached through and deleted when that was its last parent.
// The walks go over copies of the child maps: releasing a shared node
// unlinks it from the map being walked.
class SceneClearing {
 public:
  static void ClearKeepingOverlay(Node& root) {
    std::vector<GeoNode*> keep;
    const auto children = root.Children();
    for (const auto& [id, child] : children) {
      if (id == AView3DAdapter::OverlayNodeId) {
        keep.push_back(child);
      } else {
        DetachSubtree(&root, child);
      }
    }
    root.ClearChildren();
    for (GeoNode* node : keep) {
      root.AddChild(node);
    }
  }

 private:
  static void DetachSubtree(Node* parent, GeoNode* node) {
    if (auto* group = dynamic_cast<Node*>(node)) {
      const auto children = group->Children();
      for (const auto& [id, child] : children) {
        DetachSubtree(group, child);
      }
      group->ClearChildren();
    }
    ReleaseNode(parent, node);
  }

  static void ReleaseNode(Node* parent, GeoNode* node) {
    if (node->Parents().size() == 1) {
      delete node;
    } else if (node->Parents().size() > 1) {
      node->RemoveFromParents(parent);
    }
  }
};

TEST_F(NodeOwnershipTest, ClearingASceneKeepsTheOverlayAndWhatItShares) {
  std::unique_ptr<Node> root(Node::CreateRoot());
  Node* overlay = root->CreateChildNode(AView3DAdapter::OverlayNodeId);
  Node* model = root->CreateChildNode(5);
  Node* other = root->CreateChildNode(70000);
  GeoNode* sharedInScene = Leaf(*model, 1);
  other->AddChild(sharedInScene);
  GeoNode* leafSharedWithOverlay = Leaf(*model, 2);
  overlay->AddChild(leafSharedWithOverlay);
  Node* groupSharedWithOverlay = model->CreateChildNode(3);
  overlay->AddChild(groupSharedWithOverlay);
  Leaf(*groupSharedWithOverlay, 4);

  SceneClearing::ClearKeepingOverlay(*root);

  // Items 1 (shared by two scene groups) and 4 (below the shared group) go.
  EXPECT_EQ(destroyed, 2);
  ASSERT_EQ(root->Children().size(), 1u);
  EXPECT_EQ(root->GetChild(AView3DAdapter::OverlayNodeId), overlay);
  EXPECT_EQ(overlay->GetChild(2), leafSharedWithOverlay);
  EXPECT_EQ(leafSharedWithOverlay->Parents(), (std::vector<Node*>{overlay}));
  EXPECT_EQ(overlay->GetChild(3), groupSharedWithOverlay);
  EXPECT_TRUE(groupSharedWithOverlay->Children().empty());
  EXPECT_EQ(overlay->Parents(), (std::vector<Node*>{root.get()}));
  root.reset();
  EXPECT_EQ(destroyed, 3);
}

}  // namespace
