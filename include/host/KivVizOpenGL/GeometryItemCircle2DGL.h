// A circle of `radius` around the origin in the XY plane: an unlit line loop
// in the item's colour. Restores any GL state it changes.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZOPENGL_GEOMETRYITEMCIRCLE2DGL_H
#define NIMBO_INCLUDE_HOST_KIVVIZOPENGL_GEOMETRYITEMCIRCLE2DGL_H

#include <cstdint>

#include "KivVizCore/AGeometryItem.h"
#include "KivVizOpenGL/Export.h"

class KIVVIZOPENGL_EXPORT GeometryItemCircle2DGL : public AGeometryItem {
 public:
  explicit GeometryItemCircle2DGL(std::uint64_t id);

  void Display(AView3DAdapter* adapter) override;
  bool GetBoundingBox(float minimum[3], float maximum[3]) const override;

  // Written by its owner before each draw.
  float radius = 1.0f;
  int segments = 64;
};

#endif
