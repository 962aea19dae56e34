#include "KivVizCore/GeoNode.h"

#include <algorithm>

#include "KivVizCore/AGeometryItem.h"
#include "KivVizCore/Attribute.h"
#include "KivVizCore/AttributeVisibility.h"
#include "KivVizCore/Node.h"

GeoNode::GeoNode(std::uint64_t id, const std::wstring& name) : id(id), name(name) {}

GeoNode::~GeoNode() { ClearGeometry(); }

bool GeoNode::IsGroup() const { return false; }

Node* GeoNode::CreateChildNode(std::uint64_t) { return nullptr; }

GeoNode* GeoNode::CreateChildGeoNode(std::uint64_t) { return nullptr; }

bool GeoNode::NodeAction() {
  auto* visibility = static_cast<AttributeVisibility*>(GetAttribute(Attribute::VisibilityType));
  if (visibility == nullptr) {
    // No attribute means visible, so the first action hides the node.
    SetAttribute(new AttributeVisibility(false));
    return false;
  }
  visibility->SetVisible(!visibility->IsVisible());
  return visibility->IsVisible();
}

bool GeoNode::SetAttribute(Attribute* attribute) {
  if (attribute == nullptr) {
    return false;
  }
  const int type = attribute->GetType();
  std::unique_ptr<Attribute>& owner = type >= 0 && type < kSlottedTypes ? slotted[type] : otherAttributes[type];
  if (owner.get() != attribute) {
    owner.reset(attribute);
  }
  return true;
}

Attribute* GeoNode::FindAttribute(int type) const {
  const auto found = otherAttributes.find(type);
  return found == otherAttributes.end() ? nullptr : found->second.get();
}

bool GeoNode::RemoveAttribute(int type) {
  if (type >= 0 && type < kSlottedTypes) {
    const bool had = slotted[type] != nullptr;
    slotted[type].reset();
    return had;
  }
  return otherAttributes.erase(type) > 0;
}

std::vector<Attribute*> GeoNode::Attributes() const {
  std::vector<Attribute*> all;
  auto other = otherAttributes.begin();
  for (; other != otherAttributes.end() && other->first < 0; ++other) all.push_back(other->second.get());
  for (const auto& attribute : slotted) {
    if (attribute != nullptr) all.push_back(attribute.get());
  }
  for (; other != otherAttributes.end(); ++other) all.push_back(other->second.get());
  return all;
}

bool GeoNode::IsVisible() const {
  const auto* visibility = static_cast<const AttributeVisibility*>(GetAttribute(Attribute::VisibilityType));
  return visibility == nullptr || visibility->IsVisible();
}

void GeoNode::AddGeometry(AGeometryItem* item) {
  if (item != nullptr) {
    geometry.push_back(item);
  }
}

std::vector<std::unique_ptr<AGeometryItem>> GeoNode::TakeGeometry() {
  std::vector<std::unique_ptr<AGeometryItem>> taken;
  taken.reserve(geometry.size());
  for (AGeometryItem* item : geometry) {
    taken.emplace_back(item);
  }
  geometry.clear();
  return taken;
}

void GeoNode::ClearGeometry() {
  for (AGeometryItem* item : geometry) {
    delete item;
  }
  geometry.clear();
}

bool GeoNode::RemoveFromParents(Node* parent) {
  const auto held = Parents();
  if (parent == nullptr || std::find(held.begin(), held.end(), parent) == held.end()) {
    return false;
  }
  ForgetParent(parent);
  const auto entry = parent->children.find(id);
  if (entry != parent->children.end() && entry->second == this) {
    parent->children.erase(entry);
    parent->orderStale = true;
  }
  return true;
}

void GeoNode::AddParent(Node* parent) {
  const auto held = Parents();
  if (std::find(held.begin(), held.end(), parent) != held.end()) {
    return;
  }
  if (soleParent == nullptr && sharedParents.empty()) {
    soleParent = parent;
    return;
  }
  if (soleParent != nullptr) {
    sharedParents.push_back(soleParent);
    soleParent = nullptr;
  }
  sharedParents.push_back(parent);
}

void GeoNode::ForgetParent(Node* parent) {
  if (soleParent == parent) {
    soleParent = nullptr;
    return;
  }
  std::erase(sharedParents, parent);
  if (sharedParents.size() == 1) {
    soleParent = sharedParents.front();
    sharedParents = {};
  }
}
