// Holds a view's view objects by name (ascending name order for Count,
// operator[] and Get) and draws them. It owns the objects it holds: Remove
// hands one back to the caller, the destructor deletes the rest. Its node is
// the root's child 60000, under which the objects hang their own nodes.
#ifndef NIMBO_INCLUDE_HOST_NIMBOCORE_VIEWOBJECTMANAGER_H
#define NIMBO_INCLUDE_HOST_NIMBOCORE_VIEWOBJECTMANAGER_H

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "KivVizCore/KivVizCore.h"
#include "NimboCore/Export.h"
#include "NimboCore/NimboCore.h"

class NIMBOCORE_EXPORT ViewObjectManager {
 public:
  static constexpr std::uint64_t NodeId = 60000;

  // Creates the root's child 60000, or takes the one that exists.
  explicit ViewObjectManager(Node* root);
  ~ViewObjectManager();
  ViewObjectManager(const ViewObjectManager&) = delete;
  ViewObjectManager& operator=(const ViewObjectManager&) = delete;

  Node* GetNode() const { return node; }

  std::size_t Count() const;
  // Null past the end.
  AViewObject* operator[](std::size_t index) const;
  // Null when no object has that name.
  AViewObject* Get(const std::string& name) const;
  // Takes ownership and gives the object a fresh id (1, 2, 3, ... in order of
  // adding, never reused). False, with nothing taken, for null, for an object
  // held already, or when the name is taken.
  bool Add(const std::string& name, AViewObject* object);
  // Unlinks without deleting: the caller owns the object again. False when
  // the object is not held.
  bool Remove(AViewObject* object);
  // Clears every object's geometry; the objects stay.
  void Clear();
  // Draws the visible objects: markups first, then the others in name order,
  // building geometry first where it is not created.
  void Display();

 private:
  Node* node;
  std::map<std::string, std::unique_ptr<AViewObject>> objects;
  int nextId = 1;
};

#endif
