// The steps the overlay objects share to build their subtrees under the
// view-object manager's node, through the view's scene-building interface,
// and the arithmetic that turns a view-object id into scene ids.
#ifndef NIMBO_VIEW3DOPENGLSGPLUGIN_M_SRC_OVERLAYSUBTREE_H
#define NIMBO_VIEW3DOPENGLSGPLUGIN_M_SRC_OVERLAYSUBTREE_H

#include <cstdint>
#include <exception>
#include <ostream>
#include <string>

#include "KivVizCore/KivVizCore.h"
#include "NimboCore/Debug.h"

namespace NimboView3dOpenGLSG {

class View3dOpenGlSG;

class OverlaySubtree {
 public:
  // View-object ids are signed; scene ids take them sign-extended.
  static std::uint64_t SceneId(int id);
  // id * 1000 wrapped as 32-bit signed arithmetic wraps, then sign-extended.
  static std::uint64_t ItemId(int id);

  // Begins a scene and opens the parent node, then the object's own node
  // below it (id SceneId(objectId)), each made when missing; returns the
  // own node.
  static GeoNode* OpenOwnNode(View3dOpenGlSG& view, const GeoNode& parent, int objectId, const std::wstring& name);
  // Opens the leaf node id below the open node, made when missing.
  static void OpenGeometryNode(View3dOpenGlSG& view, std::uint64_t id);
  // Closes the own node and the parent node, and ends the scene.
  static void CloseOwnNode(View3dOpenGlSG& view);
  // Adds the item to the open geometry node, which takes it, then closes
  // that node and the own node as CloseOwnNode does.
  static void AddItemAndClose(View3dOpenGlSG& view, AGeometryItem* item);
  // Releases the object's own node from the parent node, subtree and all.
  static void DeleteOwnNode(Node* parent, int objectId);

  // Runs an overlay's geometry building; no exception gets out of it: each
  // goes to the host's diagnostic stream, named after the overlay's class.
  template <typename Body>
  static void Build(const char* overlayClass, Body&& body) {
    try {
      body();
    } catch (const std::exception& error) {
      NimboCore::dbg << "Exception in " << overlayClass << "::createGeometry(): " << error.what() << std::endl;
    } catch (...) {
      NimboCore::dbg << "Unhandled Exception in " << overlayClass << "::createGeometry()" << std::endl;
    }
  }
};

}  // namespace NimboView3dOpenGLSG

#endif
