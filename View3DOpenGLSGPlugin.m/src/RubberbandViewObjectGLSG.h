// The rubber band: the red, dashed selection rectangle between the pixel
// where a rubber-band drag started and the pointer, shown while the drag's
// notifications arrive and hidden by any other operation.
#ifndef NIMBO_VIEW3DOPENGLSGPLUGIN_M_SRC_RUBBERBANDVIEWOBJECTGLSG_H
#define NIMBO_VIEW3DOPENGLSGPLUGIN_M_SRC_RUBBERBANDVIEWOBJECTGLSG_H

#include <cstdint>
#include <string>

#include "NimboCore/AViewObject.h"
#include "NimboCore/IControllerListener.h"

class GeometryItemPolylineGL;

namespace NimboView3dOpenGLSG {

class View3dOpenGlSG;

class RubberbandViewObjectGLSG : public AViewObject, public IControllerListener {
 public:
  // The view is not owned and outlives the object; parent is the view-object
  // manager's node. Starts hidden.
  RubberbandViewObjectGLSG(View3dOpenGlSG* view, const std::string& name, Node* parent);
  ~RubberbandViewObjectGLSG() override;

  // Reaches the base only when the visibility changes.
  void SetIsVisible(const bool& visible) override;
  // Builds once; later calls do nothing until deleteGeometry.
  void createGeometry() override;
  void deleteGeometry() override;
  // Unprojects the corners through the projection that is current, which
  // the axes triad has left orthographic by then.
  void draw() override;

  // Throws std::invalid_argument for a type code it does not know.
  void ControllerNotify(IViewOp* op) override;

 private:
  // The closed outline, five points of x, y, z: each corner's x and y
  // unprojected, its z the camera target's z.
  void ComputeOutline(float outline[15]);

  View3dOpenGlSG* view;
  // Owned by its geometry node.
  GeometryItemPolylineGL* polylineItem;
  // Window pixels, origin top left.
  std::int32_t startX;
  std::int32_t startY;
  std::int32_t endX;
  std::int32_t endY;
  bool isActive;
};

}  // namespace NimboView3dOpenGLSG

#endif
