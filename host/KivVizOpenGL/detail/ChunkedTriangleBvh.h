// Ray picking on a mesh already split into spatial chunks, through a
// two-level hierarchy whose chunks each get a TriangleBvh when a ray first
// reaches them. It answers exactly as a TriangleBvh over the mesh before
// chunking would.
#ifndef NIMBO_HOST_KIVVIZOPENGL_DETAIL_CHUNKEDTRIANGLEBVH_H
#define NIMBO_HOST_KIVVIZOPENGL_DETAIL_CHUNKEDTRIANGLEBVH_H

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
#include "TwoLevelHierarchy.h"

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
  std::size_t BuiltCount() const { return levels.BuiltCount(); }

 private:
  const ChunkedMesh& mesh;
  // Chunk boxes: each chunk's finite triangles', which alone can be hit.
  TwoLevelHierarchy<TriangleBvh> levels;
};

}  // namespace KivVizOpenGL::detail

#endif
