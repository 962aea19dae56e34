// One axis of an axes triad: an arrow along +Z from the origin (shaft and
// cone, lit, in the item's colour) with its label beyond the tip, drawn with
// the view's text manager. Restores any GL state it changes.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZOPENGL_GEOMETRYITEMAXISGL_H
#define NIMBO_INCLUDE_HOST_KIVVIZOPENGL_GEOMETRYITEMAXISGL_H

#include <cstdint>
#include <memory>
#include <string>

#include "KivVizCore/AGeometryItem.h"
#include "KivVizOpenGL/Export.h"

namespace KivVizOpenGL {
class ArrowMesh;
}

class KIVVIZOPENGL_EXPORT GeometryItemAxisGL : public AGeometryItem {
 public:
  // slices and stacks tessellate shaft and cone; length is the whole arrow,
  // shaftLength the part before the cone; the radii are the shaft's and the
  // cone's base.
  GeometryItemAxisGL(std::uint64_t id, int slices, int stacks, float length, float shaftLength, float shaftRadius,
                     float coneRadius, const std::wstring& label);
  ~GeometryItemAxisGL() override;

  void Display(AView3DAdapter* adapter) override;
  bool GetBoundingBox(float minimum[3], float maximum[3]) const override;

  const std::wstring& GetLabel() const { return label; }

 private:
  int slices;
  int stacks;
  float length;
  float shaftLength;
  float shaftRadius;
  float coneRadius;
  std::wstring label;
  // Tessellated by the first Display.
  std::unique_ptr<KivVizOpenGL::ArrowMesh> mesh;
};

#endif
