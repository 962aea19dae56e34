// Meshes: splitting into chunks (every triangle once, with its own corners,
// inside its chunk's box) and triangle picking against brute force, ties,
// rounding and bad input. Chunked pictures are compared in the GL item tests.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <stdexcept>
#include <vector>

#include "detail/Ray.h"
#include "detail/RayPrimitive.h"
#include "detail/SpatialChunker.h"
#include "detail/TriangleBvh.h"

namespace KivVizOpenGL::detail {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

struct Mesh {
  std::vector<float> vertices;
  std::vector<std::uint32_t> indices;
};

struct TestRay {
  Float3 origin, direction;
};

Float3 RandomPoint(std::mt19937& random, const Float3& low, const Float3& high) {
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  return {low.x + unit(random) * (high.x - low.x), low.y + unit(random) * (high.y - low.y),
          low.z + unit(random) * (high.z - low.z)};
}

void Append(std::vector<float>& xyz, const Float3& p) { xyz.insert(xyz.end(), {p.x, p.y, p.z}); }

const Float3 kLow{-1.0f, -1.0f, -1.0f};
const Float3 kHigh{1.0f, 1.0f, 1.0f};

// Triangles of random size up to `size` scattered in the cube [-1, 1]^3.
Mesh TriangleSoup(std::uint32_t seed, std::size_t triangles, float size) {
  std::mt19937 random(seed);
  const Float3 half{size, size, size};
  Mesh mesh;
  for (std::size_t t = 0; t < triangles; ++t) {
    const Float3 anchor = RandomPoint(random, kLow, kHigh);
    for (int c = 0; c < 3; ++c) {
      Append(mesh.vertices, RandomPoint(random, anchor - half, anchor + half));
      mesh.indices.push_back(static_cast<std::uint32_t>(mesh.indices.size()));
    }
  }
  return mesh;
}

// An n x n grid of quads over [0, n]^2, two triangles each, with heights
// jittered by up to `noise` (zero keeps integer coordinates).
Mesh Grid(std::uint32_t seed, std::uint32_t n, float noise) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> jitter(-noise, noise);
  Mesh mesh;
  for (std::uint32_t y = 0; y <= n; ++y) {
    for (std::uint32_t x = 0; x <= n; ++x) {
      Append(mesh.vertices, {static_cast<float>(x), static_cast<float>(y), noise > 0.0f ? jitter(random) : 0.0f});
    }
  }
  for (std::uint32_t y = 0; y < n; ++y) {
    for (std::uint32_t x = 0; x < n; ++x) {
      const std::uint32_t v = y * (n + 1) + x;
      mesh.indices.insert(mesh.indices.end(), {v, v + 1, v + n + 2, v, v + n + 2, v + n + 1});
    }
  }
  return mesh;
}

// Rays from outside and inside [low, high], aimed into it or anywhere; a
// quarter have one or two zero direction components (of either sign).
std::vector<TestRay> RandomRays(std::uint32_t seed, std::size_t count, const Float3& low, const Float3& high) {
  std::mt19937 random(seed);
  const Float3 margin = (high - low) * 0.5f;
  std::vector<TestRay> rays;
  for (std::size_t i = 0; i < count; ++i) {
    const Float3 origin = RandomPoint(random, low - margin, high + margin);
    Float3 direction = i % 2 == 0 ? RandomPoint(random, low, high) - origin : RandomPoint(random, kLow, kHigh);
    if (i % 4 == 1) direction.x = (i % 8 == 1) ? 0.0f : -0.0f;
    if (i % 8 == 3) {
      direction.y = 0.0f;
      direction.z = -0.0f;
    }
    rays.push_back({origin, direction});
  }
  return rays;
}

// The nearest hit of a loop over every triangle, the lowest index on ties.
std::optional<TriangleHit> BruteForceTriangle(const Mesh& mesh, const TestRay& ray, float maxT) {
  const Ray r(ray.origin, ray.direction);
  const auto& v = mesh.vertices;
  const auto& i = mesh.indices;
  std::optional<TriangleHit> nearest;  // the lowest index on ties
  for (std::uint32_t t = 0; t < i.size() / 3; ++t) {
    const auto hit = IntersectTriangle(r, Float3::At(v, i[3 * t]), Float3::At(v, i[3 * t + 1]), Float3::At(v, i[3 * t + 2]), maxT);
    if (hit && (!nearest || hit->t < nearest->t)) nearest = TriangleHit{t, hit->t, hit->u, hit->v};
  }
  return nearest;
}

TEST(SpatialChunkerTest, EveryTriangleOnceWithItsOwnCornersInABoxThatHoldsIt) {
  Mesh withNaN = Grid(5, 10, 0.0f);
  withNaN.vertices[3 * 7] = std::numeric_limits<float>::quiet_NaN();
  withNaN.vertices[3 * 50 + 1] = std::numeric_limits<float>::quiet_NaN();
  const struct {
    const char* name;
    Mesh mesh;
    std::uint32_t limit;
  } cases[] = {{"OneTrianglePerChunk", Grid(2, 6, 0.0f), 1},
               {"Soup", TriangleSoup(4, 5000, 0.1f), 300},
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

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

void ExpectSameHit(const std::optional<TriangleHit>& expected, const std::optional<TriangleHit>& actual,
                   const TestRay& ray) {
  ASSERT_EQ(expected.has_value(), actual.has_value())
      << "ray (" << ray.origin.x << ", " << ray.origin.y << ", " << ray.origin.z << ") dir (" << ray.direction.x
      << ", " << ray.direction.y << ", " << ray.direction.z << ")";
  if (expected) {
    EXPECT_EQ(expected->triangle, actual->triangle);
    EXPECT_EQ(expected->t, actual->t);
    EXPECT_EQ(expected->u, actual->u);
    EXPECT_EQ(expected->v, actual->v);
  }
}

// Exactly what a loop over every triangle gives, on a dense soup, a noisy
// grid and short rays.
TEST(TriangleBvhTest, MatchesBruteForceOnRandomRays) {
  const struct {
    const char* name;
    Mesh mesh;
    float maxT;
  } cases[] = {{"DenseSoup", TriangleSoup(2, 3000, 0.2f), kInf},
               {"NoisyGrid", Grid(3, 40, 0.3f), kInf},
               {"ShortRays", TriangleSoup(5, 2000, 0.1f), 0.5f}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TriangleBvh bvh(c.mesh.vertices, c.mesh.indices);
    const Aabb bounds = bvh.Hierarchy().Bounds();
    std::size_t hits = 0;
    for (const TestRay& ray : RandomRays(7, 600, bounds.Min(), bounds.Max())) {
      const auto expected = BruteForceTriangle(c.mesh, ray, c.maxT);
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
  const Mesh grid = Grid(0, 16, 0.0f);
  const TriangleBvh bvh(grid.vertices, grid.indices);
  for (float y = 0.0f; y <= 16.0f; y += 0.5f) {
    for (float x = 0.0f; x <= 16.0f; x += 0.5f) {
      const TestRay ray{{x, y, 5.0f}, {0.0f, -0.0f, -1.0f}};
      const auto expected = BruteForceTriangle(grid, ray, 100.0f);
      ASSERT_TRUE(expected.has_value()) << x << ", " << y;
      ExpectSameHit(expected, bvh.Intersect(ray.origin, ray.direction, 100.0f), ray);
    }
  }
  Mesh mesh = TriangleSoup(11, 12, 0.3f);
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
  const auto expected = BruteForceTriangle(Mesh{vertices, indices}, ray, 1e30f);
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
