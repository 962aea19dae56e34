// A small real view on AView3D: a view's open-node rules, a highlight strategy
// and view objects; it draws, picks and marks nothing. Its geometry items keep
// their arrays and know their bounding box, without the GL item library.
#ifndef NIMBO_TESTS_HOST_SUPPORT_TESTVIEW_H
#define NIMBO_TESTS_HOST_SUPPORT_TESTVIEW_H

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "KivVizCore/AGeometryItem.h"
#include "KivVizCore/AGeometryItemFactory.h"
#include "KivVizCore/AHighlightStrategy.h"
#include "KivVizCore/Attribute.h"
#include "KivVizCore/Node.h"
#include "KivVizCore/RenderId.h"
#include "NimboCore/AView3D.h"
#include "NimboCore/IViewObjectProvider.h"
#include "NimboCore/ViewObjectManager.h"

namespace NimboTest {

class TestGeometryItem : public AGeometryItem {
 public:
  enum class Kind { Points, Lines, Triangles };

  TestGeometryItem(std::uint64_t id, Kind kind, std::vector<float> vertices, std::vector<std::uint32_t> indices = {})
      : AGeometryItem(id), kind(kind), vertices(std::move(vertices)), indices(std::move(indices)) {}

  void Display(AView3DAdapter*) override {}
  bool GetBoundingBox(float minimum[3], float maximum[3]) const override {
    for (std::size_t i = 0; i < vertices.size(); ++i) {
      minimum[i % 3] = i < 3 ? vertices[i] : std::min(minimum[i % 3], vertices[i]);
      maximum[i % 3] = i < 3 ? vertices[i] : std::max(maximum[i % 3], vertices[i]);
    }
    return vertices.size() >= 3;
  }

  const Kind kind;
  const std::vector<float> vertices;
  const std::vector<std::uint32_t> indices;
};

// The view is its own item factory.
class TestView : public AView3D, public IViewObjectProvider, public AGeometryItemFactory {
 public:
  AGeometryItem* CreateTriangles(std::uint64_t id, const std::vector<float>& vertices, const std::vector<float>&,
                                 const std::vector<std::uint32_t>& indices) override {
    return new TestGeometryItem(id, TestGeometryItem::Kind::Triangles, vertices, indices);
  }
  AGeometryItem* CreateLines(std::uint64_t id, const std::vector<float>& vertices,
                             const std::vector<std::uint32_t>& indices) override {
    return new TestGeometryItem(id, TestGeometryItem::Kind::Lines, vertices, indices);
  }
  AGeometryItem* CreatePoints(std::uint64_t id, const std::vector<float>& vertices, float) override {
    return new TestGeometryItem(id, TestGeometryItem::Kind::Points, vertices);
  }

  TestView() : AView3D("TestView") {
    rootNode = Node::CreateRoot();
    viewObjects = std::make_unique<ViewObjectManager>(rootNode);
    AView3DControllerAdapter::SetView3D(this);
    AView3DAdapter::SetView3D(this);
  }
  ~TestView() override {
    highlightStrategy = nullptr;
    // View objects remove their nodes from the root's subtree: before the root.
    viewObjects.reset();
    openNodeStack.clear();
    delete rootNode;
    rootNode = nullptr;
  }

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
  bool OpenNode(const std::uint64_t& id) override {
    if (id == Node::RootId && openNodeStack.empty()) return Open(rootNode);
    GeoNode* searched = openNodeStack.empty() ? rootNode : openNodeStack.back();
    return Open(searched->IsGroup() ? static_cast<Node*>(searched)->GetChild(id) : nullptr);
  }
  void CloseNode() override {
    if (!openNodeStack.empty()) openNodeStack.pop_back();
  }
  void CloseAllNodes() override { openNodeStack.clear(); }
  bool CreateNode(const std::uint64_t& id, const std::wstring& name) override {
    if (id == Node::RootId && openNodeStack.empty()) return Open(rootNode, &name);
    return Open(openNodeStack.empty() ? nullptr : openNodeStack.back()->CreateChildNode(id), &name);
  }
  bool CreateGeoNode(const std::uint64_t& id, const std::wstring& name) override {
    return Open(openNodeStack.empty() ? nullptr : openNodeStack.back()->CreateChildGeoNode(id), &name);
  }
  Node* GetRootNode() override { return rootNode; }
  // With nothing open the attribute or item is deleted.
  void SetNodeAttribute(Attribute* attribute) override {
    GeoNode* open = GetCurrentOpenNode();
    if (open == nullptr || !open->SetAttribute(attribute)) delete attribute;
  }
  AGeometryItemFactory* GetGeometryItemFactory() override { return this; }
  void AddGeometry(AGeometryItem* item) override {
    if (GeoNode* open = GetCurrentOpenNode()) return open->AddGeometry(item);
    delete item;
  }
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
  bool Open(GeoNode* node, const std::wstring* name = nullptr) {
    if (node == nullptr) return false;
    if (name != nullptr) node->SetName(*name);
    openNodeStack.push_back(node);
    return true;
  }
  std::unique_ptr<ViewObjectManager> viewObjects;
  std::unique_ptr<AHighlightStrategy> ownedHighlightStrategy;
};

}  // namespace NimboTest

#endif
