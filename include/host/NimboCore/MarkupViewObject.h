// A markup drawn over the scene: a marker at one point or a polyline through
// several, built with the view's geometry-item factory under the view-object
// manager's node and drawn with the frame's projection.
#ifndef NIMBO_INCLUDE_HOST_NIMBOCORE_MARKUPVIEWOBJECT_H
#define NIMBO_INCLUDE_HOST_NIMBOCORE_MARKUPVIEWOBJECT_H

#include "HostExtensions.h"

// Ours as a whole: no part of the host contract.
#if NIMBO_HOST_EXTENSIONS

#include <string>
#include <vector>

#include "KivVizCore/RGBAColor.h"
#include "NimboCore/AMarkupViewObject.h"

class NIMBOCORE_EXPORT MarkupViewObject : public AMarkupViewObject {
 public:
  // coordinates: x, y, z per point, at least one point. The view is not
  // owned and outlives the object.
  MarkupViewObject(AView3D* view, const std::string& name, const std::vector<double>& coordinates,
                   const RGBAColor& color);
  ~MarkupViewObject() override;

  void createGeometry() override;
  void deleteGeometry() override;
  void draw() override;
  // Markups make no further markups.
  AMarkupViewObject* CreateMarkup(IViewObjectProvider* provider, const std::vector<double>& coordinates) override;

  const std::vector<double>& Coordinates() const { return coordinates; }

 private:
  AView3D* view;
  std::vector<double> coordinates;
  RGBAColor color;
};

#endif  // NIMBO_HOST_EXTENSIONS

#endif
