// The scene-building interface of a 3D view: open, create, fill, close and
// query the nodes under the view's root, pick and mark them. The order of the
// virtual operations is part of the host's binary contract.
//
// The adapter keeps the scene state that its operations share: the root, the
// stack of open nodes (its back is the current open node; entries do not own
// their nodes), the filter manager and the highlight strategy. The view fills
// and owns the root, the filter manager and the highlight strategy; the
// adapter never deletes them. It owns its libraries: named groups of reusable
// subtrees that scene nodes reference.
//
// Operations a view supplies itself are pure here; the others are the
// adapter's own and work on the state above. Where they walk a path node by
// node (OpenNodes, CloseNodeAndOptimize) they go through the virtual
// OpenNode and CloseNode, so that a view's rules apply.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZCORE_AVIEW3DADAPTER_H
#define NIMBO_INCLUDE_HOST_KIVVIZCORE_AVIEW3DADAPTER_H

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "HostExtensions.h"
#include "KivVizCore/Export.h"
#include "KivVizCore/KivVizCore.h"

class KIVVIZCORE_EXPORT AView3DAdapter {
 public:
  AView3DAdapter(const AView3DAdapter&) = delete;
  AView3DAdapter& operator=(const AView3DAdapter&) = delete;

  /*  0 */ virtual ~AView3DAdapter();
  /*  1 */ virtual void SetView3D(IView3D* view);
  // The view given to SetView3D.
  /*  2 */ virtual IView3D* GetView3D();
  /*  3 */ virtual std::string GetName() const = 0;
  /*  4 */ virtual void BeginScene(GeoNode* node) = 0;
  /*  5 */ virtual void EndScene() = 0;
  /*  6 */ virtual void ReservedOperation1() = 0;
  /*  7 */ virtual void ReservedOperation2() = 0;
  /*  8 */ virtual bool OpenNode(const std::uint64_t& id) = 0;
  // Opens every id of the path in turn; when one fails, closes what it opened
  // and returns false. An empty path opens nothing and gives false.
  /*  9 */ virtual bool OpenNodes(const RenderId& path);
  // Links the node at path as a further child of the open group node, which
  // then shares it. False, with nothing changed, when either is missing, the
  // open node is a leaf, the id is taken there, the link would make a
  // cycle, or the node is the root or in the overlays' subtree.
  /* 10 */ virtual bool AddReference(const RenderId& path);
  /* 11 */ virtual void CloseNode() = 0;
  /* 12 */ virtual void CloseAllNodes() = 0;
  // Closes the current node; a group left without children or geometry is
  // then removed from the node it was opened in.
  /* 13 */ virtual void CloseNodeAndOptimize();
  /* 14 */ virtual bool CreateNode(const std::uint64_t& id, const std::wstring& name) = 0;
  /* 15 */ virtual bool CreateGeoNode(const std::uint64_t& id, const std::wstring& name) = 0;
  // Releases the node at path from the node above it on the path (deleting
  // it when no other group holds it). False for the root, for a missing
  // node, for the overlays' subtree, and while the node or a node below it
  // is open.
  /* 16 */ virtual bool DeleteNode(const RenderId& path);
  // The same for the child with that id of the current open node, or of the
  // root while nothing is open.
  /* 17 */ virtual bool DeleteNode(const std::uint64_t& id);
  /* 18 */ virtual Node* GetRootNode() = 0;
  // Resolves a path as OpenNode opens it from an empty stack: a first id 1
  // is the root, any other first id a child of the root. Null when missing.
  /* 19 */ virtual GeoNode* GetNode(const RenderId& path);
  // The back of the open-node stack; null when nothing is open.
  /* 20 */ virtual GeoNode* GetCurrentOpenNode();
  // Copies every attribute of source onto the open node, replacing those of
  // the same type.
  /* 21 */ virtual void CopyNodeAttributesFrom(GeoNode& source);
  // Moves source's geometry items to the end of the open node's.
  /* 22 */ virtual void TransferNodeGeometryFrom(GeoNode& source);
  // Colour attribute of the open node; opaque exactly for alpha 255.
  /* 23 */ virtual void SetColor(const RGBAColor& color);
  /* 24 */ virtual void SetFilterId(const int& filterId);
  // Opens the library of that name (made when new) as the current node, so
  // that the following calls build its content. False for an empty name or
  // while a library is open.
  /* 25 */ virtual bool OpenLibrary(const std::string& name);
  // Closes every node opened since OpenLibrary, and the library itself.
  /* 26 */ virtual void CloseLibrary();
  // Creates the group child id under the open group node and links the
  // library's node libraryNodeId below it, shared: every reference draws the
  // same content, each under its own node (which may carry a transform).
  // False, with nothing changed, when any of them is missing or the id is
  // taken. The new node is not opened.
  /* 27 */ virtual bool AddLibraryReference(const std::uint64_t& id, const std::string& library,
                                            const std::uint64_t& libraryNodeId);
  // The tree under the root as text, one node a line, indented by depth. With
  // details, each line also lists the node's attributes and item count.
  /* 28 */ virtual void GetSceneStructure(std::string& text, bool details);
  /* 29 */ virtual std::string GetStatistics() = 0;
  /* 30 */ virtual void SetNodeAttribute(Attribute* attribute) = 0;
  /* 31 */ virtual AGeometryItemFactory* GetGeometryItemFactory() = 0;
  /* 32 */ virtual void AddGeometry(AGeometryItem* item) = 0;
  /* 33 */ virtual bool ApplyNodeAction(const RenderId& path) = 0;
  /* 34 */ virtual void ClearAll() = 0;
  // Releases the children and deletes the geometry items of the node at
  // path; the node and its attributes stay. Nothing happens while a node
  // below it is open, nor in the overlays' subtree; the root keeps it.
  /* 35 */ virtual void Clear(const RenderId& path);
  /* 36 */ virtual RenderingOptions* GetDisplayOptions() = 0;
  /* 37 */ virtual bool PickPoint(int x, int y, float& px, float& py, float& pz) = 0;
  // Casts the ray through the visible scene under the root (filters,
  // visibility and transforms honoured, the overlay subtree left out) and
  // writes the path of the nearest hit into picked. False, picked unchanged,
  // when nothing is hit.
  /* 38 */ virtual bool PickVisual(const Ray& ray, RenderId& picked);
  /* 39 */ virtual bool PickVisualAt(const int& x, const int& y, RenderId& picked) = 0;
  /* 40 */ virtual void Highlight(const std::vector<RenderId>& paths) = 0;
  /* 41 */ virtual bool Highlight(const RenderId& path) = 0;
  // Whether the highlight strategy holds a mark for path.
  /* 42 */ virtual bool IsHighlighted(const RenderId& path);
  /* 43 */ virtual void UnHighlight() = 0;
  /* 44 */ virtual bool UnHighlight(const RenderId& path) = 0;
  /* 45 */ virtual void Select(const RenderId& path) = 0;
  /* 46 */ virtual void UnSelect() = 0;
  /* 47 */ virtual bool UnSelect(const RenderId& path) = 0;
  /* 48 */ virtual void Convert(const RenderId& path, EntityId& entity) = 0;

#if NIMBO_HOST_EXTENSIONS
  // Ours: the overlay subtree's id under the root; scene passes and picking
  // leave it out.
  static constexpr std::uint64_t OverlayNodeId = 60000;
#endif

 protected:
  AView3DAdapter();

#if NIMBO_HOST_EXTENSIONS
  // Ours: deletes every library; nodes of the scene that reference library
  // content keep it alive.
  void ClearLibraries();
#endif

  Node* rootNode = nullptr;
  AFilterManager* filterManager = nullptr;
  AHighlightStrategy* highlightStrategy = nullptr;
  std::deque<GeoNode*> openNodeStack;

 private:
  IView3D* view3D = nullptr;
  std::map<std::string, std::unique_ptr<Node>> libraries;
  // The library being built, and the stack depth below its node.
  Node* openLibrary = nullptr;
  std::size_t libraryStackDepth = 0;
};

#endif
