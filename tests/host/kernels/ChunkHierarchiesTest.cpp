// Hierarchies over chunks of segments and points: the bounds one hierarchy
// over every primitive would have, non-finite primitives left out, and a
// chunk's hierarchy built only when asked for. Picks through them are
// compared with every primitive in the item tests.
#include <gtest/gtest.h>

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

void ExpectSameBox(const Aabb& expected, const Aabb& actual) {
  EXPECT_EQ(expected.Min().x, actual.Min().x);
  EXPECT_EQ(expected.Min().y, actual.Min().y);
  EXPECT_EQ(expected.Min().z, actual.Min().z);
  EXPECT_EQ(expected.Max().x, actual.Max().x);
  EXPECT_EQ(expected.Max().y, actual.Max().y);
  EXPECT_EQ(expected.Max().z, actual.Max().z);
}

// A soup's vertices with a NaN and an infinite point far outside it.
std::vector<float> CloudWithBadPoints() {
  std::vector<float> vertices = test::TriangleSoup(3, 1000, 0.2f).vertices;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  vertices.insert(vertices.end(), {nan, 40.0f, 0.0f, inf, 0.0f, 0.0f, 0.0f, -50.0f, nan});
  return vertices;
}

TEST(ChunkHierarchiesTest, BoundsAreThoseOfOneHierarchyOverEveryPrimitive) {
  const std::vector<float> vertices = CloudWithBadPoints();
  std::vector<std::uint32_t> points(vertices.size() / 3);
  std::iota(points.begin(), points.end(), 0u);
  ChunkedMesh cloud = SpatialChunker(16, 1).Split(vertices, {}, points);
  ExpectSameBox(PointBvh(vertices).Hierarchy().Bounds(), ChunkHierarchies(cloud, 1).Bounds());
  // Chunked points list their vertices in point order, so they may drop the
  // indices.
  for (std::size_t p = 0; p < cloud.indices.size(); ++p) ASSERT_EQ(p, cloud.indices[p]);
  cloud.indices.clear();
  ExpectSameBox(PointBvh(vertices).Hierarchy().Bounds(), ChunkHierarchies(cloud, 1).Bounds());
  EXPECT_THROW(ChunkHierarchies(cloud, 2), std::invalid_argument) << "segments need their indices";

  // Segments between neighbours, the bad points among their ends.
  std::vector<std::uint32_t> segments;
  for (std::uint32_t i = 0; i + 1 < points.size(); ++i) segments.insert(segments.end(), {i, i + 1});
  const ChunkedMesh lines = SpatialChunker(16, 2).Split(vertices, {}, segments);
  const ChunkHierarchies hierarchies(lines, 2);
  ExpectSameBox(SegmentBvh(vertices, segments).Hierarchy().Bounds(), hierarchies.Bounds());
  for (std::uint32_t chunk = 0; chunk < lines.chunks.size(); ++chunk) {
    EXPECT_TRUE(hierarchies.BoxOf(chunk).IsEmpty() || hierarchies.BoxOf(chunk).IsFinite()) << chunk;
  }
}

TEST(ChunkHierarchiesTest, AChunksHierarchyIsBuiltWhenFirstAskedForAndHoldsItsFinitePrimitives) {
  const std::vector<float> vertices = CloudWithBadPoints();
  std::vector<std::uint32_t> points(vertices.size() / 3);
  std::iota(points.begin(), points.end(), 0u);
  const ChunkedMesh cloud = SpatialChunker(16, 1).Split(vertices, {}, points);
  const ChunkHierarchies hierarchies(cloud, 1);
  EXPECT_EQ(0u, hierarchies.BuiltCount());
  std::size_t held = 0;
  for (std::uint32_t chunk = 0; chunk < cloud.chunks.size(); ++chunk) {
    const Bvh& first = hierarchies.Of(chunk);
    EXPECT_EQ(&first, &hierarchies.Of(chunk)) << "built once";
    EXPECT_LE(first.PrimitiveOrder().size(), cloud.chunks[chunk].primitiveCount);
    held += first.PrimitiveOrder().size();
  }
  EXPECT_EQ(cloud.chunks.size(), hierarchies.BuiltCount());
  EXPECT_EQ(points.size() - 3, held) << "every finite point once, the three bad ones in none";
}

}  // namespace
}  // namespace KivVizOpenGL::detail
