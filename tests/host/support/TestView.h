// A small real view on AView3D: a view's open-node rules, a highlight strategy
// and view objects; it draws, picks and marks nothing.
#ifndef NIMBO_TESTS_HOST_SUPPORT_TESTVIEW_H
#define NIMBO_TESTS_HOST_SUPPORT_TESTVIEW_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "KivVizCore/AGeometryItemFactory.h"
#include "KivVizCore/AHighlightStrategy.h"
#include "KivVizCore/RenderId.h"
#include "NimboCore/AView3D.h"
#include "NimboCore/IViewObjectProvider.h"
#include "NimboCore/ViewObjectManager.h"

namespace NimboTest {

class TestView : public AView3D, public IViewObjectProvider {
 public:
  TestView();
  ~TestView() override;

  void SetHighlightStrategy(std::unique_ptr<AHighlightStrategy> strategy) {
    ownedHighlightStrategy = std::move(strategy);
    highlightStrategy = ownedHighlightStrategy.get();
  }

  // IView3D
  bool IsAvailable() const override { return true; }
  void ReservedOperation1() override {}
  void ReservedOperation2() override {}
  std::string GetStatistics() override { return {}; }
  bool IsBusy() const override { return false; }
  void GetPointAtPixel(int, int, float&, float&, float&) override {}
  void Render() override {}
  void Highlight(const EntityId&) override {}
  void UnHighlight(const EntityId&) override {}
  void RenderNode(GeoNode*, bool, bool) override {}
  void Select(const EntityId&) override {}
  void UnSelect(const EntityId&) override {}

  // AView3DAdapter
  void BeginScene(GeoNode* node) override {
    if (node != nullptr) openNodeStack.push_back(node);
  }
  void EndScene() override { CloseNode(); }
  bool OpenNode(const std::uint64_t& id) override;
  void CloseNode() override {
    if (!openNodeStack.empty()) openNodeStack.pop_back();
  }
  void CloseAllNodes() override { openNodeStack.clear(); }
  bool CreateNode(const std::uint64_t& id, const std::wstring& name) override;
  bool CreateGeoNode(const std::uint64_t& id, const std::wstring& name) override;
  Node* GetRootNode() override { return rootNode; }
  // With nothing open the attribute or item is deleted.
  void SetNodeAttribute(Attribute* attribute) override;
  AGeometryItemFactory* GetGeometryItemFactory() override { return itemFactory.get(); }
  void AddGeometry(AGeometryItem* item) override;
  bool ApplyNodeAction(const RenderId&) override { return false; }
  void ClearAll() override { AView3D::ClearAll(); }
  bool PickPoint(int, int, float&, float&, float&) override { return false; }
  bool PickVisualAt(const int&, const int&, RenderId&) override { return false; }
  void Highlight(const std::vector<RenderId>&) override {}
  bool Highlight(const RenderId&) override { return false; }
  void Select(const RenderId&) override {}
  void UnHighlight() override {}
  bool UnHighlight(const RenderId&) override { return false; }
  void UnSelect() override {}
  bool UnSelect(const RenderId&) override { return false; }

  // IViewObjectProvider
  ViewObjectManager* GetViewObjectManager() override { return viewObjects.get(); }
  void AddMarkups(const std::vector<std::vector<double>>&) override {}
  void RemoveMarkups() override {}
  void DrawArrow(const std::vector<double>&, const std::vector<double>&) override {}

 private:
  bool Open(GeoNode* node, const std::wstring* name = nullptr);
  std::unique_ptr<ViewObjectManager> viewObjects;
  std::unique_ptr<AGeometryItemFactory> itemFactory;
  std::unique_ptr<AHighlightStrategy> ownedHighlightStrategy;
};

}  // namespace NimboTest

#endif
