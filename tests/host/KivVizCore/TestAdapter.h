// A minimal scene-building adapter for exercising the adapter's own
// operations: the operations a view supplies follow the open-node rules the
// views use (id 1 on an empty stack is the root; children are created and
// opened under the current open node), everything else does nothing.
#ifndef NIMBO_TESTS_KIVVIZCORE_TESTADAPTER_H
#define NIMBO_TESTS_KIVVIZCORE_TESTADAPTER_H

#include <deque>

#include "KivVizCore/AView3DAdapter.h"
#include "KivVizCore/GeoNode.h"

class TestAdapter : public AView3DAdapter {
 public:
  TestAdapter();
  ~TestAdapter() override;

  std::string GetName() const override { return "TestAdapter"; }
  void BeginScene(GeoNode* node) override {
    if (node != nullptr) openNodeStack.push_back(node);
  }
  void EndScene() override { CloseNode(); }
  void ReservedOperation1() override {}
  void ReservedOperation2() override {}
  bool OpenNode(const std::uint64_t& id) override;
  void CloseNode() override {
    if (!openNodeStack.empty()) openNodeStack.pop_back();
  }
  void CloseAllNodes() override { openNodeStack.clear(); }
  bool CreateNode(const std::uint64_t& id, const std::wstring& name) override;
  bool CreateGeoNode(const std::uint64_t& id, const std::wstring& name) override;
  Node* GetRootNode() override { return rootNode; }
  std::string GetStatistics() override { return {}; }
  void SetNodeAttribute(Attribute* attribute) override {
    if (!openNodeStack.empty()) openNodeStack.back()->SetAttribute(attribute);
  }
  AGeometryItemFactory* GetGeometryItemFactory() override { return nullptr; }
  void AddGeometry(AGeometryItem* item) override {
    if (!openNodeStack.empty()) openNodeStack.back()->AddGeometry(item);
  }
  bool ApplyNodeAction(const RenderId&) override { return false; }
  void ClearAll() override {}
  RenderingOptions* GetDisplayOptions() override { return nullptr; }
  bool PickPoint(int, int, float&, float&, float&) override { return false; }
  bool PickVisualAt(const int&, const int&, RenderId&) override { return false; }
  void Highlight(const std::vector<RenderId>&) override {}
  bool Highlight(const RenderId&) override { return false; }
  void UnHighlight() override {}
  bool UnHighlight(const RenderId&) override { return false; }
  void Select(const RenderId&) override {}
  void UnSelect() override {}
  bool UnSelect(const RenderId&) override { return false; }
  void Convert(const RenderId&, EntityId&) override {}

  const std::deque<GeoNode*>& Stack() const { return openNodeStack; }
  void SetFilterManager(AFilterManager* manager) { filterManager = manager; }
  void SetHighlightStrategy(AHighlightStrategy* strategy) { highlightStrategy = strategy; }
  void DropLibraries() { ClearLibraries(); }
  using AView3DAdapter::BeginClipTracking;
  using AView3DAdapter::EndClipTracking;
  // Builds the path root/ids... with groups, the last one a leaf, opening
  // nothing; returns the leaf.
  GeoNode* AddLeaf(const std::vector<std::uint64_t>& groupsThenLeaf);
  // The scene as GetSceneStructure writes it, with details.
  std::string Structure() {
    std::string text;
    GetSceneStructure(text, true);
    return text;
  }
};

#endif
