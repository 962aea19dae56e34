// A small, real view on the host's AView3D for the host libraries' tests.
//
// It keeps its scene under its root with the open-node stack as a view
// does (OpenNode, CreateNode, ... with the same rules), draws a node's
// subtree with its colour, transform, visibility and filter (RenderNode),
// sets up the projection and camera a view sets up, picks by casting the
// camera's ray through the scene, and provides its view objects. It draws
// in whatever GL context is current: a test makes one current first.
//
// Ownership: the view owns its root, view-object manager, item factory and,
// once given, its highlight strategy and filter manager. The manager (and
// with it every view object) goes before the root, the root before the rest.
#ifndef NIMBO_TESTS_HOST_SUPPORT_TESTVIEW_H
#define NIMBO_TESTS_HOST_SUPPORT_TESTVIEW_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "KivVizCore/AFilterManager.h"
#include "KivVizCore/AGeometryItemFactory.h"
#include "KivVizCore/AHighlightStrategy.h"
#include "NimboCore/AView3D.h"
#include "NimboCore/IViewObjectProvider.h"
#include "NimboCore/ViewObjectManager.h"

namespace NimboTest {

class TestView : public AView3D, public IViewObjectProvider {
 public:
  // Root, view-object manager (root child 60000) and a TestGeometryItemFactory.
  TestView();
  ~TestView() override;

  // The view takes ownership; null removes (and deletes) the current one.
  // A strategy is typically built on this view's AView3DAdapter base.
  void SetHighlightStrategy(std::unique_ptr<AHighlightStrategy> strategy);
  void SetFilterManager(std::unique_ptr<AFilterManager> manager);
  void SetGeometryItemFactory(std::unique_ptr<AGeometryItemFactory> factory);

  bool IsSceneReady() const { return sceneReady; }
  // How many nodes RenderNode drew (not skipped) since the last reset.
  int RenderedNodeCount() const { return renderedNodes; }
  void ResetRenderedNodeCount() { renderedNodes = 0; }

  // Multiplies the view's projection onto the current matrix, as glOrtho and
  // gluPerspective do: near and far from the camera and the scene bounds,
  // aspect width / height (1 for a zero height).
  void SetUpProjection();
  // gluLookAt of the camera onto the current matrix.
  void SetUpCamera();

  // IView3D
  bool IsAvailable() const override;
  void ReservedOperation1() override;
  void ReservedOperation2() override;
  std::string GetStatistics() override;
  bool IsBusy() const override;
  // Unprojects the depth under the pixel with the current matrices.
  void GetPointAtPixel(int x, int y, float& px, float& py, float& pz) override;
  // Viewport, projection, camera, clear, the scene (one pass), the view
  // objects. Needs a current context; draws nothing without one.
  void Render() override;
  void Highlight(const EntityId& entity) override;
  void UnHighlight(const EntityId& entity) override;
  // Skips null, filtered-out and invisible nodes; pushes the colour and the
  // transform for the subtree; draws a leaf's items.
  void RenderNode(GeoNode* node, bool pushNames, bool inTransparent) override;
  void Select(const EntityId& entity) override;
  void UnSelect(const EntityId& entity) override;

  // AView3DAdapter
  void BeginScene(GeoNode* node) override;
  void EndScene() override;
  bool OpenNode(const std::uint64_t& id) override;
  void CloseNode() override;
  void CloseAllNodes() override;
  // With nothing open: std::runtime_error "Cannot create node" (id 1 on an
  // empty stack takes and renames the root instead, CreateNode only).
  bool CreateNode(const std::uint64_t& id, const std::wstring& name) override;
  bool CreateGeoNode(const std::uint64_t& id, const std::wstring& name) override;
  Node* GetRootNode() override;
  // With nothing open the attribute or item is deleted.
  void SetNodeAttribute(Attribute* attribute) override;
  AGeometryItemFactory* GetGeometryItemFactory() override;
  void AddGeometry(AGeometryItem* item) override;
  bool ApplyNodeAction(const RenderId& path) override;
  // Clears the view objects' geometry, deletes the scene under the root
  // except the overlay node, then the base's ClearAll.
  void ClearAll() override;
  // The first hit of the camera ray on the picked node's items.
  bool PickPoint(int x, int y, float& px, float& py, float& pz) override;
  // The node the camera ray meets first; true when it differs from picked.
  bool PickVisualAt(const int& x, const int& y, RenderId& picked) override;
  void Highlight(const std::vector<RenderId>& paths) override;
  bool Highlight(const RenderId& path) override;
  void UnHighlight() override;
  bool UnHighlight(const RenderId& path) override;
  void Select(const RenderId& path) override;
  void UnSelect() override;
  bool UnSelect(const RenderId& path) override;

  // IViewObjectProvider
  ViewObjectManager* GetViewObjectManager() override;
  // Markups from the manager's "MarkupFactory"; std::invalid_argument for a
  // list that is not whole points.
  void AddMarkups(const std::vector<std::vector<double>>& coordinateLists) override;
  // Removes and deletes every markup object except the factory.
  void RemoveMarkups() override;
  // Not supported: std::logic_error.
  void DrawArrow(const std::vector<double>& start, const std::vector<double>& direction) override;

 private:
  bool CreateChild(const std::uint64_t& id, const std::wstring& name, bool group);

  std::unique_ptr<ViewObjectManager> viewObjects;
  std::unique_ptr<AGeometryItemFactory> itemFactory;
  std::unique_ptr<AHighlightStrategy> ownedHighlightStrategy;
  std::unique_ptr<AFilterManager> ownedFilterManager;
  bool sceneReady = false;
  int renderedNodes = 0;
};

}  // namespace NimboTest

#endif
