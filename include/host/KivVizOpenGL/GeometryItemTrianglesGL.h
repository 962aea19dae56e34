// A lit triangle mesh with per-vertex normals, drawn from vertex arrays in the
// colour it finds (or its own). It skips drawing when its box lies wholly
// outside the current view volume. A big mesh is split into chunks by the
// first pass that sees only part of it, and then skips each chunk the same
// way: spatial chunks in selection passes, runs in its own order in frames.
// RayHit is exact and uses a bounding-volume hierarchy built on first use;
// on a big mesh, one over its spatial chunks, each chunk's own built when a
// ray first reaches it. A hatch colour, set by the highlight strategy for a
// selection, draws stripes over the mesh in frames (not in selection passes)
// so that its own colour still shows between them.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZOPENGL_GEOMETRYITEMTRIANGLESGL_H
#define NIMBO_INCLUDE_HOST_KIVVIZOPENGL_GEOMETRYITEMTRIANGLESGL_H

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "KivVizCore/AGeometryItem.h"
#include "KivVizOpenGL/Export.h"

namespace KivVizOpenGL {
class PrimitiveChunks;
namespace detail {
class ChunkedTriangleBvh;
class TriangleBvh;
}  // namespace detail
}  // namespace KivVizOpenGL

class KIVVIZOPENGL_EXPORT GeometryItemTrianglesGL : public AGeometryItem {
 public:
  // Three floats per vertex and per normal, three indices per triangle.
  GeometryItemTrianglesGL(std::uint64_t id, std::vector<float> vertices, std::vector<float> normals,
                          std::vector<std::uint32_t> indices);
  ~GeometryItemTrianglesGL() override;

  void Display(AView3DAdapter* adapter) override;
  bool RayHit(const float origin[3], const float direction[3], float scalar, float hitPoint[3],
              float& parameter) const override;
  bool GetBoundingBox(float minimum[3], float maximum[3]) const override;

  const std::vector<float>& Vertices() const { return vertices; }
  const std::vector<float>& Normals() const { return normals; }
  const std::vector<std::uint32_t>& Indices() const { return indices; }

  void SetHatch(const std::optional<RGBAColor>& color) { hatch = color; }
  const std::optional<RGBAColor>& Hatch() const { return hatch; }

 private:
  std::vector<float> vertices;
  std::vector<float> normals;
  std::vector<std::uint32_t> indices;
  float boxMinimum[3];
  float boxMaximum[3];
  std::optional<RGBAColor> hatch;
  bool IsBig() const;

  // Built by the first RayHit of a mesh that is not big.
  mutable std::unique_ptr<KivVizOpenGL::detail::TriangleBvh> bvh;
  // Spatial chunks, built by the first selection pass that sees only part of
  // a big mesh or by its first RayHit; runs, by the first frame that does.
  mutable std::unique_ptr<KivVizOpenGL::PrimitiveChunks> chunks;
  std::unique_ptr<KivVizOpenGL::PrimitiveChunks> runs;
  // Over `chunks`, built by the first RayHit of a big mesh.
  mutable std::unique_ptr<KivVizOpenGL::detail::ChunkedTriangleBvh> chunkedBvh;
};

#endif
