// A view's services around its view objects: the manager, markups made from
// coordinate lists, and arrows.
#ifndef NIMBO_INCLUDE_HOST_NIMBOCORE_IVIEWOBJECTPROVIDER_H
#define NIMBO_INCLUDE_HOST_NIMBOCORE_IVIEWOBJECTPROVIDER_H

#include <vector>

#include "NimboCore/Export.h"
#include "NimboCore/NimboCore.h"

class NIMBOCORE_EXPORT IViewObjectProvider {
 public:
  virtual ~IViewObjectProvider() = default;
  virtual ViewObjectManager* GetViewObjectManager() = 0;
  // One markup per coordinate list (x, y, z per point).
  virtual void AddMarkups(const std::vector<std::vector<double>>& coordinateLists) = 0;
  virtual void RemoveMarkups() = 0;
  // An arrow from start along direction (x, y, z each).
  virtual void DrawArrow(const std::vector<double>& start, const std::vector<double>& direction) = 0;
};

#endif
