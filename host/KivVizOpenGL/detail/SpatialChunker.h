// Splits a mesh of triangles, line segments or points into spatially
// coherent chunks of bounded size, each with its own box, so that drawing and
// selection can skip the chunks that lie outside the view volume. Each
// chunk's vertices are contiguous, so a chunk draws with one call over a
// tight vertex range.
#ifndef NIMBO_HOST_KIVVIZOPENGL_DETAIL_SPATIALCHUNKER_H
#define NIMBO_HOST_KIVVIZOPENGL_DETAIL_SPATIALCHUNKER_H

#include <cstdint>
#include <span>
#include <vector>

#include "Aabb.h"

namespace KivVizOpenGL::detail {

struct MeshChunk {
  std::uint32_t firstPrimitive = 0;  // into ChunkedMesh::indices, in primitives
  std::uint32_t primitiveCount = 0;
  std::uint32_t firstVertex = 0;  // the chunk's indices refer to vertices
  std::uint32_t vertexCount = 0;  // [firstVertex, firstVertex + vertexCount)
  Aabb bounds;                    // of the chunk's primitives' vertices
};

// The input mesh rearranged chunk by chunk. A vertex shared by primitives of
// several chunks appears once in each of them.
struct ChunkedMesh {
  std::vector<float> vertices;                  // x, y, z per vertex
  std::vector<float> normals;                   // x, y, z per vertex; empty when none were given
  std::vector<std::uint32_t> indices;           // corners of each primitive, into `vertices`
  std::vector<std::uint32_t> sourcePrimitives;  // input primitive of each primitive
  std::vector<std::uint32_t> sourceVertices;    // input vertex of each vertex
  std::vector<MeshChunk> chunks;
};

class SpatialChunker {
 public:
  // Primitives of `cornersPerPrimitive` indices each: 3 for triangles, 2 for
  // line segments, 1 for points. Throws std::invalid_argument for a limit of
  // zero or a corner count other than 1, 2 or 3.
  SpatialChunker(std::uint32_t maxPrimitivesPerChunk, std::uint32_t cornersPerPrimitive);

  // Halves the primitives at the median of their centroids along the longest
  // axis, recursively, until every part has at most the limit. The result
  // depends only on the input: equal centroids are ordered by primitive
  // index and, within a chunk, primitives and vertices keep their input
  // order. `normals` is empty or has the size of `vertices`. Throws
  // std::invalid_argument for a vertex array that is not whole points, an
  // index array that is not whole primitives, mismatched normals or an index
  // out of range.
  ChunkedMesh Split(std::span<const float> vertices, std::span<const float> normals,
                    std::span<const std::uint32_t> indices) const;

 private:
  std::uint32_t maxPrimitivesPerChunk;
  std::uint32_t cornersPerPrimitive;
};

}  // namespace KivVizOpenGL::detail

#endif
