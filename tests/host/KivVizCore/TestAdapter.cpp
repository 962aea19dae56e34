#include "TestAdapter.h"

#include "KivVizCore/GeoNode.h"
#include "KivVizCore/Node.h"

TestAdapter::TestAdapter() { rootNode = Node::CreateRoot(); }

TestAdapter::~TestAdapter() { delete rootNode; }

bool TestAdapter::OpenNode(const std::uint64_t& id) {
  if (id == Node::RootId && openNodeStack.empty()) {
    openNodeStack.push_back(rootNode);
    return true;
  }
  auto* group = dynamic_cast<Node*>(openNodeStack.empty() ? rootNode : openNodeStack.back());
  GeoNode* child = group == nullptr ? nullptr : group->GetChild(id);
  if (child != nullptr) openNodeStack.push_back(child);
  return child != nullptr;
}

bool TestAdapter::CreateNode(const std::uint64_t& id, const std::wstring& name) {
  if (id == Node::RootId && openNodeStack.empty()) {
    rootNode->SetName(name);
    openNodeStack.push_back(rootNode);
    return true;
  }
  GeoNode* child = openNodeStack.empty() ? nullptr : openNodeStack.back()->CreateChildNode(id);
  if (child == nullptr) return false;
  child->SetName(name);
  openNodeStack.push_back(child);
  return true;
}

bool TestAdapter::CreateGeoNode(const std::uint64_t& id, const std::wstring& name) {
  GeoNode* child = openNodeStack.empty() ? nullptr : openNodeStack.back()->CreateChildGeoNode(id);
  if (child == nullptr) return false;
  child->SetName(name);
  openNodeStack.push_back(child);
  return true;
}

GeoNode* TestAdapter::AddLeaf(const std::vector<std::uint64_t>& groupsThenLeaf) {
  Node* group = rootNode;
  for (std::size_t i = 0; i + 1 < groupsThenLeaf.size(); ++i) {
    GeoNode* existing = group->GetChild(groupsThenLeaf[i]);
    group = existing != nullptr ? dynamic_cast<Node*>(existing) : group->CreateChildNode(groupsThenLeaf[i]);
  }
  return group->CreateChildGeoNode(groupsThenLeaf.back());
}
