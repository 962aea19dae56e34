// The two-level hierarchy for picking a line set or point cloud already
// split into spatial chunks: each chunk's own over its primitives.
#ifndef NIMBO_HOST_KIVVIZOPENGL_DETAIL_CHUNKHIERARCHIES_H
#define NIMBO_HOST_KIVVIZOPENGL_DETAIL_CHUNKHIERARCHIES_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "Aabb.h"
#include "Bvh.h"
#include "SpatialChunker.h"
#include "TwoLevelHierarchy.h"

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
  const Bvh& Chunks() const { return levels.Chunks(); }
  // The box of a chunk's primitives with finite corners, which alone can be
  // hit.
  const Aabb& BoxOf(std::uint32_t chunk) const { return levels.BoxOf(chunk); }
  // The box of every primitive with finite corners: what one hierarchy over
  // all of them would have.
  const Aabb& Bounds() const { return levels.Bounds(); }
  // Over the chunk's primitives, numbered from 0 within the chunk.
  const Bvh& Of(std::uint32_t chunk) const { return levels.Of(chunk); }

  // How many chunks have their own hierarchy so far.
  std::size_t BuiltCount() const { return levels.BuiltCount(); }

 private:
  // The box of a primitive, empty when a corner is not finite.
  Aabb PrimitiveBox(std::size_t primitive) const;

  const ChunkedMesh& mesh;
  std::uint32_t corners;
  TwoLevelHierarchy<Bvh> levels;
};

}  // namespace KivVizOpenGL::detail

#endif
