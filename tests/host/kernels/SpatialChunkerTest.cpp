// Splitting a mesh into chunks: every triangle once, with its own corners,
// inside its chunk's box. Chunked pictures are compared in the GL item tests.
#include "detail/SpatialChunker.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <stdexcept>
#include <vector>

#include "TestGeometry.h"

namespace KivVizOpenGL::detail {
namespace {

using test::Mesh;

TEST(SpatialChunkerTest, EveryTriangleOnceWithItsOwnCornersInABoxThatHoldsIt) {
  Mesh withNaN = test::Grid(5, 10, 0.0f);
  withNaN.vertices[3 * 7] = std::numeric_limits<float>::quiet_NaN();
  withNaN.vertices[3 * 50 + 1] = std::numeric_limits<float>::quiet_NaN();
  const struct {
    const char* name;
    Mesh mesh;
    std::uint32_t limit;
  } cases[] = {{"OneTrianglePerChunk", test::Grid(2, 6, 0.0f), 1},
               {"Soup", test::TriangleSoup(4, 5000, 0.1f), 300},
               {"Empty", Mesh{{0, 0, 0}, {}}, 8},
               {"NaNCentroids", withNaN, 16}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ChunkedMesh chunked = SpatialChunker(c.limit).Split(c.mesh.vertices, {}, c.mesh.indices);
    const std::size_t triangleCount = c.mesh.indices.size() / 3;
    ASSERT_EQ(triangleCount, chunked.sourceTriangles.size());
    std::vector<int> seen(triangleCount, 0);
    std::uint32_t nextTriangle = 0;
    for (const MeshChunk& chunk : chunked.chunks) {
      EXPECT_EQ(nextTriangle, chunk.firstTriangle);
      EXPECT_GT(chunk.triangleCount, 0u);
      EXPECT_LE(chunk.triangleCount, c.limit);
      nextTriangle += chunk.triangleCount;
      for (std::uint32_t t = chunk.firstTriangle; t < nextTriangle; ++t) {
        const std::uint32_t source = chunked.sourceTriangles[t];
        ASSERT_LT(source, triangleCount);
        ++seen[source];
        for (std::uint32_t corner = 0; corner < 3; ++corner) {
          const std::uint32_t v = chunked.indices[3 * t + corner];
          ASSERT_GE(v, chunk.firstVertex);
          ASSERT_LT(v, chunk.firstVertex + chunk.vertexCount);
          // Bitwise, so that NaN coordinates compare too.
          const std::uint32_t input = c.mesh.indices[3 * source + corner];
          EXPECT_EQ(0, std::memcmp(&c.mesh.vertices[3 * input], &chunked.vertices[3 * v], 3 * sizeof(float)));
          const Float3 position = Float3::At(chunked.vertices, v);
          if (IsFinite(position)) {
            EXPECT_TRUE(chunk.bounds.Contains(position));
          }
        }
      }
    }
    EXPECT_EQ(std::vector<int>(triangleCount, 1), seen);
  }
}

TEST(SpatialChunkerTest, BadInputThrows) {
  const std::vector<float> vertices{0, 0, 0, 1, 0, 0, 0, 1, 0};
  const std::vector<std::uint32_t> triangle{0, 1, 2};
  const std::vector<std::uint32_t> outOfRange{0, 1, 3};
  const SpatialChunker chunker(4);
  EXPECT_THROW(SpatialChunker(0), std::invalid_argument);
  EXPECT_THROW(chunker.Split(std::span(vertices).first(8), {}, triangle), std::invalid_argument);
  EXPECT_THROW(chunker.Split(vertices, {}, std::span(triangle).first(2)), std::invalid_argument);
  EXPECT_THROW(chunker.Split(vertices, std::span(vertices).first(6), triangle),
               std::invalid_argument);
  EXPECT_THROW(chunker.Split(vertices, {}, outOfRange), std::invalid_argument);
}

}  // namespace
}  // namespace KivVizOpenGL::detail
