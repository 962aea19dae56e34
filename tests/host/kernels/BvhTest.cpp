#include "detail/Bvh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace KivVizOpenGL::detail {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

std::vector<Aabb> RandomBoxes(std::uint32_t seed, std::size_t count) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> position(-10.0f, 10.0f);
  std::uniform_real_distribution<float> size(0.0f, 0.5f);
  std::vector<Aabb> boxes;
  for (std::size_t i = 0; i < count; ++i) {
    const Float3 low{position(random), position(random), position(random)};
    boxes.emplace_back(low, low + Float3{size(random), size(random), size(random)});
  }
  return boxes;
}

// Walks the tree, checking each node against its parent's box, and
// collects the primitives its leaves hold in `seen`.
void CheckSubtree(const Bvh& bvh, const std::vector<Aabb>& boxes, std::uint32_t index, const Aabb& parent, int depth,
                  std::vector<std::uint32_t>& seen) {
  const auto nodes = bvh.Nodes();
  ASSERT_LT(index, nodes.size());
  ASSERT_LE(depth, Bvh::kMaxDepth);
  const Bvh::Node& node = nodes[index];
  EXPECT_TRUE(parent.Contains(node.bounds)) << "node " << index;
  if (node.count == 0) {
    ASSERT_GT(node.index, index + 1) << "the right child follows the left subtree";
    CheckSubtree(bvh, boxes, index + 1, node.bounds, depth + 1, seen);
    CheckSubtree(bvh, boxes, node.index, node.bounds, depth + 1, seen);
    return;
  }
  EXPECT_LE(node.count, Bvh::kMaxLeafSize);
  ASSERT_LE(std::size_t{node.index} + node.count, bvh.PrimitiveOrder().size());
  for (std::uint32_t i = node.index; i < node.index + node.count; ++i) {
    const std::uint32_t primitive = bvh.PrimitiveOrder()[i];
    ASSERT_LT(primitive, boxes.size());
    EXPECT_TRUE(node.bounds.Contains(boxes[primitive])) << "primitive " << primitive;
    seen.push_back(primitive);
  }
}

TEST(BvhTest, HoldsEveryFiniteBoxOnceInsideItsAncestors) {
  std::vector<Aabb> withNonFinite = RandomBoxes(3, 300);
  withNonFinite[10] = Aabb();
  withNonFinite[20] = Aabb({0, 0, 0}, {kInf, 1, 1});
  withNonFinite[30] = Aabb({-kInf, -kInf, -kInf}, {kInf, kInf, kInf});
  // Every split peels off one box, as bad as a heuristic split gets; the
  // depth must stay bounded.
  std::vector<Aabb> geometric;
  for (int i = 0; i < 1000; ++i) {
    const Float3 p{std::ldexp(1.0f, i % 120 - 60), 0, 0};
    geometric.emplace_back(p, p + Float3{0, 1, 1});
  }
  const std::vector<std::vector<Aabb>> inputs = {RandomBoxes(2, 5000), std::vector<Aabb>(3000, Aabb({0, 0, 0}, {1, 1, 1})),
                                                 geometric, withNonFinite};
  for (const std::vector<Aabb>& boxes : inputs) {
    SCOPED_TRACE(std::to_string(boxes.size()) + " boxes");
    const Bvh bvh(boxes);
    std::vector<std::uint32_t> seen;
    CheckSubtree(bvh, boxes, 0, bvh.Bounds(), 0, seen);
    std::vector<std::uint32_t> expected;
    for (std::uint32_t i = 0; i < boxes.size(); ++i) {
      if (boxes[i].IsFinite()) expected.push_back(i);
    }
    EXPECT_EQ(seen.size(), bvh.PrimitiveOrder().size());
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(expected, seen);
  }
}

TEST(BvhTest, NearestLeafComesFirstAndTheShrunkBoundSkipsTheRest) {
  // Unit boxes at x = 0, 2, 4, ..., a ray along +x from x = -1: the leaf
  // holding box 0 must come first, and once it returns a bound of 1 (box 1
  // is entered at t = 3) nothing else may be visited.
  std::vector<Aabb> boxes;
  for (int i = 0; i < 500; ++i) {
    const Float3 low{2.0f * static_cast<float>(i), 0, 0};
    boxes.emplace_back(low, low + Float3{1, 1, 1});
  }
  const Bvh bvh(boxes);
  std::vector<std::vector<std::uint32_t>> leaves;
  bvh.Traverse(Ray({-1.0f, 0.5f, 0.5f}, {1, 0, 0}), 0.0f, kInf, [&](std::uint32_t first, std::uint32_t count, float) {
    leaves.emplace_back(bvh.PrimitiveOrder().begin() + first, bvh.PrimitiveOrder().begin() + first + count);
    return 1.0f;
  });
  ASSERT_EQ(1u, leaves.size());
  EXPECT_NE(leaves[0].end(), std::find(leaves[0].begin(), leaves[0].end(), 0u));

  // Few enough boxes for the root to be the only leaf: still box-tested.
  const Bvh single(RandomBoxes(6, 3));
  ASSERT_EQ(1u, single.Nodes().size());
  int visits = 0;
  single.Traverse(Ray({20, 20, 20}, {1, 0, 0}), 0.0f, kInf, [&](std::uint32_t, std::uint32_t, float b) {
    ++visits;
    return b;
  });
  EXPECT_EQ(0, visits) << "a ray missing everything visits no leaf";
}

// A box entry computed in float may round a few ulps above the exact
// distance of a primitive on the box's face, so a leaf entered just beyond
// the bound must still be visited, or a tie with a lower index would be lost.
TEST(BvhTest, LeafEnteredAnUlpBeyondTheBoundIsStillVisited) {
  // Nine identical flat boxes split into two leaves entered at the same t.
  const Aabb flat({0, 0, 0.3f}, {1, 1, 0.3f});
  const Bvh bvh(std::vector<Aabb>(9, flat));
  ASSERT_GT(bvh.Nodes().size(), 1u);
  const Ray ray({0.1f, 0.7f, 1.9f}, {0.3f, -0.2f, -1.3f});
  const float entry = flat.IntersectRay(ray, kInf)->entry;
  int leaves = 0;
  bvh.Traverse(ray, 0.0f, kInf, [&](std::uint32_t, std::uint32_t, float) {
    ++leaves;
    return std::nextafter(entry, 0.0f);
  });
  EXPECT_EQ(2, leaves);
}

}  // namespace
}  // namespace KivVizOpenGL::detail
