// Splitting a mesh into chunks: every primitive once, with its own corners,
// inside its chunk's box. Then hierarchies over chunks of segments and points:
// the bounds one hierarchy over every primitive would have, non-finite
// primitives left out, and a chunk's hierarchy built only when asked for.
// Chunked pictures and picks are compared in the GL item tests.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <numeric>
#include <stdexcept>
#include <vector>

#include "TestGeometry.h"
#include "detail/ChunkHierarchies.h"
#include "detail/PointBvh.h"
#include "detail/SegmentBvh.h"
#include "detail/SpatialChunker.h"

namespace KivVizOpenGL::detail {
namespace {

using test::Mesh;

// Segments from two corners of each triangle, points from every vertex.
Mesh WithCorners(const Mesh& triangles, std::uint32_t corners) {
  Mesh mesh{triangles.vertices, {}};
  if (corners == 1) {
    mesh.indices.resize(mesh.vertices.size() / 3);
    std::iota(mesh.indices.begin(), mesh.indices.end(), 0u);
    return mesh;
  }
  for (std::size_t t = 0; t < triangles.indices.size(); t += 3) {
    mesh.indices.insert(mesh.indices.end(), triangles.indices.begin() + static_cast<std::ptrdiff_t>(t),
                        triangles.indices.begin() + static_cast<std::ptrdiff_t>(t + corners));
  }
  return mesh;
}

TEST(SpatialChunkerTest, EveryPrimitiveOnceWithItsOwnCornersInABoxThatHoldsIt) {
  Mesh withNaN = test::Grid(5, 10, 0.0f);
  withNaN.vertices[3 * 7] = std::numeric_limits<float>::quiet_NaN();
  withNaN.vertices[3 * 50 + 1] = std::numeric_limits<float>::quiet_NaN();
  const Mesh soup = test::TriangleSoup(4, 5000, 0.1f);
  const struct {
    const char* name;
    Mesh mesh;
    std::uint32_t corners;
    std::uint32_t limit;
  } cases[] = {{"OneTrianglePerChunk", test::Grid(2, 6, 0.0f), 3, 1},
               {"Soup", soup, 3, 300},
               {"Empty", Mesh{{0, 0, 0}, {}}, 3, 8},
               {"NaNCentroids", withNaN, 3, 16},
               {"Segments", WithCorners(soup, 2), 2, 200},
               {"Points", WithCorners(soup, 1), 1, 256},
               {"PointsWithNaN", WithCorners(withNaN, 1), 1, 7}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::uint32_t corners = c.corners;
    const ChunkedMesh chunked = SpatialChunker(c.limit, corners).Split(c.mesh.vertices, {}, c.mesh.indices);
    const std::size_t primitiveCount = c.mesh.indices.size() / corners;
    ASSERT_EQ(primitiveCount, chunked.sourcePrimitives.size());
    std::vector<int> seen(primitiveCount, 0);
    std::uint32_t nextPrimitive = 0;
    for (const MeshChunk& chunk : chunked.chunks) {
      EXPECT_EQ(nextPrimitive, chunk.firstPrimitive);
      EXPECT_GT(chunk.primitiveCount, 0u);
      EXPECT_LE(chunk.primitiveCount, c.limit);
      nextPrimitive += chunk.primitiveCount;
      for (std::uint32_t p = chunk.firstPrimitive; p < nextPrimitive; ++p) {
        const std::uint32_t source = chunked.sourcePrimitives[p];
        ASSERT_LT(source, primitiveCount);
        ++seen[source];
        for (std::uint32_t corner = 0; corner < corners; ++corner) {
          const std::uint32_t v = chunked.indices[corners * p + corner];
          ASSERT_GE(v, chunk.firstVertex);
          ASSERT_LT(v, chunk.firstVertex + chunk.vertexCount);
          // Bitwise, so that NaN coordinates compare too.
          const std::uint32_t input = c.mesh.indices[corners * source + corner];
          EXPECT_EQ(0, std::memcmp(&c.mesh.vertices[3 * input], &chunked.vertices[3 * v], 3 * sizeof(float)));
          const Float3 position = Float3::At(chunked.vertices, v);
          if (IsFinite(position)) {
            EXPECT_TRUE(chunk.bounds.Contains(position));
          }
        }
      }
    }
    EXPECT_EQ(std::vector<int>(primitiveCount, 1), seen);
  }
}

TEST(SpatialChunkerTest, BadInputThrows) {
  const std::vector<float> vertices{0, 0, 0, 1, 0, 0, 0, 1, 0};
  const std::vector<std::uint32_t> triangle{0, 1, 2};
  const std::vector<std::uint32_t> outOfRange{0, 1, 3};
  const SpatialChunker chunker(4, 3);
  EXPECT_THROW(SpatialChunker(0, 3), std::invalid_argument);
  EXPECT_THROW(SpatialChunker(4, 0), std::invalid_argument);
  EXPECT_THROW(SpatialChunker(4, 4), std::invalid_argument);
  EXPECT_THROW(SpatialChunker(4, 2).Split(vertices, {}, triangle), std::invalid_argument) << "half a segment";
  EXPECT_THROW(chunker.Split(std::span(vertices).first(8), {}, triangle), std::invalid_argument);
  EXPECT_THROW(chunker.Split(vertices, {}, std::span(triangle).first(2)), std::invalid_argument);
  EXPECT_THROW(chunker.Split(vertices, std::span(vertices).first(6), triangle), std::invalid_argument);
  EXPECT_THROW(chunker.Split(vertices, {}, outOfRange), std::invalid_argument);
}

void ExpectSameBox(const Aabb& expected, const Aabb& actual) {
  EXPECT_EQ(expected.Min(), actual.Min());
  EXPECT_EQ(expected.Max(), actual.Max());
}

// Over a soup's vertices with a NaN and an infinite point far outside it: the
// bounds of one hierarchy over every primitive, and a chunk's hierarchy built
// when first asked for, holding its finite primitives.
TEST(ChunkHierarchiesTest, BoundsAreThoseOfOneHierarchyAndAChunksIsBuiltWhenAskedFor) {
  std::vector<float> vertices = test::TriangleSoup(3, 1000, 0.2f).vertices;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  vertices.insert(vertices.end(), {nan, 40.0f, 0.0f, std::numeric_limits<float>::infinity(), 0, 0, 0, -50.0f, nan});
  const std::vector<std::uint32_t> points = WithCorners({vertices, {}}, 1).indices;
  ChunkedMesh cloud = SpatialChunker(16, 1).Split(vertices, {}, points);
  const Aabb pointBounds = PointBvh(vertices).Hierarchy().Bounds();
  const ChunkHierarchies hierarchies(cloud, 1);
  ExpectSameBox(pointBounds, hierarchies.Bounds());
  EXPECT_EQ(0u, hierarchies.BuiltCount());
  std::size_t held = 0;
  for (std::uint32_t chunk = 0; chunk < cloud.chunks.size(); ++chunk) {
    const Bvh& first = hierarchies.Of(chunk);
    EXPECT_EQ(&first, &hierarchies.Of(chunk)) << "built once";
    EXPECT_LE(first.PrimitiveOrder().size(), cloud.chunks[chunk].primitiveCount);
    held += first.PrimitiveOrder().size();
  }
  EXPECT_EQ(cloud.chunks.size(), hierarchies.BuiltCount());
  EXPECT_EQ(vertices.size() / 3 - 3, held) << "every finite point once, the three bad ones in none";

  // Chunked points list their vertices in point order, so they may drop the
  // indices.
  for (std::size_t p = 0; p < cloud.indices.size(); ++p) ASSERT_EQ(p, cloud.indices[p]);
  cloud.indices.clear();
  ExpectSameBox(pointBounds, ChunkHierarchies(cloud, 1).Bounds());
  EXPECT_THROW(ChunkHierarchies(cloud, 2), std::invalid_argument) << "segments need their indices";

  // Segments between neighbours, the bad points among their ends.
  std::vector<std::uint32_t> segments;
  for (std::uint32_t i = 0; i + 1 < points.size(); ++i) segments.insert(segments.end(), {i, i + 1});
  const ChunkedMesh lines = SpatialChunker(16, 2).Split(vertices, {}, segments);
  const ChunkHierarchies segmentHierarchies(lines, 2);
  ExpectSameBox(SegmentBvh(vertices, segments).Hierarchy().Bounds(), segmentHierarchies.Bounds());
  for (std::uint32_t chunk = 0; chunk < lines.chunks.size(); ++chunk) {
    EXPECT_TRUE(segmentHierarchies.BoxOf(chunk).IsEmpty() || segmentHierarchies.BoxOf(chunk).IsFinite()) << chunk;
  }
}

}  // namespace
}  // namespace KivVizOpenGL::detail
