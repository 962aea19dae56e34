// Splitting a mesh into chunks: every triangle once, in input order, inside
// its chunk's box.
#include "detail/SpatialChunker.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <numeric>
#include <stdexcept>
#include <vector>

#include "TestGeometry.h"

namespace KivVizOpenGL::detail {
namespace {

using test::Mesh;

TEST(SpatialChunkerTest, EveryTriangleOnceInInputOrderInABoxThatHoldsIt) {
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
    const Mesh& mesh = c.mesh;
    const std::uint32_t limit = c.limit;
    // Normals that identify their vertex, so misplaced normals show.
    std::vector<float> normals(mesh.vertices.size());
    std::iota(normals.begin(), normals.end(), 0.0f);
    const ChunkedMesh chunked = SpatialChunker(limit).Split(mesh.vertices, normals, mesh.indices);
    const std::size_t triangleCount = mesh.indices.size() / 3;
    ASSERT_EQ(mesh.indices.size(), chunked.indices.size());
    ASSERT_EQ(triangleCount, chunked.sourceTriangles.size());
    ASSERT_EQ(chunked.vertices.size(), 3 * chunked.sourceVertices.size());
    ASSERT_EQ(chunked.vertices.size(), chunked.normals.size());
    EXPECT_GE(chunked.chunks.size(), (triangleCount + limit - 1) / limit);
    std::vector<int> seen(triangleCount, 0);
    std::uint32_t nextTriangle = 0;
    std::uint32_t nextVertex = 0;
    for (const MeshChunk& chunk : chunked.chunks) {
      EXPECT_EQ(nextTriangle, chunk.firstTriangle);
      EXPECT_EQ(nextVertex, chunk.firstVertex);
      EXPECT_GT(chunk.triangleCount, 0u);
      EXPECT_LE(chunk.triangleCount, limit);
      nextTriangle += chunk.triangleCount;
      nextVertex += chunk.vertexCount;
      for (std::uint32_t t = chunk.firstTriangle; t < chunk.firstTriangle + chunk.triangleCount; ++t) {
        const std::uint32_t source = chunked.sourceTriangles[t];
        ASSERT_LT(source, triangleCount);
        if (t > chunk.firstTriangle) {
          EXPECT_LT(chunked.sourceTriangles[t - 1], source) << "input order within a chunk";
        }
        ++seen[source];
        for (std::uint32_t corner = 0; corner < 3; ++corner) {
          const std::uint32_t v = chunked.indices[3 * t + corner];
          ASSERT_GE(v, chunk.firstVertex);
          ASSERT_LT(v, chunk.firstVertex + chunk.vertexCount);
          // The output corner is the input corner, position and normal;
          // bitwise, so that NaN coordinates compare too.
          const std::uint32_t input = mesh.indices[3 * source + corner];
          EXPECT_EQ(input, chunked.sourceVertices[v]);
          EXPECT_EQ(0, std::memcmp(&mesh.vertices[3 * input], &chunked.vertices[3 * v], 3 * sizeof(float)));
          EXPECT_EQ(Float3::At(normals, input), Float3::At(chunked.normals, v));
          const Float3 position = Float3::At(chunked.vertices, v);
          if (IsFinite(position)) {
            EXPECT_TRUE(chunk.bounds.Contains(position));
          }
        }
      }
    }
    EXPECT_EQ(triangleCount, nextTriangle);
    EXPECT_EQ(chunked.sourceVertices.size(), nextVertex);
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
