#include "KivVizCore/Node.h"

Node::Node(std::uint64_t id, const std::wstring& name) : GeoNode(id, name) {}

Node::~Node() {
  // Release the children the way DeleteChildById does: a child shared with
  // another group lives on there. Groups left without a parent give up their
  // own children before they are deleted, so that no destructor recurses:
  // deep hierarchies would overflow the stack.
  std::vector<GeoNode*> orphans;
  ReleaseChildren(orphans);
  while (!orphans.empty()) {
    GeoNode* orphan = orphans.back();
    orphans.pop_back();
    if (auto* group = dynamic_cast<Node*>(orphan)) {
      group->ReleaseChildren(orphans);
    }
    delete orphan;
  }
}

void Node::ReleaseChildren(std::vector<GeoNode*>& orphans) {
  for (const auto& [childId, child] : children) {
    child->ForgetParent(this);
    if (child->Parents().empty()) {
      orphans.push_back(child);
    }
  }
  ClearChildren();
}

Node* Node::CreateRoot() { return new Node(RootId, L"root"); }

bool Node::IsGroup() const { return true; }

Node* Node::CreateChildNode(std::uint64_t id) {
  if (!IsFreeId(id)) {
    return nullptr;
  }
  auto* child = new Node(id);
  Link(child);
  return child;
}

GeoNode* Node::CreateChildGeoNode(std::uint64_t id) {
  if (!IsFreeId(id)) {
    return nullptr;
  }
  auto* child = new GeoNode(id);
  Link(child);
  return child;
}

GeoNode* Node::GetChild(std::uint64_t id) const {
  const auto found = children.find(id);
  return found == children.end() ? nullptr : found->second;
}

bool Node::AddChild(GeoNode* child) {
  if (child == nullptr || child == this || !IsFreeId(child->GetId())) {
    return false;
  }
  Link(child);
  return true;
}

bool Node::IsFreeId(std::uint64_t id) const {
  // Ascending builds never need to search.
  return children.empty() || children.rbegin()->first < id || !children.contains(id);
}

void Node::Link(GeoNode* child) {
  const std::uint64_t childId = child->GetId();
  // Scenes are mostly built in ascending id order: then the new entry goes
  // at the end of the map, where the hint makes inserting it cheap.
  const bool last = children.empty() || children.rbegin()->first < childId;
  children.emplace_hint(last ? children.end() : children.lower_bound(childId), childId, child);
  if (!orderStale && last) {
    ordered.emplace_back(childId, child);
  } else {
    orderStale = true;
  }
  child->AddParent(this);
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

ChildList Node::Children() const {
  if (orderStale) {
    ordered.assign(children.begin(), children.end());
    orderStale = false;
  }
  return ChildList(ordered.data(), ordered.size());
}
