// What line sets and point clouds share: their arrays and box, drawing them
// unlit from client arrays (skipped outside the view volume, chunked when big
// and partly outside it), and picking through a bounding-volume hierarchy
// over their primitives, or on a big set one over its chunks, each chunk's
// own built when a ray first reaches it.
#ifndef NIMBO_HOST_KIVVIZOPENGL_UNLITPRIMITIVES_H
#define NIMBO_HOST_KIVVIZOPENGL_UNLITPRIMITIVES_H

#include <windows.h>
#include <GL/gl.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "KivVizCore/AGeometryItem.h"
#include "PickCone.h"
#include "PrimitiveChunks.h"
#include "detail/ChunkHierarchies.h"
#include "detail/PointBvh.h"
#include "detail/SegmentBvh.h"

namespace KivVizOpenGL {

class UnlitPrimitives {
 public:
  // GL_LINES: two indices per segment; GL_POINTS: every vertex a point, no
  // indices. owner names the item's constructor in errors about the arrays.
  UnlitPrimitives(const char* owner, GLenum mode, std::vector<float> vertices, std::vector<std::uint32_t> indices);
  ~UnlitPrimitives();
  UnlitPrimitives(const UnlitPrimitives&) = delete;
  UnlitPrimitives& operator=(const UnlitPrimitives&) = delete;

  // Draws in item's own colour when it has one; points pointSize pixels wide
  // (GL's default for a size that is not positive).
  void Display(const AGeometryItem& item, float pointSize);
  bool RayHit(float pickAngle, const float origin[3], const float direction[3], float scalar, float hitPoint[3],
              float& parameter) const;
  bool GetBoundingBox(float minimum[3], float maximum[3]) const;

  const std::vector<float>& Vertices() const { return vertices; }
  const std::vector<std::uint32_t>& Indices() const { return indices; }

 private:
  std::size_t PrimitiveCount() const;
  // Through the chunks' hierarchies when mesh (the chunked set) is given.
  std::optional<float> NearestSegment(const PickCone& cone, const detail::ChunkedMesh* mesh) const;
  std::optional<float> NearestPoint(const PickCone& cone, const detail::ChunkedMesh* mesh) const;

  GLenum mode;
  std::vector<float> vertices;
  std::vector<std::uint32_t> indices;
  float boxMinimum[3];
  float boxMaximum[3];
  // Built by the first RayHit of a set that is not big; the one of the mode.
  mutable std::unique_ptr<detail::SegmentBvh> segmentBvh;
  mutable std::unique_ptr<detail::PointBvh> pointBvh;
  // Spatial chunks of a big set, built by the first selection pass that sees
  // only part of it or by its first RayHit; runs in the given order, by the
  // first frame that does.
  mutable std::unique_ptr<PrimitiveChunks> chunks;
  std::unique_ptr<PrimitiveChunks> runs;
  // Over `chunks`, built by the first RayHit of a big set.
  mutable std::unique_ptr<detail::ChunkHierarchies> hierarchies;
};

}  // namespace KivVizOpenGL

#endif
