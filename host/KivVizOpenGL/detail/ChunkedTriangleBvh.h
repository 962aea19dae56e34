// Ray picking on a mesh already split into spatial chunks: a hierarchy over
// the chunks' boxes, and a TriangleBvh for each chunk built the first time a
// ray reaches it. The first pick of a big mesh then costs a few small builds
// instead of one over every triangle, and answers exactly as a TriangleBvh
// over the mesh before chunking would.
#ifndef NIMBO_KIVVIZOPENGL_DETAIL_CHUNKEDTRIANGLEBVH_H
#define NIMBO_KIVVIZOPENGL_DETAIL_CHUNKEDTRIANGLEBVH_H

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include "Bvh.h"
#include "Float3.h"
#include "SpatialChunker.h"
#include "TriangleBvh.h"

namespace KivVizOpenGL::detail {

class ChunkedTriangleBvh {
 public:
  // `mesh` must outlive the hierarchy and keep its sourcePrimitives. Throws
  // std::invalid_argument when they do not cover every triangle.
  explicit ChunkedTriangleBvh(const ChunkedMesh& mesh);
  ~ChunkedTriangleBvh();
  ChunkedTriangleBvh(const ChunkedTriangleBvh&) = delete;
  ChunkedTriangleBvh& operator=(const ChunkedTriangleBvh&) = delete;

  // As TriangleBvh::Intersect on the mesh before chunking: `triangle` is
  // the input triangle's index, and equally near hits go to the lowest.
  std::optional<TriangleHit> Intersect(const Float3& origin, const Float3& direction,
                                       float maxT = std::numeric_limits<float>::infinity()) const;

  // How many chunks have their own hierarchy so far.
  std::size_t BuiltChunkCount() const;

 private:
  const TriangleBvh& ChunkHierarchy(std::uint32_t chunk) const;

  const ChunkedMesh& mesh_;
  // The box of each chunk's finite triangles, which alone can be hit.
  std::vector<Aabb> boxes_;
  Bvh chunks_;
  mutable std::vector<std::unique_ptr<TriangleBvh>> chunkHierarchies_;
};

}  // namespace KivVizOpenGL::detail

#endif
