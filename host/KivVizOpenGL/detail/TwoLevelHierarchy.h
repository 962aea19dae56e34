// A hierarchy over the boxes of a set's spatial chunks, and an inner one for
// each chunk, built the first time it is asked for. The first pick of a big
// set then builds a few small hierarchies instead of one over every
// primitive. Inner is the kind of a chunk's own hierarchy.
#ifndef NIMBO_HOST_KIVVIZOPENGL_DETAIL_TWOLEVELHIERARCHY_H
#define NIMBO_HOST_KIVVIZOPENGL_DETAIL_TWOLEVELHIERARCHY_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "Aabb.h"
#include "Bvh.h"

namespace KivVizOpenGL::detail {

template <typename Inner>
class TwoLevelHierarchy {
 public:
  // Builds chunk `chunk`'s own hierarchy.
  using BuildInner = std::function<std::unique_ptr<Inner>(std::uint32_t chunk)>;

  TwoLevelHierarchy() = default;
  // chunkBoxes: one per chunk, the box its hits can lie in.
  TwoLevelHierarchy(std::vector<Aabb> chunkBoxes, BuildInner buildInner)
      : boxes(std::move(chunkBoxes)), chunks(boxes), inner(boxes.size()), build(std::move(buildInner)) {
    for (const Aabb& box : boxes) {
      bounds.Merge(box);
    }
  }

  // Over the chunks' boxes; its primitives are chunk indices.
  const Bvh& Chunks() const { return chunks; }
  const Aabb& BoxOf(std::uint32_t chunk) const { return boxes[chunk]; }
  // The box of every chunk's box.
  const Aabb& Bounds() const { return bounds; }
  const Inner& Of(std::uint32_t chunk) const {
    std::unique_ptr<Inner>& built = inner[chunk];
    if (!built) {
      built = build(chunk);
    }
    return *built;
  }
  // How many chunks have their own hierarchy so far.
  std::size_t BuiltCount() const {
    return static_cast<std::size_t>(
        std::count_if(inner.begin(), inner.end(), [](const auto& built) { return built != nullptr; }));
  }

 private:
  std::vector<Aabb> boxes;
  Aabb bounds;
  Bvh chunks;
  mutable std::vector<std::unique_ptr<Inner>> inner;
  BuildInner build;
};

}  // namespace KivVizOpenGL::detail

#endif
