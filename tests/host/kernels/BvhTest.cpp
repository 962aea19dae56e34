// The hierarchy's traversal: nearest leaf first, and no leaf lost to a
// bound that rounds a few ulps short.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "detail/Bvh.h"

namespace KivVizOpenGL::detail {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

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
}

// A box entry in float may round a few ulps above a primitive on its face: a
// leaf entered just beyond the bound must be visited, or a lower-index tie is lost.
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
