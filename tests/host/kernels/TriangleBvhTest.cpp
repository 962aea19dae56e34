// Triangle picking against brute force, ties, rounding and bad input.
#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

#include "TestGeometry.h"
#include "detail/TriangleBvh.h"

namespace KivVizOpenGL::detail {
namespace {

using test::ExpectSameHit;
using test::Mesh;
using test::TestRay;

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// Exactly what a loop over every triangle gives, on a dense soup, a noisy
// grid and short rays.
TEST(TriangleBvhTest, MatchesBruteForceOnRandomRays) {
  const struct {
    const char* name;
    Mesh mesh;
    float maxT;
  } cases[] = {{"DenseSoup", test::TriangleSoup(2, 3000, 0.2f), kInf},
               {"NoisyGrid", test::Grid(3, 40, 0.3f), kInf},
               {"ShortRays", test::TriangleSoup(5, 2000, 0.1f), 0.5f}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TriangleBvh bvh(c.mesh.vertices, c.mesh.indices);
    const Aabb bounds = bvh.Hierarchy().Bounds();
    std::size_t hits = 0;
    for (const TestRay& ray : test::RandomRays(7, 600, bounds.Min(), bounds.Max())) {
      const auto expected = test::BruteForceTriangle(c.mesh, ray, c.maxT);
      ExpectSameHit(expected, bvh.Intersect(ray.origin, ray.direction, c.maxT), ray);
      hits += expected ? 1 : 0;
    }
    // Half the rays are aimed into the mesh: misses alone would prove nothing.
    EXPECT_GT(hits, 40u);
  }
}

// Rays down through a flat grid's vertices and edges hit two to six triangles at
// exactly the same t; the lowest index must win, as brute force gives it.
TEST(TriangleBvhTest, TiesOnSharedEdgesVerticesAndDuplicatesGoToTheLowestIndex) {
  const Mesh grid = test::Grid(0, 16, 0.0f);
  const TriangleBvh bvh(grid.vertices, grid.indices);
  for (float y = 0.0f; y <= 16.0f; y += 0.5f) {
    for (float x = 0.0f; x <= 16.0f; x += 0.5f) {
      const TestRay ray{{x, y, 5.0f}, {0.0f, -0.0f, -1.0f}};
      const auto expected = test::BruteForceTriangle(grid, ray, 100.0f);
      ASSERT_TRUE(expected.has_value()) << x << ", " << y;
      ExpectSameHit(expected, bvh.Intersect(ray.origin, ray.direction, 100.0f), ray);
    }
  }
  Mesh mesh = test::TriangleSoup(11, 12, 0.3f);
  const auto first = static_cast<std::uint32_t>(mesh.vertices.size() / 3);
  mesh.vertices.insert(mesh.vertices.end(), {0, 0, 3, 1, 0, 3, 0, 1, 3});
  // The same triangle as triangles 12, 13 (reversed winding) and 14.
  mesh.indices.insert(mesh.indices.end(),
                      {first, first + 1, first + 2, first + 2, first + 1, first, first, first + 1, first + 2});
  const auto hit = TriangleBvh(mesh.vertices, mesh.indices).Intersect({0.25f, 0.25f, 10.0f}, {0.0f, 0.0f, -1.0f});
  ASSERT_TRUE(hit.has_value());
  EXPECT_EQ(12u, hit->triangle);
  EXPECT_FLOAT_EQ(7.0f, hit->t);
}

// The ray meets vertex p1, a corner of the box, where the float slab exit lies
// just before the entry: only the widened exit keeps the hit.
TEST(TriangleBvhTest, HitOnTheBoxCornerSurvivesSlabRounding) {
  const std::vector<float> vertices{-0x1.46451cp-2f, -0x1.47aaf8p-2f, -0x1.bdc65p-1f, 0x1.92f1a8p-2f, 0x1.74dbc8p-1f,
                                    0x1.fcbd3p-2f,   -0x1.ac4b1p-2f,  0x1.44a4ecp-1f, 0x1.edbcap-2f};
  const std::vector<std::uint32_t> indices{0, 1, 2};
  const TestRay ray{{0x1.641138p+1f, -0x1.5e2c6cp+1f, -0x1.ac78a4p+1f},
                    {-0x1.31b304p+1f, 0x1.bb635ep+1f, 0x1.ec104ap+1f}};
  const auto expected = test::BruteForceTriangle(Mesh{vertices, indices}, ray, 1e30f);
  ASSERT_TRUE(expected.has_value());
  ExpectSameHit(expected, TriangleBvh(vertices, indices).Intersect(ray.origin, ray.direction), ray);
}

TEST(TriangleBvhTest, DegenerateAndNonFiniteTrianglesAreNeverHit) {
  const std::vector<float> vertices{0, 0, 0, 1, 0, 0, 2, 0, 0, 0, 1, 0, kNaN, 0, 0, kInf, 1, 0, 0.5f, 0.5f, -1};
  // A collinear sliver, a repeated vertex, a NaN corner, an infinite corner
  // (all at z = 0), then one valid triangle further down.
  const std::vector<std::uint32_t> indices{0, 1, 2, 0, 0, 3, 0, 4, 3, 0, 5, 3, 0, 1, 6};
  const TriangleBvh bvh(vertices, indices);
  EXPECT_EQ(5u, bvh.TriangleCount());
  EXPECT_EQ(3u, bvh.Hierarchy().PrimitiveOrder().size()) << "non-finite triangles left out";
  for (const Float3 target : {Float3{1, 0, 0}, Float3{0.2f, 0.2f, 0}, Float3{0, 0.5f, 0}, Float3{0.5f, 0.1f, 0}}) {
    const auto hit = bvh.Intersect(target + Float3{0, 0, 1}, {0, 0, -1});
    if (hit) {
      EXPECT_EQ(4u, hit->triangle);
    }
  }
  EXPECT_TRUE(bvh.Intersect({0.5f, 0.1f, 1.0f}, {0, 0, -1}).has_value());
}

// Centroids apart by denormal amounts make the binning scale infinite: the
// build must still bin every triangle and hit the right one.
TEST(TriangleBvhTest, TrianglesApartByDenormalAmountsBuildAndHit) {
  std::vector<float> vertices;
  std::vector<std::uint32_t> indices;
  for (int i = 0; i < 8; ++i) {
    const float x = static_cast<float>(i) * std::numeric_limits<float>::denorm_min();
    for (const Float3 corner : {Float3{x, 0, 0}, Float3{x, 1, 0}, Float3{x, 0, 1}}) {
      vertices.insert(vertices.end(), {corner[0], corner[1], corner[2]});
    }
    for (std::uint32_t k = 0; k < 3; ++k) indices.push_back(static_cast<std::uint32_t>(indices.size()));
  }
  const TriangleBvh bvh(vertices, indices);
  EXPECT_EQ(8u, bvh.Hierarchy().PrimitiveOrder().size());
  EXPECT_FALSE(bvh.Intersect({-1.0f, 0.2f, 0.2f}, {1, 0, 0}) == std::nullopt);
}

// Scalar limits and zero directions are pinned through the items in RayHitTest.
TEST(TriangleBvhTest, NaNRaysAndEmptyMeshesHitNothingAndMalformedArraysThrow) {
  const std::vector<float> vertices{0, 0, 0, 1, 0, 0, 0, 1, 0};
  const std::vector<std::uint32_t> triangle{0, 1, 2};
  const TriangleBvh bvh(vertices, triangle);
  EXPECT_TRUE(bvh.Intersect({0.2f, 0.2f, 1}, {0, 0, -1}).has_value());
  EXPECT_FALSE(bvh.Intersect({0.2f, 0.2f, 1}, {0, 0, kNaN}).has_value());
  EXPECT_FALSE(bvh.Intersect({kNaN, 0.2f, 1}, {0, 0, -1}).has_value());
  EXPECT_FALSE(TriangleBvh().Intersect({0.2f, 0.2f, 1}, {0, 0, -1}).has_value());
  EXPECT_FALSE(TriangleBvh(vertices, {}).Intersect({0.2f, 0.2f, 1}, {0, 0, -1}).has_value());
  const std::vector<std::uint32_t> outOfRange{0, 1, 3};
  EXPECT_THROW(TriangleBvh(std::span(vertices).first(8), triangle), std::invalid_argument);
  EXPECT_THROW(TriangleBvh(vertices, std::span(triangle).first(2)), std::invalid_argument);
  EXPECT_THROW(TriangleBvh(vertices, outOfRange), std::invalid_argument);
}

}  // namespace
}  // namespace KivVizOpenGL::detail
