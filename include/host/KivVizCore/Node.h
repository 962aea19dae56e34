// A group node: holds child nodes by id, visited in ascending id order.
//
// Ownership: AddChild links both ways (the child's Parents gains this group).
// DeleteChildById unlinks the child and deletes it when no parent is left;
// deleting a group releases each child the same way, so a child shared with
// another group lives on there. ClearChildren only empties the map: it neither
// deletes the children nor tells them, for callers that have released them
// already or that link them again.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZCORE_NODE_H
#define NIMBO_INCLUDE_HOST_KIVVIZCORE_NODE_H

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "HostExtensions.h"
#include "KivVizCore/ChildList.h"
#include "KivVizCore/GeoNode.h"

class KIVVIZCORE_EXPORT Node : public GeoNode {
 public:
#if NIMBO_HOST_EXTENSIONS
  // Ours: the root's id, which the host's library does not name.
  static constexpr std::uint64_t RootId = 1;
#endif

  explicit Node(std::uint64_t id, const std::wstring& name = std::wstring());
  ~Node() override;

  // A new root group (id 1), owned by the caller.
  static Node* CreateRoot();

  bool IsGroup() const override;
  Node* CreateChildNode(std::uint64_t id) override;
  GeoNode* CreateChildGeoNode(std::uint64_t id) override;

  using ChildEntry = ChildList::value_type;
  // The children by id, in ascending id order. A contiguous list kept beside
  // the lookup map, so that walking it (every frame, for every group)
  // touches no tree. Valid until the children change.
  ChildList Children() const;
  // Null when there is no child with that id.
  GeoNode* GetChild(std::uint64_t id) const;
  // False for null, for this node itself, or when the id is taken already.
  bool AddChild(GeoNode* child);
  // False when there is no such child.
  bool DeleteChildById(std::uint64_t id);
  void ClearChildren();

 private:
  friend class GeoNode;
  bool IsFreeId(std::uint64_t id) const;
  // Enters a child whose id is not taken yet.
  void Link(GeoNode* child);
  // Unlinks every child, adding those left without a parent to `orphans`.
  void ReleaseChildren(std::vector<GeoNode*>& orphans);
  std::map<std::uint64_t, GeoNode*> children;
  // Mirrors `children`; appended to while ids arrive in ascending order (as
  // scenes are built), otherwise rebuilt by the next Children.
  mutable std::vector<ChildEntry> ordered;
  mutable bool orderStale = false;
};

#endif
