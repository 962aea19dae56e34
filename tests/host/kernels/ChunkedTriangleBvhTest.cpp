// Picking through chunk hierarchies: the same answers as one hierarchy over
// the mesh before chunking, ties across chunks included, with hierarchies
// built only for the chunks a ray reaches.
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

TEST(ChunkedTriangleBvhTest, AnswersAsOneHierarchyOverTheWholeMesh) {
  const struct {
    const char* name;
    Mesh mesh;
    std::uint32_t limit;
    float maxT;
  } cases[] = {{"DenseSoup", test::TriangleSoup(2, 3000, 0.2f), 64, kInf},
               {"NoisyGrid", test::Grid(3, 40, 0.3f), 16, kInf},
               {"ShortRays", test::TriangleSoup(5, 2000, 0.1f), 32, 0.5f},
               {"OneChunk", test::TriangleSoup(6, 500, 0.3f), 1000, kInf}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ChunkedMesh chunked = SpatialChunker(c.limit, 3).Split(c.mesh.vertices, {}, c.mesh.indices);
    const ChunkedTriangleBvh picker(chunked);
    const TriangleBvh whole(c.mesh.vertices, c.mesh.indices);
    const Aabb bounds = whole.Hierarchy().Bounds();
    std::size_t hits = 0;
    for (const TestRay& ray : test::RandomRays(7, 600, bounds.Min(), bounds.Max())) {
      const auto expected = whole.Intersect(ray.origin, ray.direction, c.maxT);
      ExpectSameHit(expected, picker.Intersect(ray.origin, ray.direction, c.maxT), ray);
      hits += expected ? 1 : 0;
    }
    EXPECT_GT(hits, 40u);
  }
}

// Chunks of four triangles split a flat grid along its edges, so rays down
// through vertices and edges tie between chunks; duplicates far apart in the
// index order tie too. The lowest input index wins, as without chunks.
TEST(ChunkedTriangleBvhTest, TiesAcrossChunksGoToTheLowestInputIndex) {
  Mesh mesh = test::Grid(0, 12, 0.0f);
  const auto duplicateOf = [&](std::uint32_t triangle) {
    for (int corner = 0; corner < 3; ++corner) mesh.indices.push_back(mesh.indices[3 * triangle + corner]);
  };
  duplicateOf(5);
  duplicateOf(140);
  const ChunkedMesh chunked = SpatialChunker(4, 3).Split(mesh.vertices, {}, mesh.indices);
  const ChunkedTriangleBvh picker(chunked);
  const TriangleBvh whole(mesh.vertices, mesh.indices);
  for (float y = 0.0f; y <= 12.0f; y += 0.5f) {
    for (float x = 0.0f; x <= 12.0f; x += 0.5f) {
      const TestRay ray{{x, y, 5.0f}, {0.0f, -0.0f, -1.0f}};
      const auto expected = whole.Intersect(ray.origin, ray.direction, 100.0f);
      ASSERT_TRUE(expected.has_value()) << x << ", " << y;
      ExpectSameHit(expected, picker.Intersect(ray.origin, ray.direction, 100.0f), ray);
    }
  }
}

// A chunk whose box is infinite through one vertex is still hit on its
// finite triangles; the infinite triangle itself never is.
TEST(ChunkedTriangleBvhTest, FiniteTrianglesOfAChunkWithAnInfiniteVertexAreHit) {
  const std::vector<float> vertices{0, 0, 0, 1, 0, 0, 0, 1, 0, kInf, 0, -1, 3, 0, 0, 4, 0, 0, 3, 1, 0};
  const std::vector<std::uint32_t> indices{0, 1, 2, 0, 3, 2, 4, 5, 6};
  const ChunkedMesh chunked = SpatialChunker(2, 3).Split(vertices, {}, indices);
  const ChunkedTriangleBvh picker(chunked);
  const TriangleBvh whole(vertices, indices);
  for (const TestRay& ray : {TestRay{{0.2f, 0.2f, 1}, {0, 0, -1}}, TestRay{{3.2f, 0.2f, 1}, {0, 0, -1}},
                             TestRay{{5, 0.5f, -0.5f}, {-1, 0, 0}}}) {
    ExpectSameHit(whole.Intersect(ray.origin, ray.direction), picker.Intersect(ray.origin, ray.direction), ray);
  }
  // Triangle 2 shares its chunk with the infinite one.
  for (const MeshChunk& chunk : chunked.chunks) {
    for (std::uint32_t i = chunk.firstPrimitive; i < chunk.firstPrimitive + chunk.primitiveCount; ++i) {
      if (chunked.sourcePrimitives[i] == 2) {
        EXPECT_FALSE(chunk.bounds.IsFinite());
      }
    }
  }
  const auto hit = picker.Intersect({3.2f, 0.2f, 1}, {0, 0, -1});
  ASSERT_TRUE(hit.has_value());
  EXPECT_EQ(2u, hit->triangle);
}

TEST(ChunkedTriangleBvhTest, OnlyChunksARayReachesGetAHierarchy) {
  const Mesh grid = test::Grid(1, 64, 0.0f);
  const ChunkedMesh chunked = SpatialChunker(16, 3).Split(grid.vertices, {}, grid.indices);
  ASSERT_GT(chunked.chunks.size(), 400u);
  const ChunkedTriangleBvh picker(chunked);
  EXPECT_EQ(0u, picker.BuiltCount());
  EXPECT_FALSE(picker.Intersect({-5, -5, 1}, {0, 0, -1}).has_value());
  EXPECT_EQ(0u, picker.BuiltCount()) << "a ray that misses every box builds nothing";
  EXPECT_TRUE(picker.Intersect({10.3f, 20.6f, 1}, {0, 0, -1}).has_value());
  EXPECT_LE(picker.BuiltCount(), 2u);
}

TEST(ChunkedTriangleBvhTest, AMeshWithoutItsSourceTrianglesIsRefused) {
  const Mesh grid = test::Grid(1, 4, 0.0f);
  ChunkedMesh chunked = SpatialChunker(4, 3).Split(grid.vertices, {}, grid.indices);
  chunked.sourcePrimitives.clear();
  EXPECT_THROW(ChunkedTriangleBvh{chunked}, std::invalid_argument);
  EXPECT_FALSE(ChunkedTriangleBvh(ChunkedMesh{}).Intersect({0, 0, 1}, {0, 0, -1}).has_value());
}

}  // namespace
}  // namespace KivVizOpenGL::detail
