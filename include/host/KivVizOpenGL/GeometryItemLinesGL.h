// Unlit line segments drawn from vertex arrays in the colour they find (or
// their own); skipped when their box lies wholly outside the current view
// volume, and a big set partly outside it drawn in chunks, as big meshes
// are. A ray hits a segment that passes within about a pixel of it: at its
// closest approach the segment is within pickAngle (radians) as seen from
// the ray's origin. Hits go through a bounding-volume hierarchy; on a big
// set, one over its chunks, each chunk's own built when a ray first reaches
// it.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZOPENGL_GEOMETRYITEMLINESGL_H
#define NIMBO_INCLUDE_HOST_KIVVIZOPENGL_GEOMETRYITEMLINESGL_H

#include <cstdint>
#include <memory>
#include <vector>

#include "KivVizCore/AGeometryItem.h"
#include "KivVizOpenGL/Export.h"

namespace KivVizOpenGL {
class UnlitPrimitives;
}  // namespace KivVizOpenGL

class KIVVIZOPENGL_EXPORT GeometryItemLinesGL : public AGeometryItem {
 public:
  // Three floats per vertex, two indices per segment.
  GeometryItemLinesGL(std::uint64_t id, std::vector<float> vertices, std::vector<std::uint32_t> indices);
  ~GeometryItemLinesGL() override;

  void Display(AView3DAdapter* adapter) override;
  bool RayHit(const float origin[3], const float direction[3], float scalar, float hitPoint[3],
              float& parameter) const override;
  bool GetBoundingBox(float minimum[3], float maximum[3]) const override;

  const std::vector<float>& Vertices() const;
  const std::vector<std::uint32_t>& Indices() const;

  float pickAngle = 0.003f;

 private:
  std::unique_ptr<KivVizOpenGL::UnlitPrimitives> segments;
};

#endif
