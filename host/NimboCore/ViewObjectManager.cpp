#include "NimboCore/ViewObjectManager.h"

#include <iterator>
#include <stdexcept>
#include <vector>

#include "KivVizCore/Node.h"
#include "NimboCore/AMarkupViewObject.h"
#include "NimboCore/AViewObject.h"

namespace {

Node* TakeOrCreateNode(Node* root) {
  if (root == nullptr) {
    throw std::invalid_argument("ViewObjectManager::ViewObjectManager: the root is null");
  }
  if (GeoNode* existing = root->GetChild(ViewObjectManager::NodeId)) {
    if (!existing->IsGroup()) {
      throw std::invalid_argument("ViewObjectManager::ViewObjectManager: the root's child 60000 is not a group");
    }
    return static_cast<Node*>(existing);
  }
  Node* node = root->CreateChildNode(ViewObjectManager::NodeId);
  node->SetName(L"ViewObjects");
  return node;
}

}  // namespace

ViewObjectManager::ViewObjectManager(Node* root) : node(TakeOrCreateNode(root)) {}

ViewObjectManager::~ViewObjectManager() {
  // One at a time, in name order; an object's destructor may still remove
  // its nodes from ours, which the root keeps alive until after us.
  while (!objects.empty()) {
    objects.erase(objects.begin());
  }
}

std::size_t ViewObjectManager::Count() const { return objects.size(); }

AViewObject* ViewObjectManager::operator[](std::size_t index) const {
  if (index >= objects.size()) {
    return nullptr;
  }
  return std::next(objects.begin(), static_cast<std::ptrdiff_t>(index))->second.get();
}

AViewObject* ViewObjectManager::Get(const std::string& name) const {
  const auto found = objects.find(name);
  return found != objects.end() ? found->second.get() : nullptr;
}

bool ViewObjectManager::Add(const std::string& name, AViewObject* object) {
  if (object == nullptr || objects.contains(name)) {
    return false;
  }
  for (const auto& entry : objects) {
    if (entry.second.get() == object) {
      return false;
    }
  }
  objects.emplace(name, std::unique_ptr<AViewObject>(object));
  object->SetId(nextId++);
  return true;
}

bool ViewObjectManager::Remove(AViewObject* object) {
  for (auto entry = objects.begin(); entry != objects.end(); ++entry) {
    if (entry->second.get() == object) {
      // The caller owns it again.
      static_cast<void>(entry->second.release());
      objects.erase(entry);
      return true;
    }
  }
  return false;
}

void ViewObjectManager::Clear() {
  for (const auto& entry : objects) {
    entry.second->Clear();
  }
}

void ViewObjectManager::Display() {
  // Markups draw first, under the frame's perspective projection; the
  // others follow in name order (the axes triad leaves an orthographic
  // projection behind that the rubber band relies on).
  std::vector<AViewObject*> order;
  order.reserve(objects.size());
  for (const auto& entry : objects) {
    if (dynamic_cast<AMarkupViewObject*>(entry.second.get()) != nullptr) {
      order.push_back(entry.second.get());
    }
  }
  for (const auto& entry : objects) {
    if (dynamic_cast<AMarkupViewObject*>(entry.second.get()) == nullptr) {
      order.push_back(entry.second.get());
    }
  }
  for (AViewObject* object : order) {
    if (!object->IsVisible()) {
      continue;
    }
    if (!object->IsGeometryCreated()) {
      object->createGeometry();
    }
    object->draw();
  }
}
