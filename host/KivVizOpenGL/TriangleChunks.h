// A big triangle mesh rearranged into spatial chunks for drawing: each chunk
// has its own box, and a chunk whose box lies wholly outside the view volume
// is not sent to GL at all. In a selection pass through a small pick box
// almost every chunk is skipped, while the hit records stay those of the
// whole mesh (a skipped chunk is one GL would have clipped away entirely).
// Boxes over runs of 2, 4, 8, ... neighbouring chunks let a pass skip most
// chunks without testing each.
#ifndef KIVVIZOPENGL_TRIANGLECHUNKS_H
#define KIVVIZOPENGL_TRIANGLECHUNKS_H

#include <cstdint>
#include <span>
#include <vector>

#include "detail/SpatialChunker.h"
#include "detail/ViewVolume.h"

namespace KivVizOpenGL {

class TriangleChunks {
 public:
  // Meshes with more triangles than this are worth chunking.
  static constexpr std::uint32_t ChunkedAbove = 2048;
  // Small chunks keep what a pick box draws small; drawing a whole view
  // merges neighbouring chunks into one call anyway.
  static constexpr std::uint32_t TrianglesPerChunk = 256;

  // normals: empty or one per vertex.
  TriangleChunks(std::span<const float> vertices, std::span<const float> normals,
                 std::span<const std::uint32_t> indices);

  // Draws the chunks that meet the volume from client vertex (and normal)
  // arrays; the caller saves and restores the client array state. Runs of
  // neighbouring visible chunks go to GL as one call: their indices and
  // vertices are contiguous.
  void Draw(const detail::ViewVolume& volume) const;

 private:
  struct Run {
    std::uint32_t first = 0;
    std::uint32_t count = 0;
  };
  void Visit(const detail::ViewVolume& volume, std::size_t level, std::size_t index, Run& run) const;
  void Flush(Run& run) const;

  detail::ChunkedMesh mesh;
  // levels[0] holds the chunks' boxes; levels[k][i] covers levels[k-1][2i]
  // and levels[k-1][2i+1]. The last level has one box.
  std::vector<std::vector<detail::Aabb>> levels;
};

}  // namespace KivVizOpenGL

#endif
