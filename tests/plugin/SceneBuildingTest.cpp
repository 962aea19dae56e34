// The scene-building rules a host relies on: the root and id 1, the open-node
// stack, failures, node actions, and clearing with shared nodes.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "KivVizCore/AttributeVisibility.h"
#include "KivVizCore/GeoNode.h"
#include "KivVizCore/Node.h"
#include "KivVizCore/RenderId.h"
#include "PluginHostFixture.h"

namespace plugintest {
namespace {

class SceneBuildingTest : public PluginHostFixture {
 protected:
  // The open-node stack's depth; re-pushing with BeginScene marks the scene not ready.
  std::size_t Depth() {
    std::vector<GeoNode*> nodes;
    while (GeoNode* open = Scene().GetCurrentOpenNode()) {
      nodes.insert(nodes.begin(), open);
      Scene().CloseNode();
    }
    for (GeoNode* node : nodes) Scene().BeginScene(node);
    return nodes.size();
  }

  // Scene items are deleted with the view after the body: counters live in the fixture.
  int deletions = 0, sharedDeletions = 0, keptDeletions = 0;
  std::vector<DrawRecord> log;
};

TEST_F(SceneBuildingTest, IdOneIsTheRootOnlyWhileNothingIsOpen) {
  AView3DAdapter& scene = Scene();
  const std::size_t children = scene.GetRootNode()->Children().size();
  ASSERT_TRUE(scene.CreateNode(1, L"renamed root"));
  EXPECT_EQ(scene.GetCurrentOpenNode(), scene.GetRootNode()) << "CreateNode(1) takes the root";
  EXPECT_EQ(scene.GetRootNode()->Name(), L"renamed root");
  EXPECT_EQ(scene.GetRootNode()->Children().size(), children);
  EXPECT_FALSE(scene.OpenNode(1)) << "with the root open, 1 is an ordinary child id";
  ASSERT_TRUE(scene.CreateNode(1, L"child one"));
  EXPECT_NE(scene.GetCurrentOpenNode(), scene.GetRootNode());
  scene.CloseNode();
  ASSERT_TRUE(scene.CreateNode(5, L"five"));
  scene.CloseAllNodes();
  EXPECT_EQ(scene.GetCurrentOpenNode(), nullptr);
  ASSERT_TRUE(scene.OpenNode(5)) << "other ids with nothing open are the root's children";
  EXPECT_EQ(scene.GetCurrentOpenNode()->Name(), L"five");
  EXPECT_EQ(Depth(), 1u);
  scene.CloseAllNodes();
  ASSERT_TRUE(scene.OpenNode(1));
  EXPECT_TRUE(scene.OpenNode(1)) << "the root's child with id 1";
  EXPECT_EQ(scene.GetCurrentOpenNode()->Name(), L"child one");
  scene.CloseAllNodes();
}

TEST_F(SceneBuildingTest, CreatingWithNothingOpenThrowsOtherFailuresGiveFalseQuietly) {
  AView3DAdapter& scene = Scene();
  scene.BeginScene(nullptr);  // pushes nothing
  for (bool group : {false, true}) {
    DiagnosticCapture diagnostics;
    EXPECT_EQ(MessageOf([&] { group ? scene.CreateNode(7, L"group") : scene.CreateGeoNode(1, L"leaf"); }),
              "Cannot create node");
    EXPECT_EQ(diagnostics.Text(), "Cannot create child node for GeoNode.\n");
    EXPECT_EQ(Depth(), 0u);
  }
  ASSERT_TRUE(scene.OpenNode(1));
  ASSERT_TRUE(scene.CreateNode(5, L"five"));
  scene.CloseNode();
  DiagnosticCapture diagnostics;
  EXPECT_FALSE(scene.CreateNode(5, L"again")) << "the id is taken";
  ASSERT_TRUE(scene.CreateGeoNode(6, L"leaf"));
  EXPECT_FALSE(scene.CreateGeoNode(1, L"under a leaf"));
  EXPECT_FALSE(scene.CreateNode(2, L"under a leaf"));
  EXPECT_FALSE(scene.OpenNode(6)) << "a leaf has no children to open";
  EXPECT_EQ(Depth(), 2u);
  EXPECT_EQ(diagnostics.Text(), "");
  scene.CloseAllNodes();
}

TEST_F(SceneBuildingTest, BeginAndEndSceneManageTheStackAndReadiness) {
  AView3DAdapter& scene = Scene();
  // Without an open node the item is ignored and stays the caller's.
  auto* stray = new RecordingItem(9, log, &deletions);
  scene.AddGeometry(stray);
  delete stray;
  ASSERT_TRUE(scene.OpenNode(1));
  ASSERT_TRUE(scene.CreateNode(3, L"model"));
  GeoNode* model = scene.GetCurrentOpenNode();
  ASSERT_TRUE(scene.CreateGeoNode(4, L"leaf"));
  scene.SetNodeAttribute(new AttributeVisibility(true));
  scene.AddGeometry(new RecordingItem(4, log, &deletions));
  EXPECT_NE(scene.GetCurrentOpenNode()->GetAttribute(Attribute::VisibilityType), nullptr);
  scene.CloseAllNodes();
  EXPECT_EQ(deletions, 1);
  Frame();
  EXPECT_TRUE(log.empty()) << "the scene is not ready before EndScene";
  scene.BeginScene(model);
  EXPECT_EQ(scene.GetCurrentOpenNode(), model);
  scene.EndScene();
  EXPECT_EQ(scene.GetCurrentOpenNode(), nullptr) << "EndScene pops the node BeginScene pushed";
  Frame();
  EXPECT_EQ(log.size(), 1u);
  scene.EndScene();  // on an empty stack it only marks the scene ready
  scene.BeginScene(nullptr);
  log.clear();
  Frame();
  EXPECT_TRUE(log.empty()) << "BeginScene makes the scene not ready";
  scene.EndScene();
}

TEST_F(SceneBuildingTest, ApplyNodeActionTogglesFromTheOpenNodeAndRestoresTheStack) {
  AView3DAdapter& scene = Scene();
  Open({1, 2});
  GeoNode* part = scene.GetCurrentOpenNode();
  Close();
  ASSERT_TRUE(scene.OpenNode(1));  // with the root open, the path's 1 is the model under it
  EXPECT_TRUE(scene.ApplyNodeAction(RenderId({1, 2}, 1)));
  EXPECT_FALSE(part->IsVisible());
  EXPECT_FALSE(scene.ApplyNodeAction(RenderId({1, 2, 3}, 1))) << "3 does not exist";
  EXPECT_FALSE(part->IsVisible()) << "a failed action changes nothing";
  EXPECT_EQ(scene.GetCurrentOpenNode(), scene.GetRootNode());
  EXPECT_EQ(Depth(), 1u);
  scene.CloseAllNodes();
  EXPECT_TRUE(scene.ApplyNodeAction(RenderId({1, 1, 2}, 1))) << "from an empty stack 1 is the root";
  EXPECT_TRUE(part->IsVisible());
  EXPECT_EQ(Depth(), 0u);
  EXPECT_FALSE(scene.ApplyNodeAction(RenderId({}, 1)));
}

TEST_F(SceneBuildingTest, ClearAllDeletesSharedNodesOnceAndSparesTheOverlayAndWhatItHolds) {
  AView3DAdapter& scene = Scene();
  Open({5});
  AddRecordingLeaf(50, log, &sharedDeletions);
  AddRecordingLeaf(51, log, &keptDeletions);
  ASSERT_TRUE(Scene().CreateNode(52, L"group kept by the overlays"));
  ASSERT_TRUE(Scene().CreateGeoNode(53, L"its leaf"));
  Close();
  Open({70000});
  ASSERT_TRUE(Scene().AddReference(RenderId({1, 5, 50}, 1)));
  Close();
  Open({AView3DAdapter::OverlayNodeId});
  ASSERT_TRUE(Scene().AddReference(RenderId({1, 5, 51}, 1)));
  ASSERT_TRUE(Scene().AddReference(RenderId({1, 5, 52}, 1)));
  Close();
  Frame();
  ASSERT_EQ(log.size(), 3u) << "the shared leaf through both groups, and the kept leaf";

  View().ClearAll();
  Node* root = scene.GetRootNode();
  ASSERT_EQ(root->Children().size(), 1u);
  EXPECT_EQ(root->Children().begin()->first, AView3DAdapter::OverlayNodeId);
  EXPECT_EQ(sharedDeletions, 1) << "a leaf held by two cleared groups is deleted exactly once";
  EXPECT_EQ(keptDeletions, 0);
  auto* overlay = static_cast<Node*>(root->GetChild(AView3DAdapter::OverlayNodeId));
  GeoNode* keptLeaf = overlay->GetChild(51);
  ASSERT_NE(keptLeaf, nullptr);
  EXPECT_EQ(keptLeaf->Parents().size(), 1u);
  EXPECT_EQ(keptLeaf->Geometry().size(), 1u);
  ASSERT_NE(overlay->GetChild(52), nullptr);
  EXPECT_TRUE(static_cast<Node*>(overlay->GetChild(52))->Children().empty()) << "a kept group loses its children";
  log.clear();
  Frame();
  EXPECT_TRUE(log.empty()) << "a cleared scene is not ready";
}

}  // namespace
}  // namespace plugintest
