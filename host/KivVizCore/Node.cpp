#include "KivVizCore/Node.h"

Node::Node(std::uint64_t id, const std::wstring& name) : GeoNode(id, name) {}

Node::~Node() {
  // Release the children the way DeleteChildById does: a child shared with
  // another group lives on there.
  for (const auto& [childId, child] : children) {
    child->ForgetParent(this);
    if (child->Parents().empty()) {
      delete child;
    }
  }
}

Node* Node::CreateRoot() { return new Node(RootId, L"root"); }

bool Node::IsGroup() const { return true; }

Node* Node::CreateChildNode(std::uint64_t id) {
  if (children.contains(id)) {
    return nullptr;
  }
  auto* child = new Node(id);
  AddChild(child);
  return child;
}

GeoNode* Node::CreateChildGeoNode(std::uint64_t id) {
  if (children.contains(id)) {
    return nullptr;
  }
  auto* child = new GeoNode(id);
  AddChild(child);
  return child;
}

GeoNode* Node::GetChild(std::uint64_t id) const {
  const auto found = children.find(id);
  return found == children.end() ? nullptr : found->second;
}

bool Node::AddChild(GeoNode* child) {
  if (child == nullptr || child == this || children.contains(child->GetId())) {
    return false;
  }
  children.emplace(child->GetId(), child);
  if (!orderStale && (ordered.empty() || ordered.back()->GetId() < child->GetId())) {
    ordered.push_back(child);
  } else {
    orderStale = true;
  }
  child->AddParent(this);
  return true;
}

bool Node::DeleteChildById(std::uint64_t id) {
  const auto found = children.find(id);
  if (found == children.end()) {
    return false;
  }
  GeoNode* child = found->second;
  children.erase(found);
  orderStale = true;
  child->ForgetParent(this);
  if (child->Parents().empty()) {
    delete child;
  }
  return true;
}

void Node::ClearChildren() {
  children.clear();
  ordered.clear();
  orderStale = false;
}

std::span<GeoNode* const> Node::OrderedChildren() const {
  if (orderStale) {
    ordered.clear();
    ordered.reserve(children.size());
    for (const auto& [childId, child] : children) {
      ordered.push_back(child);
    }
    orderStale = false;
  }
  return ordered;
}
