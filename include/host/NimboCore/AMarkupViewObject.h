// A view object that marks points of the scene. The view object held under
// the name "MarkupFactory" makes the others from coordinate lists.
#ifndef NIMBO_INCLUDE_HOST_NIMBOCORE_AMARKUPVIEWOBJECT_H
#define NIMBO_INCLUDE_HOST_NIMBOCORE_AMARKUPVIEWOBJECT_H

#include <string>
#include <vector>

#include "NimboCore/AViewObject.h"

class NIMBOCORE_EXPORT AMarkupViewObject : public AViewObject {
 public:
  // A new markup object for the coordinates (x, y, z per point), owned by the
  // caller; null when this object makes none.
  virtual AMarkupViewObject* CreateMarkup(IViewObjectProvider* provider, const std::vector<double>& coordinates) = 0;

 protected:
  AMarkupViewObject() = default;
  explicit AMarkupViewObject(const std::string& name) : AViewObject(name) {}
};

#endif
