// A bounding-volume hierarchy over primitives known only by their boxes:
// built once (binned surface-area heuristic), stored as a flat depth-first
// node array, and walked front to back by a ray. TriangleBvh, SegmentBvh and
// PointBvh keep their primitives in PrimitiveOrder() and test the leaves.
#ifndef NIMBO_KIVVIZOPENGL_DETAIL_BVH_H
#define NIMBO_KIVVIZOPENGL_DETAIL_BVH_H

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "Aabb.h"
#include "Ray.h"

namespace KivVizOpenGL::detail {

class Bvh {
 public:
  // An interior node's left child follows it in the array and `index` is
  // its right child; a leaf (count > 0) holds PrimitiveOrder()[index, index +
  // count).
  struct Node {
    Aabb bounds;
    std::uint32_t index = 0;
    std::uint32_t count = 0;
  };

  static constexpr std::uint32_t kMaxLeafSize = 8;
  // Below this depth splits follow the heuristic; deeper ones halve by count,
  // which bounds the depth (and the traversal stack) for any input.
  static constexpr int kMaxHeuristicDepth = 48;
  static constexpr int kMaxDepth = kMaxHeuristicDepth + 33;

  // Hits nothing.
  Bvh() = default;
  // Primitives whose box is empty or not finite are left out: nothing can
  // hit them.
  explicit Bvh(std::span<const Aabb> primitiveBounds);

  bool IsEmpty() const { return nodes_.empty(); }
  std::span<const Node> Nodes() const { return nodes_; }
  // Primitive ids in leaf order.
  std::span<const std::uint32_t> PrimitiveOrder() const { return order_; }
  // The empty box when there are no primitives.
  Aabb Bounds() const { return nodes_.empty() ? Aabb() : nodes_.front().bounds; }

  // Calls visitLeaf(first, count, bound) -> new bound for every leaf whose
  // box, grown by `padding`, the ray enters at or before `bound`; nearer
  // leaves come first, so the bound shrinks quickly. A leaf entered exactly
  // at the bound is still visited, so a visitor can break ties between
  // equally near hits.
  template <typename LeafVisitor>
  void Traverse(const Ray& ray, float padding, float bound, LeafVisitor&& visitLeaf) const;

 private:
  // Box tests accept entries up to a few ulps beyond the bound: a box
  // entry computed in float may round above the exact hit distance of a
  // primitive on its face.
  static float Widened(float bound) { return bound * Aabb::kExitWidening; }

  std::vector<Node> nodes_;
  std::vector<std::uint32_t> order_;
};

template <typename LeafVisitor>
void Bvh::Traverse(const Ray& ray, float padding, float bound, LeafVisitor&& visitLeaf) const {
  if (nodes_.empty()) {
    return;
  }
  struct Pending {
    std::uint32_t node;
    float entry;
  };
  std::array<Pending, kMaxDepth + 1> stack;
  int top = 0;
  if (const auto root = nodes_[0].bounds.IntersectRay(ray, Widened(bound), padding)) {
    stack[top++] = {0, root->entry};
  }
  while (top > 0) {
    const Pending pending = stack[--top];
    if (pending.entry > Widened(bound)) {
      continue;
    }
    std::uint32_t current = pending.node;
    for (;;) {
      const Node& node = nodes_[current];
      if (node.count != 0) {
        bound = visitLeaf(node.index, node.count, bound);
        break;
      }
      const std::uint32_t leftIndex = current + 1;
      const std::uint32_t rightIndex = node.index;
      const auto left = nodes_[leftIndex].bounds.IntersectRay(ray, Widened(bound), padding);
      const auto right = nodes_[rightIndex].bounds.IntersectRay(ray, Widened(bound), padding);
      if (left && right) {
        const bool leftFirst = left->entry <= right->entry;
        stack[top++] = leftFirst ? Pending{rightIndex, right->entry} : Pending{leftIndex, left->entry};
        current = leftFirst ? leftIndex : rightIndex;
      } else if (left) {
        current = leftIndex;
      } else if (right) {
        current = rightIndex;
      } else {
        break;
      }
    }
  }
}

}  // namespace KivVizOpenGL::detail

#endif
