// The scene-building rules a host relies on: the root and id 1, the open-node
// stack, failures, node actions, and clearing with shared nodes.

#include "KivVizCore/AttributeVisibility.h"
#include "PluginHostFixture.h"

namespace plugintest {
namespace {

class SceneBuildingTest : public PluginHostFixture {
 protected:
  std::size_t Depth() { return Slots::Stack(Scene()).size(); }

  // Scene items are deleted with the view after the body: counters live in the fixture.
  int deletions = 0, sharedDeletions = 0, keptDeletions = 0;
  std::vector<DrawRecord> log;
};

TEST_F(SceneBuildingTest, IdOneIsTheRootOnlyWhileNothingIsOpenAndOnlyGroupsTakeChildren) {
  Scene().BeginScene(nullptr);  // pushes nothing
  for (bool group : {false, true}) {
    DiagnosticCapture diagnostics;
    EXPECT_EQ(MessageOf([&] { group ? Scene().CreateNode(7, L"group") : Scene().CreateGeoNode(1, L"leaf"); }),
              "Cannot create node");
    EXPECT_EQ(diagnostics.Text(), "Cannot create child node for GeoNode.\n");
  }
  ASSERT_TRUE(Scene().CreateNode(1, L"renamed root"));
  EXPECT_EQ(Scene().GetCurrentOpenNode(), Scene().GetRootNode()) << "CreateNode(1) takes the root";
  EXPECT_EQ(Scene().GetRootNode()->Name(), L"renamed root");
  EXPECT_FALSE(Scene().OpenNode(1)) << "with the root open, 1 is an ordinary child id";
  ASSERT_TRUE(Scene().CreateNode(1, L"child one"));
  Scene().CloseNode();
  ASSERT_TRUE(Scene().CreateNode(5, L"five"));
  Scene().CloseNode();
  // Other failures give false quietly.
  DiagnosticCapture diagnostics;
  EXPECT_FALSE(Scene().CreateNode(5, L"again")) << "the id is taken";
  ASSERT_TRUE(Scene().CreateGeoNode(6, L"leaf"));
  EXPECT_FALSE(Scene().CreateGeoNode(1, L"under a leaf"));
  EXPECT_FALSE(Scene().CreateNode(2, L"under a leaf"));
  EXPECT_FALSE(Scene().OpenNode(6)) << "a leaf has no children to open";
  EXPECT_EQ(Depth(), 2u);
  EXPECT_EQ(diagnostics.Text(), "");
  Scene().CloseAllNodes();
  ASSERT_TRUE(Scene().OpenNode(5)) << "other ids with nothing open are the root's children";
  EXPECT_EQ(Scene().GetCurrentOpenNode()->Name(), L"five");
  EXPECT_EQ(Depth(), 1u);
  Scene().CloseAllNodes();
  ASSERT_TRUE(Scene().OpenNode(1));
  EXPECT_TRUE(Scene().OpenNode(1)) << "the root's child with id 1";
  EXPECT_EQ(Scene().GetCurrentOpenNode()->Name(), L"child one");
}

TEST_F(SceneBuildingTest, BeginAndEndSceneManageTheStackAndReadiness) {
  // Without an open node the item is ignored and stays the caller's.
  auto* stray = new RecordingItem(9, log, &deletions);
  Scene().AddGeometry(stray);
  delete stray;
  ASSERT_TRUE(Scene().OpenNode(1));
  ASSERT_TRUE(Scene().CreateNode(3, L"model"));
  GeoNode* model = Scene().GetCurrentOpenNode();
  ASSERT_TRUE(Scene().CreateGeoNode(4, L"leaf"));
  Scene().SetNodeAttribute(new AttributeVisibility(true));
  Scene().AddGeometry(new RecordingItem(4, log, &deletions));
  EXPECT_NE(Scene().GetCurrentOpenNode()->GetAttribute(Attribute::VisibilityType), nullptr);
  Scene().CloseAllNodes();
  EXPECT_EQ(deletions, 1);
  Frame();
  EXPECT_TRUE(log.empty()) << "the scene is not ready before EndScene";
  Scene().BeginScene(model);
  EXPECT_EQ(Scene().GetCurrentOpenNode(), model);
  Scene().EndScene();
  EXPECT_EQ(Scene().GetCurrentOpenNode(), nullptr) << "EndScene pops the node BeginScene pushed";
  Frame();
  EXPECT_EQ(log.size(), 1u);
  Scene().EndScene();  // on an empty stack it only marks the scene ready
  Scene().BeginScene(nullptr);
  log.clear();
  Frame();
  EXPECT_TRUE(log.empty()) << "BeginScene makes the scene not ready";
}

TEST_F(SceneBuildingTest, ApplyNodeActionTogglesFromTheOpenNodeAndRestoresTheStack) {
  Open({1, 2});
  GeoNode* part = Scene().GetCurrentOpenNode();
  Close();
  ASSERT_TRUE(Scene().OpenNode(1));  // with the root open, the path's 1 is the model under it
  EXPECT_TRUE(Scene().ApplyNodeAction(RenderId({1, 2}, 1)));
  EXPECT_FALSE(part->IsVisible());
  EXPECT_FALSE(Scene().ApplyNodeAction(RenderId({1, 2, 3}, 1))) << "3 does not exist";
  EXPECT_FALSE(part->IsVisible()) << "a failed action changes nothing";
  EXPECT_EQ(Scene().GetCurrentOpenNode(), Scene().GetRootNode());
  Scene().CloseAllNodes();
  EXPECT_TRUE(Scene().ApplyNodeAction(RenderId({1, 1, 2}, 1))) << "from an empty stack 1 is the root";
  EXPECT_TRUE(part->IsVisible());
  EXPECT_EQ(Depth(), 0u);
  EXPECT_FALSE(Scene().ApplyNodeAction(RenderId({}, 1)));
}

TEST_F(SceneBuildingTest, ClearAllDeletesSharedNodesOnceAndSparesTheOverlayAndWhatItHolds) {
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
  Node* root = Scene().GetRootNode();
  ASSERT_EQ(root->Children().size(), 1u);
  EXPECT_EQ(root->Children().begin()->first, AView3DAdapter::OverlayNodeId);
  EXPECT_EQ(sharedDeletions, 1) << "a leaf held by two cleared groups is deleted exactly once";
  EXPECT_EQ(keptDeletions, 0);
  auto* overlay = static_cast<Node*>(root->GetChild(AView3DAdapter::OverlayNodeId));
  GeoNode* keptLeaf = overlay->GetChild(51);
  ASSERT_TRUE(keptLeaf != nullptr && keptLeaf->Parents().size() == 1u && keptLeaf->Geometry().size() == 1u)
      << "one parent, its item";
  EXPECT_TRUE(overlay->GetChild(52) != nullptr && static_cast<Node*>(overlay->GetChild(52))->Children().empty())
      << "a kept group loses its children";
  log.clear();
  Frame();
  EXPECT_TRUE(log.empty()) << "a cleared scene is not ready";
}

}  // namespace
}  // namespace plugintest
