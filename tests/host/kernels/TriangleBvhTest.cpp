// Triangle picking, through one hierarchy and through chunk hierarchies (built
// only for the chunks a ray reaches), against brute force: ties, rounding and
// bad input.
#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

#include "TestGeometry.h"
#include "detail/ChunkedTriangleBvh.h"
#include "detail/SpatialChunker.h"
#include "detail/TriangleBvh.h"

namespace KivVizOpenGL::detail {
namespace {

using test::ExpectSameHit;
using test::Mesh;
using test::TestRay;

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// Exactly what a loop over every triangle gives, with and without chunks:
// random rays through a dense soup, a noisy grid, short rays and one chunk;
// rays down through a flat grid's vertices and edges, where two to six
// triangles tie at the same t and chunks of four split the grid along its
// edges, with duplicates far apart in the index order (one reversed); a
// vertex on the box corner, where the float slab exit lies just before the
// entry; degenerate and non-finite triangles; centroids apart by denormal
// amounts (an infinite binning scale); a chunk made infinite by one vertex.
TEST(TriangleBvhTest, OneAndChunkedHierarchiesMatchBruteForce) {
  Mesh ties = test::Grid(0, 12, 0.0f);
  for (const std::uint32_t corner : {15u, 16u, 17u, 422u, 421u, 420u}) ties.indices.push_back(ties.indices[corner]);
  std::vector<TestRay> down;
  for (float y = 0.0f; y <= 12.0f; y += 0.5f) {
    for (float x = 0.0f; x <= 12.0f; x += 0.5f) down.push_back({{x, y, 5.0f}, {0.0f, -0.0f, -1.0f}});
  }
  Mesh denormal;
  for (int i = 0; i < 8; ++i) {
    const float x = static_cast<float>(i) * std::numeric_limits<float>::denorm_min();
    denormal.vertices.insert(denormal.vertices.end(), {x, 0, 0, x, 1, 0, x, 0, 1});
    for (std::uint32_t k = 0; k < 3; ++k) denormal.indices.push_back(static_cast<std::uint32_t>(k + 3 * i));
  }
  const TestRay downZ{{0.5f, 0.1f, 1}, {0, 0, -1}};
  const struct {
    const char* name;
    Mesh mesh;
    std::uint32_t chunkLimit;
    float maxT;
    std::size_t minHits, held;  // held: triangles with finite corners
    std::vector<TestRay> rays;  // none: random rays
  } cases[] = {
      {"DenseSoup", test::TriangleSoup(2, 3000, 0.2f), 64, kInf, 40, 3000, {}},
      {"NoisyGrid", test::Grid(3, 40, 0.3f), 16, kInf, 40, 3200, {}},
      {"ShortRays", test::TriangleSoup(5, 2000, 0.1f), 32, 0.5f, 40, 2000, {}},
      {"OneChunk", test::TriangleSoup(6, 500, 0.3f), 1000, kInf, 40, 500, {}},
      {"Ties", ties, 4, 100.0f, down.size(), 290, down},
      {"BoxCorner",
       {{-0x1.46451cp-2f, -0x1.47aaf8p-2f, -0x1.bdc65p-1f, 0x1.92f1a8p-2f, 0x1.74dbc8p-1f, 0x1.fcbd3p-2f,
         -0x1.ac4b1p-2f, 0x1.44a4ecp-1f, 0x1.edbcap-2f},
        {0, 1, 2}},
       1,
       kInf,
       1,
       1,
       {{{0x1.641138p+1f, -0x1.5e2c6cp+1f, -0x1.ac78a4p+1f}, {-0x1.31b304p+1f, 0x1.bb635ep+1f, 0x1.ec104ap+1f}}}},
      // A collinear sliver, a repeated vertex, a NaN corner, an infinite
      // corner (all at z = 0), then one valid triangle further down.
      {"Degenerate",
       {{0, 0, 0, 1, 0, 0, 2, 0, 0, 0, 1, 0, kNaN, 0, 0, kInf, 1, 0, 0.5f, 0.5f, -1},
        {0, 1, 2, 0, 0, 3, 0, 4, 3, 0, 5, 3, 0, 1, 6}},
       2,
       kInf,
       1,
       3,
       {downZ, {{1, 0, 1}, {0, 0, -1}}, {{0.2f, 0.2f, 1}, {0, 0, -1}}, {{0, 0.5f, 1}, {0, 0, -1}}}},
      {"Denormal", denormal, 2, kInf, 1, 8, {{{-1.0f, 0.2f, 0.2f}, {1, 0, 0}}}},
      {"InfiniteChunk",
       {{0, 0, 0, 1, 0, 0, 0, 1, 0, kInf, 0, -1, 3, 0, 0, 4, 0, 0, 3, 1, 0}, {0, 1, 2, 0, 3, 2, 4, 5, 6}},
       2,
       kInf,
       2,
       2,
       {{{0.2f, 0.2f, 1}, {0, 0, -1}}, {{3.2f, 0.2f, 1}, {0, 0, -1}}, {{5, 0.5f, -0.5f}, {-1, 0, 0}}}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TriangleBvh bvh(c.mesh.vertices, c.mesh.indices);
    EXPECT_EQ(c.mesh.indices.size() / 3, bvh.TriangleCount());
    EXPECT_EQ(c.held, bvh.Hierarchy().PrimitiveOrder().size());
    const ChunkedMesh chunks = SpatialChunker(c.chunkLimit, 3).Split(c.mesh.vertices, {}, c.mesh.indices);
    const ChunkedTriangleBvh chunked(chunks);
    const Aabb bounds = bvh.Hierarchy().Bounds();
    std::size_t hits = 0;
    for (const TestRay& ray : c.rays.empty() ? test::RandomRays(7, 600, bounds.Min(), bounds.Max()) : c.rays) {
      const auto expected = test::BruteForceTriangle(c.mesh, ray, c.maxT);
      ExpectSameHit(expected, bvh.Intersect(ray.origin, ray.direction, c.maxT), ray);
      ExpectSameHit(expected, chunked.Intersect(ray.origin, ray.direction, c.maxT), ray);
      hits += expected ? 1 : 0;
    }
    // Misses alone would prove nothing.
    EXPECT_GE(hits, c.minHits);
  }
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

TEST(ChunkedTriangleBvhTest, OnlyChunksARayReachesGetAHierarchy) {
  const Mesh grid = test::Grid(1, 64, 0.0f);
  const ChunkedMesh chunks = SpatialChunker(16, 3).Split(grid.vertices, {}, grid.indices);
  ASSERT_GT(chunks.chunks.size(), 400u);
  const ChunkedTriangleBvh chunked(chunks);
  EXPECT_EQ(0u, chunked.BuiltCount());
  EXPECT_FALSE(chunked.Intersect({-5, -5, 1}, {0, 0, -1}).has_value());
  EXPECT_EQ(0u, chunked.BuiltCount()) << "a ray that misses every box builds nothing";
  EXPECT_TRUE(chunked.Intersect({10.3f, 20.6f, 1}, {0, 0, -1}).has_value());
  EXPECT_LE(chunked.BuiltCount(), 2u);
}

TEST(ChunkedTriangleBvhTest, AMeshWithoutItsSourceTrianglesIsRefused) {
  const Mesh grid = test::Grid(1, 4, 0.0f);
  ChunkedMesh chunks = SpatialChunker(4, 3).Split(grid.vertices, {}, grid.indices);
  chunks.sourcePrimitives.clear();
  EXPECT_THROW(ChunkedTriangleBvh{chunks}, std::invalid_argument);
  EXPECT_FALSE(ChunkedTriangleBvh(ChunkedMesh{}).Intersect({0, 0, 1}, {0, 0, -1}).has_value());
}

}  // namespace
}  // namespace KivVizOpenGL::detail
