#include "OverlaySubtree.h"

#include "KivVizCore/GeoNode.h"
#include "KivVizCore/Node.h"
#include "View3dOpenGlSG.h"

namespace NimboView3dOpenGLSG {

std::uint64_t OverlaySubtree::SceneId(int id) { return static_cast<std::uint64_t>(static_cast<std::int64_t>(id)); }

std::uint64_t OverlaySubtree::ItemId(int id) {
  // The multiplication itself stays unsigned so that it cannot overflow.
  const auto wrapped = static_cast<std::int32_t>(static_cast<std::uint32_t>(id) * 1000u);
  return static_cast<std::uint64_t>(static_cast<std::int64_t>(wrapped));
}

GeoNode* OverlaySubtree::OpenOwnNode(View3dOpenGlSG& view, const GeoNode& parent, int objectId,
                                     const std::wstring& name) {
  const std::wstring parentName = parent.Name();
  view.BeginScene(nullptr);
  const std::uint64_t parentId = parent.GetId();
  if (!view.OpenNode(parentId)) view.CreateNode(parentId, parentName);
  const std::uint64_t ownId = SceneId(objectId);
  if (!view.OpenNode(ownId)) view.CreateNode(ownId, name);
  return view.GetCurrentOpenNode();
}

void OverlaySubtree::OpenGeometryNode(View3dOpenGlSG& view, std::uint64_t id) {
  if (!view.OpenNode(id)) view.CreateGeoNode(id, L"geometry");
}

void OverlaySubtree::CloseOwnNode(View3dOpenGlSG& view) {
  view.CloseNode();
  view.CloseNode();
  view.EndScene();
}

void OverlaySubtree::AddItemAndClose(View3dOpenGlSG& view, AGeometryItem* item) {
  view.AddGeometry(item);
  view.CloseNode();
  CloseOwnNode(view);
}

void OverlaySubtree::DeleteOwnNode(Node* parent, int objectId) {
  if (parent != nullptr) parent->DeleteChildById(SceneId(objectId));
}

}  // namespace NimboView3dOpenGLSG
