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

// Exactly what a loop over every triangle gives, on a dense soup, a noisy
// grid and short rays, with and without chunks.
TEST(TriangleBvhTest, OneAndChunkedHierarchiesMatchBruteForceOnRandomRays) {
  const struct {
    const char* name;
    Mesh mesh;
    std::uint32_t chunkLimit;
    float maxT;
  } cases[] = {{"DenseSoup", test::TriangleSoup(2, 3000, 0.2f), 64, kInf},
               {"NoisyGrid", test::Grid(3, 40, 0.3f), 16, kInf},
               {"ShortRays", test::TriangleSoup(5, 2000, 0.1f), 32, 0.5f},
               {"OneChunk", test::TriangleSoup(6, 500, 0.3f), 1000, kInf}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TriangleBvh bvh(c.mesh.vertices, c.mesh.indices);
    const ChunkedMesh chunks = SpatialChunker(c.chunkLimit, 3).Split(c.mesh.vertices, {}, c.mesh.indices);
    const ChunkedTriangleBvh chunked(chunks);
    const Aabb bounds = bvh.Hierarchy().Bounds();
    std::size_t hits = 0;
    for (const TestRay& ray : test::RandomRays(7, 600, bounds.Min(), bounds.Max())) {
      const auto expected = test::BruteForceTriangle(c.mesh, ray, c.maxT);
      ExpectSameHit(expected, bvh.Intersect(ray.origin, ray.direction, c.maxT), ray);
      ExpectSameHit(expected, chunked.Intersect(ray.origin, ray.direction, c.maxT), ray);
      hits += expected ? 1 : 0;
    }
    // Half the rays are aimed into the mesh: misses alone would prove nothing.
    EXPECT_GT(hits, 40u);
  }
}

// Rays down through a flat grid's vertices and edges hit two to six triangles
// at exactly the same t, and chunks of four triangles split the grid along its
// edges; duplicates far apart in the index order (one reversed) tie too. The
// lowest input index must win, as brute force gives it.
TEST(TriangleBvhTest, TiesOnSharedEdgesVerticesAndDuplicatesGoToTheLowestIndex) {
  Mesh mesh = test::Grid(0, 12, 0.0f);
  for (const std::uint32_t corner : {15u, 16u, 17u, 422u, 421u, 420u}) mesh.indices.push_back(mesh.indices[corner]);
  const TriangleBvh bvh(mesh.vertices, mesh.indices);
  const ChunkedMesh chunks = SpatialChunker(4, 3).Split(mesh.vertices, {}, mesh.indices);
  const ChunkedTriangleBvh chunked(chunks);
  for (float y = 0.0f; y <= 12.0f; y += 0.5f) {
    for (float x = 0.0f; x <= 12.0f; x += 0.5f) {
      const TestRay ray{{x, y, 5.0f}, {0.0f, -0.0f, -1.0f}};
      const auto expected = test::BruteForceTriangle(mesh, ray, 100.0f);
      ASSERT_TRUE(expected.has_value()) << x << ", " << y;
      ExpectSameHit(expected, bvh.Intersect(ray.origin, ray.direction, 100.0f), ray);
      ExpectSameHit(expected, chunked.Intersect(ray.origin, ray.direction, 100.0f), ray);
    }
  }
  // The duplicates of triangles 5 and 140 never win.
  EXPECT_EQ(5u, bvh.Intersect({2.25f, 0.75f, 1}, {0, 0, -1}).value().triangle);
  EXPECT_EQ(140u, bvh.Intersect({10.75f, 5.25f, 1}, {0, 0, -1}).value().triangle);
}

// The ray meets vertex p1, a corner of the box, where the float slab exit lies
// just before the entry: only the widened exit keeps the hit.
TEST(TriangleBvhTest, HitOnTheBoxCornerSurvivesSlabRounding) {
  const Mesh mesh{{-0x1.46451cp-2f, -0x1.47aaf8p-2f, -0x1.bdc65p-1f, 0x1.92f1a8p-2f, 0x1.74dbc8p-1f, 0x1.fcbd3p-2f,
                   -0x1.ac4b1p-2f, 0x1.44a4ecp-1f, 0x1.edbcap-2f},
                  {0, 1, 2}};
  const TestRay ray{{0x1.641138p+1f, -0x1.5e2c6cp+1f, -0x1.ac78a4p+1f},
                    {-0x1.31b304p+1f, 0x1.bb635ep+1f, 0x1.ec104ap+1f}};
  const auto expected = test::BruteForceTriangle(mesh, ray, 1e30f);
  ASSERT_TRUE(expected.has_value());
  ExpectSameHit(expected, TriangleBvh(mesh.vertices, mesh.indices).Intersect(ray.origin, ray.direction), ray);
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
    EXPECT_EQ(4u, bvh.Intersect(target + Float3{0, 0, 1}, {0, 0, -1}).value_or(TriangleHit{4}).triangle);
  }
  EXPECT_TRUE(bvh.Intersect({0.5f, 0.1f, 1.0f}, {0, 0, -1}).has_value());
}

// Centroids apart by denormal amounts make the binning scale infinite: the
// build must still bin every triangle and hit the right one.
TEST(TriangleBvhTest, TrianglesApartByDenormalAmountsBuildAndHit) {
  Mesh mesh;
  for (int i = 0; i < 8; ++i) {
    const float x = static_cast<float>(i) * std::numeric_limits<float>::denorm_min();
    mesh.vertices.insert(mesh.vertices.end(), {x, 0, 0, x, 1, 0, x, 0, 1});
    for (std::uint32_t k = 0; k < 3; ++k) mesh.indices.push_back(static_cast<std::uint32_t>(mesh.indices.size()));
  }
  const TriangleBvh bvh(mesh.vertices, mesh.indices);
  EXPECT_EQ(8u, bvh.Hierarchy().PrimitiveOrder().size());
  EXPECT_TRUE(bvh.Intersect({-1.0f, 0.2f, 0.2f}, {1, 0, 0}).has_value());
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

// A chunk whose box is infinite through one vertex is still hit on its
// finite triangles; the infinite triangle itself never is.
TEST(ChunkedTriangleBvhTest, FiniteTrianglesOfAChunkWithAnInfiniteVertexAreHit) {
  const std::vector<float> vertices{0, 0, 0, 1, 0, 0, 0, 1, 0, kInf, 0, -1, 3, 0, 0, 4, 0, 0, 3, 1, 0};
  const std::vector<std::uint32_t> indices{0, 1, 2, 0, 3, 2, 4, 5, 6};
  const ChunkedMesh chunks = SpatialChunker(2, 3).Split(vertices, {}, indices);
  const ChunkedTriangleBvh chunked(chunks);
  const TriangleBvh whole(vertices, indices);
  for (const TestRay& ray : {TestRay{{0.2f, 0.2f, 1}, {0, 0, -1}}, TestRay{{3.2f, 0.2f, 1}, {0, 0, -1}},
                             TestRay{{5, 0.5f, -0.5f}, {-1, 0, 0}}}) {
    ExpectSameHit(whole.Intersect(ray.origin, ray.direction), chunked.Intersect(ray.origin, ray.direction), ray);
  }
  // Triangle 2 shares its chunk with the infinite one.
  for (const MeshChunk& chunk : chunks.chunks) {
    for (std::uint32_t i = chunk.firstPrimitive; i < chunk.firstPrimitive + chunk.primitiveCount; ++i) {
      if (chunks.sourcePrimitives[i] == 2) {
        EXPECT_FALSE(chunk.bounds.IsFinite());
      }
    }
  }
  EXPECT_EQ(2u, chunked.Intersect({3.2f, 0.2f, 1}, {0, 0, -1}).value_or(TriangleHit{99}).triangle);
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
