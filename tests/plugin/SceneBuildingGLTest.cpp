// The scene-building rules a host relies on: the root and id 1, the open-node
// stack, failures, node actions, and clearing with shared nodes.
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "KivVizCore/Attribute.h"
#include "KivVizCore/AttributeVisibility.h"
#include "KivVizCore/GeoNode.h"
#include "KivVizCore/Node.h"
#include "KivVizCore/RenderId.h"
#include "NimboCore/Debug.h"
#include "PluginHostFixture.h"
#include "RecordingItem.h"

namespace plugintest {
namespace {

// Captures what is written to the host's diagnostic stream.
class DbgCapture {
 public:
  DbgCapture() : previous_(NimboCore::dbg.rdbuf(text_.rdbuf())) {}
  ~DbgCapture() { NimboCore::dbg.rdbuf(previous_); }
  DbgCapture(const DbgCapture&) = delete;
  DbgCapture& operator=(const DbgCapture&) = delete;
  std::string Text() const { return text_.str(); }

 private:
  std::ostringstream text_;
  std::streambuf* previous_;
};

class SceneBuildingGLTest : public PluginGLTest {
 protected:
  // Items that stay in the scene are deleted with the view after the test
  // body, so their counters live as long as the fixture.
  int deletions = 0;
  int sharedDeletions = 0;
  int keptDeletions = 0;

  std::size_t Depth() { return Stack().size(); }
  // The open-node stack as the adapter sees it, bottom first. Reading it
  // closes and re-pushes the nodes with BeginScene, which marks the scene
  // not ready.
  std::vector<GeoNode*> Stack() {
    std::vector<GeoNode*> nodes;
    AView3DAdapter& scene = Scene();
    while (GeoNode* open = scene.GetCurrentOpenNode()) {
      nodes.insert(nodes.begin(), open);
      scene.CloseNode();
    }
    for (GeoNode* node : nodes) Reopen(node);
    return nodes;
  }
  void Reopen(GeoNode* node) { Scene().BeginScene(node); }

  // Expects CreateNode or CreateGeoNode to fail with the message and the
  // exception, changing nothing.
  template <typename Call>
  void ExpectCannotCreate(Call call) {
    const std::size_t before = Depth();
    DbgCapture dbg;
    try {
      call();
      ADD_FAILURE() << "expected an exception";
    } catch (const std::exception& error) {
      EXPECT_STREQ(error.what(), "Cannot create node");
    }
    EXPECT_EQ(dbg.Text(), "Cannot create child node for GeoNode.\n");
    EXPECT_EQ(Depth(), before);
  }
};

TEST_F(SceneBuildingGLTest, IdOneOpensTheRootOnlyWhileNothingIsOpen) {
  AView3DAdapter& scene = Scene();
  ASSERT_TRUE(scene.OpenNode(1));
  EXPECT_EQ(scene.GetCurrentOpenNode(), scene.GetRootNode());
  EXPECT_FALSE(scene.OpenNode(1)) << "with the root open, 1 is an ordinary child id";
  ASSERT_TRUE(scene.CreateNode(1, L"child one"));
  EXPECT_EQ(scene.GetCurrentOpenNode()->GetId(), 1u);
  EXPECT_NE(scene.GetCurrentOpenNode(), scene.GetRootNode());
  scene.CloseNode();
  EXPECT_TRUE(scene.OpenNode(1)) << "now the child with id 1 exists under the root";
  EXPECT_EQ(scene.GetCurrentOpenNode()->Name(), L"child one");
  scene.CloseAllNodes();
  EXPECT_EQ(scene.GetCurrentOpenNode(), nullptr);
}

TEST_F(SceneBuildingGLTest, OtherIdsWithNothingOpenAreRootChildren) {
  AView3DAdapter& scene = Scene();
  EXPECT_FALSE(scene.OpenNode(5));
  ASSERT_TRUE(scene.OpenNode(1));
  ASSERT_TRUE(scene.CreateNode(5, L"five"));
  scene.CloseAllNodes();
  ASSERT_TRUE(scene.OpenNode(5));
  EXPECT_EQ(scene.GetCurrentOpenNode()->Name(), L"five");
  EXPECT_EQ(Depth(), 1u);
  scene.CloseAllNodes();
}

TEST_F(SceneBuildingGLTest, CreateNodeOneRenamesTheRootWithoutCreating) {
  AView3DAdapter& scene = Scene();
  const std::size_t children = scene.GetRootNode()->Children().size();
  ASSERT_TRUE(scene.CreateNode(1, L"renamed root"));
  EXPECT_EQ(scene.GetCurrentOpenNode(), scene.GetRootNode());
  EXPECT_EQ(scene.GetRootNode()->Name(), L"renamed root");
  EXPECT_EQ(scene.GetRootNode()->Children().size(), children);
  scene.CloseAllNodes();
}

TEST_F(SceneBuildingGLTest, CreatingWithoutAnOpenNodeWritesTheMessageAndThrows) {
  AView3DAdapter& scene = Scene();
  ExpectCannotCreate([&] { scene.CreateGeoNode(1, L"leaf"); });
  ExpectCannotCreate([&] { scene.CreateGeoNode(7, L"leaf"); });
  ExpectCannotCreate([&] { scene.CreateNode(7, L"group"); });
  scene.BeginScene(nullptr);
  EXPECT_EQ(scene.GetCurrentOpenNode(), nullptr) << "BeginScene without a node pushes nothing";
  ExpectCannotCreate([&] { scene.CreateNode(7, L"group"); });
}

TEST_F(SceneBuildingGLTest, ChildrenThatCannotBeMadeGiveFalseQuietly) {
  AView3DAdapter& scene = Scene();
  ASSERT_TRUE(scene.OpenNode(1));
  ASSERT_TRUE(scene.CreateNode(5, L"five"));
  scene.CloseNode();
  DbgCapture dbg;
  EXPECT_FALSE(scene.CreateNode(5, L"again")) << "the id is taken";
  EXPECT_EQ(Depth(), 1u);
  ASSERT_TRUE(scene.CreateGeoNode(6, L"leaf"));
  EXPECT_FALSE(scene.CreateGeoNode(1, L"under a leaf"));
  EXPECT_FALSE(scene.CreateNode(2, L"under a leaf"));
  EXPECT_FALSE(scene.OpenNode(1)) << "a leaf has no children to open";
  EXPECT_FALSE(scene.OpenNode(6));
  EXPECT_EQ(Depth(), 2u);
  EXPECT_EQ(dbg.Text(), "");
  scene.CloseAllNodes();
}

TEST_F(SceneBuildingGLTest, BeginAndEndSceneManageTheStackAndReadiness) {
  AView3DAdapter& scene = Scene();
  std::vector<DrawRecord> log;
  ASSERT_TRUE(scene.OpenNode(1));
  ASSERT_TRUE(scene.CreateNode(3, L"model"));
  GeoNode* model = scene.GetCurrentOpenNode();
  ASSERT_TRUE(scene.CreateGeoNode(4, L"leaf"));
  scene.AddGeometry(new RecordingItem(4, log));
  scene.CloseAllNodes();
  Frame();
  EXPECT_TRUE(log.empty()) << "the scene is not ready before EndScene";

  scene.BeginScene(model);
  EXPECT_EQ(scene.GetCurrentOpenNode(), model);
  scene.EndScene();
  EXPECT_EQ(scene.GetCurrentOpenNode(), nullptr) << "EndScene pops the node BeginScene pushed";
  Frame();
  EXPECT_EQ(log.size(), 1u);

  scene.EndScene();  // on an empty stack it only marks the scene ready
  EXPECT_EQ(scene.GetCurrentOpenNode(), nullptr);
  scene.BeginScene(nullptr);
  log.clear();
  Frame();
  EXPECT_TRUE(log.empty()) << "BeginScene makes the scene not ready";
  scene.EndScene();
}

TEST_F(SceneBuildingGLTest, AttributesAndGeometryGoToTheOpenNodeOnly) {
  AView3DAdapter& scene = Scene();
  std::vector<DrawRecord> log;
  // Without an open node both are ignored; the attribute and item are the
  // caller's to free then.
  auto* item = new RecordingItem(9, log, &deletions);
  scene.AddGeometry(item);
  delete item;
  ASSERT_TRUE(scene.OpenNode(1));
  ASSERT_TRUE(scene.CreateGeoNode(8, L"leaf"));
  scene.SetNodeAttribute(new AttributeVisibility(false));
  scene.AddGeometry(new RecordingItem(8, log, &deletions));
  GeoNode* leaf = scene.GetCurrentOpenNode();
  EXPECT_EQ(leaf->Geometry().size(), 1u);
  ASSERT_NE(leaf->GetAttribute(Attribute::VisibilityType), nullptr);
  scene.CloseAllNodes();
  EXPECT_EQ(deletions, 1);
}

TEST_F(SceneBuildingGLTest, ApplyNodeActionTogglesAndRestoresTheStack) {
  AView3DAdapter& scene = Scene();
  ASSERT_TRUE(scene.OpenNode(1));
  ASSERT_TRUE(scene.CreateNode(1, L"model"));
  ASSERT_TRUE(scene.CreateNode(2, L"part"));
  GeoNode* part = scene.GetCurrentOpenNode();
  scene.CloseAllNodes();
  ASSERT_TRUE(scene.OpenNode(1));  // an unrelated node stays open throughout
  const std::vector<GeoNode*> before = Stack();

  // With the root open, the path's 1 is the model under it.
  EXPECT_TRUE(scene.ApplyNodeAction(RenderId({1, 2}, 1)));
  EXPECT_FALSE(part->IsVisible());
  EXPECT_EQ(Stack(), before);
  EXPECT_FALSE(scene.ApplyNodeAction(RenderId({1, 2, 3}, 1))) << "3 does not exist";
  EXPECT_EQ(Stack(), before);
  EXPECT_FALSE(part->IsVisible()) << "a failed action changes nothing";
  EXPECT_TRUE(scene.ApplyNodeAction(RenderId({1, 2}, 1)));
  EXPECT_TRUE(part->IsVisible());
  scene.CloseAllNodes();

  EXPECT_TRUE(scene.ApplyNodeAction(RenderId({1, 1, 2}, 1))) << "from an empty stack 1 is the root";
  EXPECT_FALSE(part->IsVisible());
  EXPECT_EQ(Depth(), 0u);
  EXPECT_FALSE(scene.ApplyNodeAction(RenderId({}, 1)));
}

TEST_F(SceneBuildingGLTest, ClearAllKeepsOnlyTheOverlayChild) {
  AView3DAdapter& scene = Scene();
  std::vector<DrawRecord> log;
  scene.BeginScene(nullptr);
  ASSERT_TRUE(scene.OpenNode(1));
  for (std::uint64_t id : {5u, 70000u}) {
    ASSERT_TRUE(scene.CreateNode(id, L"group"));
    ASSERT_TRUE(scene.CreateGeoNode(id + 1, L"leaf"));
    scene.AddGeometry(new RecordingItem(id + 1, log, &deletions));
    scene.CloseNode();
    scene.CloseNode();
  }
  scene.CloseAllNodes();
  scene.EndScene();
  Frame();
  ASSERT_EQ(log.size(), 2u);

  View().ClearAll();
  Node* root = scene.GetRootNode();
  ASSERT_EQ(root->Children().size(), 1u);
  EXPECT_EQ(root->Children().begin()->first, AView3DAdapter::OverlayNodeId);
  EXPECT_EQ(deletions, 2);
  log.clear();
  Frame();
  EXPECT_TRUE(log.empty()) << "a cleared scene is not ready";
}

TEST_F(SceneBuildingGLTest, ClearAllDeletesSharedNodesOnceAndSparesOverlayReferences) {
  AView3DAdapter& scene = Scene();
  std::vector<DrawRecord> log;
  scene.BeginScene(nullptr);
  ASSERT_TRUE(scene.OpenNode(1));
  ASSERT_TRUE(scene.CreateNode(5, L"first group"));
  ASSERT_TRUE(scene.CreateGeoNode(50, L"shared leaf"));
  scene.AddGeometry(new RecordingItem(50, log, &sharedDeletions));
  scene.CloseNode();
  ASSERT_TRUE(scene.CreateGeoNode(51, L"leaf kept by the overlays"));
  scene.AddGeometry(new RecordingItem(51, log, &keptDeletions));
  scene.CloseNode();
  ASSERT_TRUE(scene.CreateNode(52, L"group kept by the overlays"));
  ASSERT_TRUE(scene.CreateGeoNode(53, L"its leaf"));
  scene.CloseNode();
  scene.CloseNode();
  scene.CloseNode();
  ASSERT_TRUE(scene.CreateNode(6, L"second group"));
  ASSERT_TRUE(scene.AddReference(RenderId({1, 5, 50}, 1)));
  scene.CloseNode();
  ASSERT_TRUE(scene.OpenNode(AView3DAdapter::OverlayNodeId));
  ASSERT_TRUE(scene.AddReference(RenderId({1, 5, 51}, 1)));
  ASSERT_TRUE(scene.AddReference(RenderId({1, 5, 52}, 1)));
  scene.CloseAllNodes();
  scene.EndScene();

  View().ClearAll();
  EXPECT_EQ(sharedDeletions, 1) << "a leaf held by two cleared groups is deleted exactly once";
  EXPECT_EQ(keptDeletions, 0);
  Node* overlay = static_cast<Node*>(scene.GetRootNode()->GetChild(AView3DAdapter::OverlayNodeId));
  ASSERT_NE(overlay, nullptr);
  GeoNode* keptLeaf = overlay->GetChild(51);
  ASSERT_NE(keptLeaf, nullptr);
  EXPECT_EQ(keptLeaf->Parents().size(), 1u);
  EXPECT_EQ(keptLeaf->Geometry().size(), 1u);
  auto* keptGroup = static_cast<Node*>(overlay->GetChild(52));
  ASSERT_NE(keptGroup, nullptr);
  EXPECT_TRUE(keptGroup->Children().empty()) << "a kept group loses its children";
}

TEST_F(SceneBuildingGLTest, SmallOperationsAnswerAsAHostExpects) {
  EXPECT_EQ(View().GetStatistics(), "Not implemented");
  EXPECT_EQ(Scene().GetStatistics(), "Not implemented");
  EXPECT_TRUE(View().IsAvailable());
  EXPECT_FALSE(View().IsBusy());
  EXPECT_NE(Scene().GetGeometryItemFactory(), nullptr);
  const std::size_t depth = Depth();
  View().ReservedOperation1();
  Scene().ReservedOperation2();
  EXPECT_EQ(Depth(), depth);
}

}  // namespace
}  // namespace plugintest
