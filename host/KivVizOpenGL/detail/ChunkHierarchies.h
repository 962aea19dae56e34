// Bounding-volume hierarchies for picking a line set or point cloud already
// split into spatial chunks: one over the chunks' boxes, and one over each
// chunk's own primitives, built the first time a pick asks for it. The first
// pick of a big set then builds a few small hierarchies instead of one over
// every primitive.
#ifndef NIMBO_KIVVIZOPENGL_DETAIL_CHUNKHIERARCHIES_H
#define NIMBO_KIVVIZOPENGL_DETAIL_CHUNKHIERARCHIES_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "Aabb.h"
#include "Bvh.h"
#include "SpatialChunker.h"

namespace KivVizOpenGL::detail {

class ChunkHierarchies {
 public:
  // Primitives of `corners` indices each: 2 for segments, 1 for points;
  // points may come without indices, point p then being vertex p. `mesh`
  // must outlive the hierarchies. Throws std::invalid_argument when the
  // chunks do not cover the mesh's primitives.
  ChunkHierarchies(const ChunkedMesh& mesh, std::uint32_t corners);
  ~ChunkHierarchies();
  ChunkHierarchies(const ChunkHierarchies&) = delete;
  ChunkHierarchies& operator=(const ChunkHierarchies&) = delete;

  // Over the chunks' boxes; its primitives are chunk indices.
  const Bvh& Chunks() const { return chunks_; }
  // The box of a chunk's primitives with finite corners, which alone can be
  // hit.
  const Aabb& BoxOf(std::uint32_t chunk) const { return boxes_[chunk]; }
  // The box of every primitive with finite corners: what one hierarchy over
  // all of them would have.
  const Aabb& Bounds() const { return bounds_; }
  // Over the chunk's primitives, numbered from 0 within the chunk.
  const Bvh& Of(std::uint32_t chunk) const;

  // How many chunks have their own hierarchy so far.
  std::size_t BuiltCount() const;

 private:
  // The box of a primitive, empty when a corner is not finite.
  Aabb PrimitiveBox(std::size_t primitive) const;

  const ChunkedMesh& mesh_;
  std::uint32_t corners_;
  std::vector<Aabb> boxes_;
  Aabb bounds_;
  Bvh chunks_;
  mutable std::vector<std::unique_ptr<Bvh>> hierarchies_;
};

}  // namespace KivVizOpenGL::detail

#endif
