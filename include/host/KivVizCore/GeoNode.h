// A node of the scene graph: id, name, filter id, attributes by type and, for
// a leaf, geometry items. A node may be held by several group nodes at once
// (Parents); the group nodes hold it, nobody else does.
//
// Ownership: the node owns its attributes and geometry items. Its lifetime is
// ruled by its parents (see Node): it is deleted when its last parent releases
// it. Deleting a node never edits its parents' child maps, so whoever deletes
// a node directly must drop it from those maps himself.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZCORE_GEONODE_H
#define NIMBO_INCLUDE_HOST_KIVVIZCORE_GEONODE_H

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "HostExtensions.h"
#include "KivVizCore/Export.h"
#include "KivVizCore/KivVizCore.h"

class KIVVIZCORE_EXPORT GeoNode {
 public:
  explicit GeoNode(std::uint64_t id, const std::wstring& name = std::wstring());
  virtual ~GeoNode();
  GeoNode(const GeoNode&) = delete;
  GeoNode& operator=(const GeoNode&) = delete;

  // True for a Node, which holds children instead of geometry.
  virtual bool IsGroup() const;
  // Create, attach and return a child; null when the child cannot be made:
  // on a leaf, or when a child with that id exists.
  virtual Node* CreateChildNode(std::uint64_t id);
  virtual GeoNode* CreateChildGeoNode(std::uint64_t id);
  // Toggles the visibility attribute (made when absent) and returns the new
  // visibility.
  virtual bool NodeAction();

  std::uint64_t GetId() const { return id; }
  const std::wstring& Name() const { return name; }
  void SetName(const std::wstring& value) { name = value; }
  // Positive means filtered (the filter manager decides); 0 or less, never.
  int GetFilterId() const { return filterId; }
  void SetFilterId(int value) { filterId = value; }

  // Takes ownership and replaces (deletes) an attribute of the same type.
  // False for null, with nothing changed.
  bool SetAttribute(Attribute* attribute);
  // Null when the node has no attribute of that type. The common types live
  // in slots in the node itself: frames ask for them on every node, and
  // scenes are built without a map entry per attribute.
  Attribute* GetAttribute(int type) const {
    return type >= 0 && type < kSlottedTypes ? slotted[type].get() : FindAttribute(type);
  }
#if NIMBO_HOST_EXTENSIONS
  // Ours, beyond the host's nodes.
  bool RemoveAttribute(int type);
  // Every attribute, in ascending type order.
  std::vector<Attribute*> Attributes() const;
  // The value of the visibility attribute; true without one.
  bool IsVisible() const;
#endif

  // Takes ownership; null is ignored.
  void AddGeometry(AGeometryItem* item);
  const std::vector<AGeometryItem*>& Geometry() const { return geometry; }
#if NIMBO_HOST_EXTENSIONS
  // Ours: hands every item over to the caller and leaves the node without
  // any.
  std::vector<std::unique_ptr<AGeometryItem>> TakeGeometry();
  void ClearGeometry();
#endif

  // The group nodes that hold this node, in the order they took it.
  std::span<Node* const> Parents() const {
    if (!sharedParents.empty()) return sharedParents;
    return {&soleParent, soleParent != nullptr ? 1u : 0u};
  }
  // Unlinks this node from one parent, both ways; the other parents keep it.
  // The node is not deleted. False when parent does not hold it.
  bool RemoveFromParents(Node* parent);

 private:
  friend class Node;
  static constexpr int kSlottedTypes = 5;
  Attribute* FindAttribute(int type) const;
  void AddParent(Node* parent);
  void ForgetParent(Node* parent);

  std::uint64_t id;
  std::wstring name;
  int filterId = 0;
  // Types 0 to 4 by type; any other type in the map.
  std::unique_ptr<Attribute> slotted[kSlottedTypes];
  std::map<int, std::unique_ptr<Attribute>> otherAttributes;
  // Owned; raw so that Geometry() can hand out the sequence as it is.
  std::vector<AGeometryItem*> geometry;
  // Nearly every node has one parent, kept without an allocation of its own;
  // a node held by several keeps them all in sharedParents instead (and
  // soleParent is then null).
  Node* soleParent = nullptr;
  std::vector<Node*> sharedParents;
};

#endif
