// A big mesh of triangles, line segments or points in chunks, each with its
// own box: a chunk whose box lies wholly outside the view volume is not sent
// to GL at all, so what GL draws or selects stays that of the whole mesh (a
// skipped chunk is one GL would have clipped away entirely). Spatial chunks
// rearrange the primitives so that a pick box meets very few of them; a
// selection pass cannot tell the order apart. Chunks in the mesh's own order
// are runs of consecutive primitives, drawn in that order, so that frames
// (where blending and primitives at equal depth depend on it) come out as
// for the whole mesh. Boxes over runs of 2, 4, 8, ... neighbouring chunks let
// a pass skip most chunks without testing each.
#ifndef NIMBO_HOST_KIVVIZOPENGL_PRIMITIVECHUNKS_H
#define NIMBO_HOST_KIVVIZOPENGL_PRIMITIVECHUNKS_H

#include <windows.h>
#include <GL/gl.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "detail/SpatialChunker.h"
#include "detail/ViewVolume.h"

namespace KivVizOpenGL {

class PrimitiveChunks {
 public:
  // Meshes with more primitives than this are worth chunking.
  static constexpr std::uint32_t ChunkedAbove = 2048;
  // Small chunks keep what a pick box draws small; drawing a whole view
  // merges neighbouring chunks into one call anyway.
  static constexpr std::uint32_t PrimitivesPerChunk = 256;

  enum class Order {
    Spatial,  // rearranged copies of the arrays
    AsGiven,  // draws from the arrays given, which must outlive the chunks
  };

  // `mode` is GL_TRIANGLES, GL_LINES or GL_POINTS; points take no indices
  // (every vertex is one, in order). normals: empty or one per vertex.
  PrimitiveChunks(GLenum mode, std::span<const float> vertices, std::span<const float> normals,
                  std::span<const std::uint32_t> indices, Order order);
  // The arrays drawn from may be the chunks' own.
  PrimitiveChunks(const PrimitiveChunks&) = delete;
  PrimitiveChunks& operator=(const PrimitiveChunks&) = delete;

  // Draws the chunks that meet the volume from client vertex (and normal)
  // arrays, in chunk order; the caller saves and restores the client array
  // state. Runs of neighbouring visible chunks go to GL as one call: their
  // indices are contiguous.
  void Draw(const detail::ViewVolume& volume) const;

  // The chunks and, for spatial chunks, the rearranged arrays; for
  // triangles also each triangle's index in the arrays given. Points have no
  // indices: point p is vertex p.
  const detail::ChunkedMesh& Mesh() const { return mesh; }

  // Indices per primitive of a GL mode: 3, 2 or 1.
  static std::uint32_t CornersOf(GLenum mode);
  // Whether a mesh of this many primitives is worth chunking.
  static bool IsBig(std::size_t primitiveCount) { return primitiveCount > ChunkedAbove; }

 private:
  struct Run {
    std::uint32_t first = 0;
    std::uint32_t count = 0;
  };
  void Visit(const detail::ViewVolume& volume, std::size_t level, std::size_t index, Run& run) const;
  void Flush(Run& run) const;

  GLenum mode;
  std::uint32_t corners;
  // Holds the rearranged arrays and every chunk; the arrays stay empty
  // for chunks in the given order. Points have no indices: point p is
  // vertex p.
  detail::ChunkedMesh mesh;
  std::span<const float> drawVertices;
  std::span<const float> drawNormals;
  std::span<const std::uint32_t> drawIndices;
  // levels[0] holds the chunks' boxes; levels[k][i] covers levels[k-1][2i]
  // and levels[k-1][2i+1]. The last level has one box.
  std::vector<std::vector<detail::Aabb>> levels;
};

// An item's spatial chunks, built now when no selection pass has built them.
const PrimitiveChunks& SpatialChunksOf(GLenum mode, std::span<const float> vertices, std::span<const float> normals,
                                       std::span<const std::uint32_t> indices,
                                       std::unique_ptr<PrimitiveChunks>& spatial);

// Draws an item's arrays in the current pass from client arrays: whole while
// they are small or the view volume holds them all, otherwise through the
// chunks that the first pass needing them builds, `spatial` in selection
// passes and `runs` in frames. Points take no indices. The caller saves and
// restores the client array state.
void DrawItemArrays(GLenum mode, std::span<const float> vertices, std::span<const float> normals,
                    std::span<const std::uint32_t> indices, const detail::ViewVolume& volume, const detail::Aabb& box,
                    std::unique_ptr<PrimitiveChunks>& spatial, std::unique_ptr<PrimitiveChunks>& runs);

}  // namespace KivVizOpenGL

#endif
