#include "TestView.h"

#include "KivVizCore/Attribute.h"
#include "KivVizCore/Node.h"
#include "TestGeometryItem.h"

namespace NimboTest {

TestView::TestView() : AView3D("TestView") {
  rootNode = Node::CreateRoot();
  viewObjects = std::make_unique<ViewObjectManager>(rootNode);
  itemFactory = std::make_unique<TestGeometryItemFactory>();
  AView3DControllerAdapter::SetView3D(this);
  AView3DAdapter::SetView3D(this);
}

TestView::~TestView() {
  highlightStrategy = nullptr;
  // View objects remove their nodes from the root's subtree: before the root.
  viewObjects.reset();
  openNodeStack.clear();
  delete rootNode;
  rootNode = nullptr;
}

bool TestView::Open(GeoNode* node, const std::wstring* name) {
  if (node == nullptr) return false;
  if (name != nullptr) node->SetName(*name);
  openNodeStack.push_back(node);
  return true;
}

bool TestView::OpenNode(const std::uint64_t& id) {
  if (id == Node::RootId && openNodeStack.empty()) return Open(rootNode);
  GeoNode* searched = openNodeStack.empty() ? rootNode : openNodeStack.back();
  return Open(searched->IsGroup() ? static_cast<Node*>(searched)->GetChild(id) : nullptr);
}

bool TestView::CreateNode(const std::uint64_t& id, const std::wstring& name) {
  if (id == Node::RootId && openNodeStack.empty()) return Open(rootNode, &name);
  return Open(openNodeStack.empty() ? nullptr : openNodeStack.back()->CreateChildNode(id), &name);
}

bool TestView::CreateGeoNode(const std::uint64_t& id, const std::wstring& name) {
  return Open(openNodeStack.empty() ? nullptr : openNodeStack.back()->CreateChildGeoNode(id), &name);
}

void TestView::SetNodeAttribute(Attribute* attribute) {
  GeoNode* open = GetCurrentOpenNode();
  if (open == nullptr || !open->SetAttribute(attribute)) delete attribute;
}

void TestView::AddGeometry(AGeometryItem* item) {
  if (GeoNode* open = GetCurrentOpenNode()) {
    open->AddGeometry(item);
  } else {
    delete item;
  }
}

}  // namespace NimboTest
