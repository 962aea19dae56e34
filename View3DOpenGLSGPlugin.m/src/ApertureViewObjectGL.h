// The pick aperture: a black circle of ViewOpRayPick::APERTURE pixels around
// the pointer, drawn over the scene while the controller reports a pointer
// position and hidden by the operations that take the pointer elsewhere.
#ifndef NIMBO_VIEW3DOPENGLSGPLUGIN_M_SRC_APERTUREVIEWOBJECTGL_H
#define NIMBO_VIEW3DOPENGLSGPLUGIN_M_SRC_APERTUREVIEWOBJECTGL_H

#include <cstdint>
#include <string>

#include "NimboCore/AViewObject.h"
#include "NimboCore/IControllerListener.h"

class GeometryItemCircle2DGL;

namespace NimboView3dOpenGLSG {

class View3dOpenGlSG;

class ApertureViewObjectGL : public AViewObject, public IControllerListener {
 public:
  // The view is not owned and outlives the object; parent is the view-object
  // manager's node. Starts hidden.
  ApertureViewObjectGL(View3dOpenGlSG* view, const std::string& name, Node* parent);
  ~ApertureViewObjectGL() override;

  void createGeometry() override;
  void deleteGeometry() override;
  // Draws with the projection that is current: the frame's perspective.
  void draw() override;

  // Throws std::invalid_argument for a type code it does not know.
  void ControllerNotify(IViewOp* op) override;

 private:
  View3dOpenGlSG* view;
  // Owned by its geometry node.
  GeometryItemCircle2DGL* circleItem;
  // Window pixels, origin top left.
  std::int32_t cursorX;
  std::int32_t cursorY;
  bool isActive;
};

}  // namespace NimboView3dOpenGLSG

#endif
