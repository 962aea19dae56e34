// A bounding-volume hierarchy over primitives known only by their boxes:
// built once (binned surface-area heuristic), stored as a flat depth-first
// node array, and walked front to back by a ray. TriangleBvh, SegmentBvh and
// PointBvh keep their primitives in PrimitiveOrder() and test the leaves.
#ifndef NIMBO_HOST_KIVVIZOPENGL_DETAIL_BVH_H
#define NIMBO_HOST_KIVVIZOPENGL_DETAIL_BVH_H

#include <array>
#include <cstdint>
#include <limits>
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

  // Parts this small always become leaves: splitting them further saves
  // less in primitive tests than the extra nodes cost to build and visit.
  static constexpr std::uint32_t kMinLeafSize = 4;
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

  std::span<const Node> Nodes() const { return nodes; }
  // Primitive ids in leaf order.
  std::span<const std::uint32_t> PrimitiveOrder() const { return order; }
  // The empty box when there are no primitives.
  Aabb Bounds() const { return nodes.empty() ? Aabb() : nodes.front().bounds; }

  // The box padding for primitives accepted within `tolerance`: the
  // tolerance plus the rounding that computing a padded face in float can
  // take off it at this hierarchy's coordinate magnitude.
  float PaddingFor(float tolerance) const;

  // Calls visitLeaf(first, count, bound) -> new bound for every leaf whose
  // box, grown by `padding`, the ray enters at or before `bound` (give or
  // take float rounding, which errs towards visiting); nearer leaves come
  // first, so the bound shrinks quickly. A leaf entered exactly at the bound
  // is still visited, so a visitor can break ties between equally near hits.
  template <typename LeafVisitor>
  void Traverse(const Ray& ray, float padding, float bound, LeafVisitor&& visitLeaf) const;

 private:
  // Box tests accept entries up to a few ulps beyond the bound: a box
  // entry computed in float may round above the exact hit distance of a
  // primitive on its face.
  static float Widened(float bound) { return bound * Aabb::kExitWidening; }

  std::vector<Node> nodes;
  std::vector<std::uint32_t> order;
};

template <typename LeafVisitor>
void Bvh::Traverse(const Ray& ray, float padding, float bound, LeafVisitor&& visitLeaf) const {
  if (nodes.empty() || !ray.IsValid() || !(bound >= 0.0f)) {
    return;
  }
  // The entry of a box, or infinity when the ray misses it or enters it
  // beyond the bound.
  const auto enter = [&](const Node& node, float limit) {
    RayInterval interval{0.0f, std::min(Widened(limit), std::numeric_limits<float>::max())};
    return node.bounds.ClipRay(ray, padding, interval) ? interval.entry : std::numeric_limits<float>::infinity();
  };
  struct Pending {
    std::uint32_t node;
    float entry;
  };
  std::array<Pending, kMaxDepth + 1> stack;
  const float rootEntry = enter(nodes[0], bound);
  if (rootEntry == std::numeric_limits<float>::infinity()) {
    return;
  }
  int top = 0;
  stack[top++] = {0, rootEntry};
  while (top > 0) {
    const Pending pending = stack[--top];
    if (!(pending.entry <= Widened(bound))) {
      continue;
    }
    std::uint32_t current = pending.node;
    for (;;) {
      const Node& node = nodes[current];
      if (node.count != 0) {
        bound = visitLeaf(node.index, node.count, bound);
        break;
      }
      const std::uint32_t leftIndex = current + 1;
      const std::uint32_t rightIndex = node.index;
      const float left = enter(nodes[leftIndex], bound);
      const float right = enter(nodes[rightIndex], bound);
      const bool hitLeft = left != std::numeric_limits<float>::infinity();
      const bool hitRight = right != std::numeric_limits<float>::infinity();
      if (hitLeft && hitRight) {
        const bool leftFirst = left <= right;
        stack[top++] = leftFirst ? Pending{rightIndex, right} : Pending{leftIndex, left};
        current = leftFirst ? leftIndex : rightIndex;
      } else if (hitLeft) {
        current = leftIndex;
      } else if (hitRight) {
        current = rightIndex;
      } else {
        break;
      }
    }
  }
}

}  // namespace KivVizOpenGL::detail

#endif
