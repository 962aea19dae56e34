// The axes triad: red X, green Y and blue Z arrows in the 100 x 100 pixel
// corner at the lower left of the view, seen from the main camera's
// direction so that they show how the scene is turned.
#ifndef NIMBO_VIEW3DOPENGLSGPLUGIN_M_SRC_AXESVIEWOBJECTGL_H
#define NIMBO_VIEW3DOPENGLSGPLUGIN_M_SRC_AXESVIEWOBJECTGL_H

#include <string>

#include "NimboCore/AViewObject.h"

class GeometryItemAxisGL;

namespace NimboView3dOpenGLSG {

class View3dOpenGlSG;

class AxesViewObjectGL : public AViewObject {
 public:
  // The view is not owned and outlives the object; the parent node is its
  // view-object manager's node.
  AxesViewObjectGL(View3dOpenGlSG* view, const std::string& name);
  ~AxesViewObjectGL() override;

  void createGeometry() override;
  void deleteGeometry() override;
  // Leaves the triad's viewport and orthographic projection current.
  void draw() override;

 private:
  View3dOpenGlSG* view;
  // Owned by their geometry nodes.
  GeometryItemAxisGL* xAxisItem;
  GeometryItemAxisGL* yAxisItem;
  GeometryItemAxisGL* zAxisItem;
};

}  // namespace NimboView3dOpenGLSG

#endif
