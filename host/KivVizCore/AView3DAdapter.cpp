#include "KivVizCore/AView3DAdapter.h"

#include <algorithm>

#include "Implementation/SceneRayCaster.h"
#include "Implementation/SceneRelations.h"
#include "Implementation/SceneStructureWriter.h"
#include "Implementation/WideText.h"
#include "KivVizCore/AFilterManager.h"
#include "KivVizCore/AGeometryItem.h"
#include "KivVizCore/AHighlightStrategy.h"
#include "KivVizCore/Attribute.h"
#include "KivVizCore/AttributeColor.h"
#include "KivVizCore/GeoNode.h"
#include "KivVizCore/Node.h"
#include "KivVizCore/RenderId.h"
#include "KivVizCore/VectorMath.h"

using KivVizCore::Implementation::HasOpenNodeBelow;
using KivVizCore::Implementation::IsInSubtree;

namespace {

// Whether the path leads into the overlays' subtree (the root's child
// OverlayNodeId). The overlays keep pointers into it, so the host's edits
// (deleting, clearing, sharing) leave it alone; ClearAll keeps it too.
bool IsOverlayPath(const RenderId& path) {
  const std::size_t first = !path.IsEmpty() && path[0] == Node::RootId ? 1 : 0;
  return first < path.Length() && path[first] == AView3DAdapter::OverlayNodeId;
}

}  // namespace

AView3DAdapter::AView3DAdapter() = default;

AView3DAdapter::~AView3DAdapter() = default;

void AView3DAdapter::SetView3D(IView3D* view) { view3D = view; }

IView3D* AView3DAdapter::GetView3D() { return view3D; }

bool AView3DAdapter::OpenNodes(const RenderId& path) {
  if (path.IsEmpty()) {
    return false;
  }
  for (std::size_t opened = 0; opened < path.Length(); ++opened) {
    if (!OpenNode(path[opened])) {
      for (std::size_t i = 0; i < opened; ++i) {
        CloseNode();
      }
      return false;
    }
  }
  return true;
}

bool AView3DAdapter::AddReference(const RenderId& path) {
  GeoNode* target = GetNode(path);
  auto* group = dynamic_cast<Node*>(GetCurrentOpenNode());
  // Linking a node below itself would make the graph cyclic; the root, which
  // no group may hold, is refused also where it is not above the group (a
  // library's node).
  if (target == nullptr || target == rootNode || IsOverlayPath(path) || group == nullptr ||
      IsInSubtree(group, target)) {
    return false;
  }
  return group->AddChild(target);
}

void AView3DAdapter::CloseNodeAndOptimize() {
  GeoNode* closing = GetCurrentOpenNode();
  if (closing == nullptr) {
    return;
  }
  CloseNode();
  auto* group = dynamic_cast<Node*>(closing);
  auto* parent = dynamic_cast<Node*>(GetCurrentOpenNode());
  const bool stillOpen = std::find(openNodeStack.begin(), openNodeStack.end(), closing) != openNodeStack.end();
  if (group != nullptr && parent != nullptr && !stillOpen && group->Children().empty() && group->Geometry().empty() &&
      parent->GetChild(group->GetId()) == group) {
    parent->DeleteChildById(group->GetId());
  }
}

bool AView3DAdapter::DeleteNode(const RenderId& path) {
  GeoNode* node = GetNode(path);
  if (node == nullptr || node == rootNode || IsOverlayPath(path)) {
    return false;
  }
  Node* parent = rootNode;
  if (path.Length() > 1) {
    std::vector<std::uint64_t> above(path.Ids().begin(), path.Ids().end() - 1);
    parent = dynamic_cast<Node*>(GetNode(RenderId(above, path.GetOrigin())));
  }
  if (parent == nullptr || HasOpenNodeBelow(openNodeStack, node, true)) {
    return false;
  }
  return parent->DeleteChildById(node->GetId());
}

bool AView3DAdapter::DeleteNode(const std::uint64_t& id) {
  Node* parent = openNodeStack.empty() ? rootNode : dynamic_cast<Node*>(openNodeStack.back());
  GeoNode* child = parent == nullptr ? nullptr : parent->GetChild(id);
  GeoNode* overlays = rootNode == nullptr ? nullptr : rootNode->GetChild(OverlayNodeId);
  const bool inOverlays =
      overlays != nullptr &&
      (child == overlays || std::find(openNodeStack.begin(), openNodeStack.end(), overlays) != openNodeStack.end());
  if (child == nullptr || inOverlays || HasOpenNodeBelow(openNodeStack, child, true)) {
    return false;
  }
  return parent->DeleteChildById(id);
}

GeoNode* AView3DAdapter::GetNode(const RenderId& path) {
  if (path.IsEmpty() || rootNode == nullptr) {
    return nullptr;
  }
  GeoNode* node = path[0] == Node::RootId ? rootNode : rootNode->GetChild(path[0]);
  for (std::size_t i = 1; i < path.Length() && node != nullptr; ++i) {
    const auto* group = dynamic_cast<Node*>(node);
    node = group == nullptr ? nullptr : group->GetChild(path[i]);
  }
  return node;
}

GeoNode* AView3DAdapter::GetCurrentOpenNode() { return openNodeStack.empty() ? nullptr : openNodeStack.back(); }

void AView3DAdapter::CopyNodeAttributesFrom(GeoNode& source) {
  GeoNode* target = GetCurrentOpenNode();
  if (target == nullptr || target == &source) {
    return;
  }
  for (const Attribute* attribute : source.Attributes()) {
    target->SetAttribute(attribute->Clone());
  }
}

void AView3DAdapter::TransferNodeGeometryFrom(GeoNode& source) {
  GeoNode* target = GetCurrentOpenNode();
  if (target == nullptr || target == &source) {
    return;
  }
  for (auto& item : source.TakeGeometry()) {
    target->AddGeometry(item.release());
  }
}

void AView3DAdapter::SetColor(const RGBAColor& color) {
  if (GeoNode* target = GetCurrentOpenNode()) {
    target->SetAttribute(new AttributeColor(color));
  }
}

void AView3DAdapter::SetFilterId(const int& filterId) {
  if (GeoNode* target = GetCurrentOpenNode()) {
    target->SetFilterId(filterId);
  }
}

bool AView3DAdapter::OpenLibrary(const std::string& name) {
  if (name.empty() || openLibrary != nullptr) {
    return false;
  }
  auto& library = libraries[name];
  if (!library) {
    library = std::make_unique<Node>(0, KivVizCore::Implementation::WidenBytes(name));
  }
  openLibrary = library.get();
  libraryStackDepth = openNodeStack.size();
  openNodeStack.push_back(openLibrary);
  return true;
}

void AView3DAdapter::CloseLibrary() {
  if (openLibrary == nullptr) {
    return;
  }
  if (openNodeStack.size() > libraryStackDepth) {
    openNodeStack.resize(libraryStackDepth);
  }
  openLibrary = nullptr;
}

bool AView3DAdapter::AddLibraryReference(const std::uint64_t& id, const std::string& library,
                                         const std::uint64_t& libraryNodeId) {
  auto* parent = dynamic_cast<Node*>(GetCurrentOpenNode());
  const auto found = libraries.find(library);
  if (parent == nullptr || found == libraries.end() || parent->GetChild(id) != nullptr) {
    return false;
  }
  GeoNode* content = found->second->GetChild(libraryNodeId);
  // Referencing content from inside itself would make the graph cyclic.
  if (content == nullptr || IsInSubtree(parent, content)) {
    return false;
  }
  Node* reference = parent->CreateChildNode(id);
  reference->AddChild(content);
  return true;
}

void AView3DAdapter::GetSceneStructure(std::string& text, bool details) {
  text = KivVizCore::Implementation::SceneStructureWriter(details).Write(rootNode);
}

void AView3DAdapter::Clear(const RenderId& path) {
  GeoNode* node = GetNode(path);
  if (node == nullptr || IsOverlayPath(path) || HasOpenNodeBelow(openNodeStack, node, false)) {
    return;
  }
  if (auto* group = dynamic_cast<Node*>(node)) {
    std::vector<std::uint64_t> childIds;
    for (const auto& [id, child] : group->Children()) {
      if (group != rootNode || id != OverlayNodeId) childIds.push_back(id);
    }
    for (const std::uint64_t id : childIds) {
      group->DeleteChildById(id);
    }
  }
  node->ClearGeometry();
}

bool AView3DAdapter::PickVisual(const Ray& ray, RenderId& picked) {
  if (rootNode == nullptr) {
    return false;
  }
  return KivVizCore::Implementation::SceneRayCaster(filterManager, OverlayNodeId).Cast(*rootNode, ray, picked);
}

bool AView3DAdapter::IsHighlighted(const RenderId& path) {
  return highlightStrategy != nullptr && highlightStrategy->IsDone(path);
}

void AView3DAdapter::ClearLibraries() {
  // Entries of an open library must not outlive it on the stack.
  if (openLibrary != nullptr && openNodeStack.size() > libraryStackDepth) {
    openNodeStack.resize(libraryStackDepth);
  }
  openLibrary = nullptr;
  libraries.clear();
}
