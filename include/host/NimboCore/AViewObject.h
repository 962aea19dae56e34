// Base of the objects a view draws over its scene (overlays, markups). A view
// object builds its own nodes under its parent node (the view-object
// manager's node) and draws them itself. The order of the virtual operations
// is part of the host's binary contract.
#ifndef NIMBO_INCLUDE_HOST_NIMBOCORE_AVIEWOBJECT_H
#define NIMBO_INCLUDE_HOST_NIMBOCORE_AVIEWOBJECT_H

#include <string>

#include "KivVizCore/KivVizCore.h"
#include "NimboCore/Export.h"
#include "NimboCore/NimboCore.h"

class NIMBOCORE_EXPORT AViewObject {
 public:
  AViewObject(const AViewObject&) = delete;
  AViewObject& operator=(const AViewObject&) = delete;

  /* 0 */ virtual ~AViewObject();
  /* 1 */ virtual void SetIsVisible(const bool& visible);
  /* 2 */ virtual void createGeometry() = 0;
  /* 3 */ virtual void deleteGeometry() = 0;
  /* 4 */ virtual void draw() = 0;

  // Removes the object's geometry (deleteGeometry) and clears
  // isGeometryCreated, so that the next display builds it again.
  void Clear();

  const std::string& Name() const { return name; }
  int GetId() const { return id; }
  // The view-object manager gives each object it takes a fresh id.
  void SetId(int value) { id = value; }
  bool IsVisible() const { return isVisible; }
  bool IsGeometryCreated() const { return isGeometryCreated; }
  Node* GetParentNode() const { return parentNode; }
  GeoNode* GetNode() const { return node; }

 protected:
  // Visible, no geometry, no id, no nodes.
  AViewObject();
  explicit AViewObject(const std::string& name);

  int id = 0;
  std::string name;
  bool isVisible = true;
  bool isGeometryCreated = false;
  Node* parentNode = nullptr;
  GeoNode* node = nullptr;
};

#endif
