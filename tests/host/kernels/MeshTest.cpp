// Meshes: split into chunks (every primitive once, with its own corners,
// inside its chunk's box), hierarchies over chunks of segments and points
// (the bounds one hierarchy over every primitive would have, non-finite
// primitives left out, a chunk's hierarchy built only when asked for), and
// triangle picking through one hierarchy and through chunk hierarchies (built
// only for the chunks a ray reaches) against brute force on seeded random
// meshes and rays: ties, rounding and bad input. Chunked pictures and picks
// are compared in the GL item tests.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "detail/ChunkHierarchies.h"
#include "detail/ChunkedTriangleBvh.h"
#include "detail/PointBvh.h"
#include "detail/RayPrimitive.h"
#include "detail/SegmentBvh.h"

namespace KivVizOpenGL::detail {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

struct Mesh {
  std::vector<float> vertices;
  std::vector<std::uint32_t> indices;
};

struct TestRay {
  Float3 origin;
  Float3 direction;
};

std::ostream& operator<<(std::ostream& out, const TestRay& r) {
  return out << r.origin.x << ", " << r.origin.y << ", " << r.origin.z << " towards " << r.direction.x << ", "
             << r.direction.y << ", " << r.direction.z;
}

Float3 RandomPoint(std::mt19937& random, const Float3& low, const Float3& high) {
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  return {low.x + unit(random) * (high.x - low.x), low.y + unit(random) * (high.y - low.y),
          low.z + unit(random) * (high.z - low.z)};
}

void Append(std::vector<float>& xyz, const Float3& p) { xyz.insert(xyz.end(), {p.x, p.y, p.z}); }

// Triangles of random size up to `size` scattered in the cube [-1, 1]^3.
Mesh TriangleSoup(std::uint32_t seed, std::size_t triangles, float size) {
  std::mt19937 random(seed);
  const Float3 half{size, size, size};
  Mesh mesh;
  for (std::size_t t = 0; t < triangles; ++t) {
    const Float3 anchor = RandomPoint(random, {-1, -1, -1}, {1, 1, 1});
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
      const std::uint32_t v = y * (n + 1) + x;
      if (x < n && y < n) mesh.indices.insert(mesh.indices.end(), {v, v + 1, v + n + 2, v, v + n + 2, v + n + 1});
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
    Float3 direction =
        i % 2 == 0 ? RandomPoint(random, low, high) - origin : RandomPoint(random, {-1, -1, -1}, {1, 1, 1});
    if (i % 4 == 1) direction.x = (i % 8 == 1) ? 0.0f : -0.0f;
    if (i % 8 == 3) {
      direction.y = 0.0f;
      direction.z = -0.0f;
    }
    rays.push_back({origin, direction});
  }
  return rays;
}

std::optional<TriangleHit> BruteForceTriangle(const Mesh& mesh, const TestRay& ray, float maxT) {
  const Ray r(ray.origin, ray.direction);
  const auto& v = mesh.vertices;
  const auto& i = mesh.indices;
  std::optional<TriangleHit> nearest;  // the lowest index on ties
  for (std::uint32_t t = 0; t < i.size() / 3; ++t) {
    const auto hit =
        IntersectTriangle(r, Float3::At(v, i[3 * t]), Float3::At(v, i[3 * t + 1]), Float3::At(v, i[3 * t + 2]), maxT);
    if (hit && (!nearest || hit->t < nearest->t)) nearest = TriangleHit{t, hit->t, hit->u, hit->v};
  }
  return nearest;
}

// Exactly what a loop over every triangle gives, with and without chunks:
// random rays through a dense soup, a noisy grid, short rays and one chunk;
// rays down through a flat grid's vertices and edges, where two to six
// triangles tie at the same t and chunks of four split the grid along its
// edges, with duplicates far apart in the index order (one reversed); a
// vertex on the box corner, where the float slab exit lies just before the
// entry; degenerate and non-finite triangles; centroids apart by denormal
// amounts (an infinite binning scale); a chunk made infinite by one vertex.
TEST(TriangleBvhTest, OneAndChunkedHierarchiesMatchBruteForce) {
  Mesh ties = Grid(0, 12, 0.0f);
  for (const std::uint32_t corner : {15u, 16u, 17u, 422u, 421u, 420u}) ties.indices.push_back(ties.indices[corner]);
  std::vector<TestRay> grid;
  for (float y = 0.0f; y <= 12.0f; y += 0.5f) {
    for (float x = 0.0f; x <= 12.0f; x += 0.5f) grid.push_back({{x, y, 5.0f}, {0.0f, -0.0f, -1.0f}});
  }
  Mesh denormal;
  for (int i = 0; i < 8; ++i) {
    const float x = static_cast<float>(i) * std::numeric_limits<float>::denorm_min();
    denormal.vertices.insert(denormal.vertices.end(), {x, 0, 0, x, 1, 0, x, 0, 1});
    for (std::uint32_t k = 0; k < 3; ++k) denormal.indices.push_back(static_cast<std::uint32_t>(k + 3 * i));
  }
  const auto down = [](float x, float y) { return TestRay{{x, y, 1}, {0, 0, -1}}; };
  const Mesh corner{{-0x1.46451cp-2f, -0x1.47aaf8p-2f, -0x1.bdc65p-1f, 0x1.92f1a8p-2f, 0x1.74dbc8p-1f, 0x1.fcbd3p-2f,
                     -0x1.ac4b1p-2f, 0x1.44a4ecp-1f, 0x1.edbcap-2f},
                    {0, 1, 2}};
  const TestRay cornerRay{{0x1.641138p+1f, -0x1.5e2c6cp+1f, -0x1.ac78a4p+1f},
                          {-0x1.31b304p+1f, 0x1.bb635ep+1f, 0x1.ec104ap+1f}};
  // A collinear sliver, a repeated vertex, a NaN corner, an infinite corner
  // (all at z = 0), then one valid triangle further down.
  const Mesh degenerate{{0, 0, 0, 1, 0, 0, 2, 0, 0, 0, 1, 0, kNaN, 0, 0, kInf, 1, 0, 0.5f, 0.5f, -1},
                        {0, 1, 2, 0, 0, 3, 0, 4, 3, 0, 5, 3, 0, 1, 6}};
  const Mesh infinite{{0, 0, 0, 1, 0, 0, 0, 1, 0, kInf, 0, -1, 3, 0, 0, 4, 0, 0, 3, 1, 0}, {0, 1, 2, 0, 3, 2, 4, 5, 6}};
  const struct {
    const char* name;
    Mesh mesh;
    std::uint32_t chunkLimit;
    float maxT;
    std::size_t minHits, held;  // held: triangles with finite corners
    std::vector<TestRay> rays;  // none: random rays
  } cases[] = {
      {"DenseSoup", TriangleSoup(2, 3000, 0.2f), 64, kInf, 40, 3000, {}},
      {"NoisyGrid", Grid(3, 40, 0.3f), 16, kInf, 40, 3200, {}},
      {"ShortRays", TriangleSoup(5, 2000, 0.1f), 32, 0.5f, 40, 2000, {}},
      {"OneChunk", TriangleSoup(6, 500, 0.3f), 1000, kInf, 40, 500, {}},
      {"Ties", ties, 4, 100.0f, grid.size(), 290, grid},
      {"BoxCorner", corner, 1, kInf, 1, 1, {cornerRay}},
      {"Degenerate", degenerate, 2, kInf, 1, 3, {down(0.5f, 0.1f), down(1, 0), down(0.2f, 0.2f), down(0, 0.5f)}},
      {"Denormal", denormal, 2, kInf, 1, 8, {{{-1.0f, 0.2f, 0.2f}, {1, 0, 0}}}},
      {"InfiniteChunk", infinite, 2, kInf, 2, 2, {down(0.2f, 0.2f), down(3.2f, 0.2f), {{5, 0.5f, -0.5f}, {-1, 0, 0}}}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TriangleBvh bvh(c.mesh.vertices, c.mesh.indices);
    EXPECT_EQ(c.mesh.indices.size() / 3, bvh.TriangleCount());
    EXPECT_EQ(c.held, bvh.Hierarchy().PrimitiveOrder().size());
    const ChunkedMesh chunks = SpatialChunker(c.chunkLimit, 3).Split(c.mesh.vertices, {}, c.mesh.indices);
    const ChunkedTriangleBvh chunked(chunks);
    const Aabb bounds = bvh.Hierarchy().Bounds();
    std::size_t hits = 0;
    // The same hit, or the same miss, bit for bit.
    const auto key = [](const std::optional<TriangleHit>& h) {
      return h ? std::tuple(true, h->triangle, h->t, h->u, h->v) : std::tuple(false, 0u, 0.0f, 0.0f, 0.0f);
    };
    for (const TestRay& ray : c.rays.empty() ? RandomRays(7, 600, bounds.Min(), bounds.Max()) : c.rays) {
      const auto expected = key(BruteForceTriangle(c.mesh, ray, c.maxT));
      EXPECT_EQ(expected, key(bvh.Intersect(ray.origin, ray.direction, c.maxT))) << ray;
      EXPECT_EQ(expected, key(chunked.Intersect(ray.origin, ray.direction, c.maxT))) << ray;
      hits += std::get<0>(expected) ? 1 : 0;
    }
    // Misses alone would prove nothing.
    EXPECT_GE(hits, c.minHits);
  }
}

// Scalar limits and zero directions are pinned through the items in RayHitTest.
TEST(TriangleBvhTest, NaNRaysAndEmptyMeshesHitNothingAndMalformedArraysThrow) {
  const std::vector<float> vertices{0, 0, 0, 1, 0, 0, 0, 1, 0};
  const std::vector<std::uint32_t> triangle{0, 1, 2};
  const std::vector<std::uint32_t> outOfRange{0, 1, 3};
  const TriangleBvh bvh(vertices, triangle);
  EXPECT_FALSE(bvh.Intersect({0.2f, 0.2f, 1}, {0, 0, kNaN}).has_value());
  EXPECT_FALSE(bvh.Intersect({kNaN, 0.2f, 1}, {0, 0, -1}).has_value());
  EXPECT_FALSE(TriangleBvh().Intersect({0.2f, 0.2f, 1}, {0, 0, -1}).has_value());
  EXPECT_FALSE(TriangleBvh(vertices, {}).Intersect({0.2f, 0.2f, 1}, {0, 0, -1}).has_value());
  EXPECT_FALSE(ChunkedTriangleBvh(ChunkedMesh{}).Intersect({0, 0, 1}, {0, 0, -1}).has_value());
  EXPECT_THROW(TriangleBvh(std::span(vertices).first(8), triangle), std::invalid_argument);
  EXPECT_THROW(TriangleBvh(vertices, std::span(triangle).first(2)), std::invalid_argument);
  EXPECT_THROW(TriangleBvh(vertices, outOfRange), std::invalid_argument);
  // The chunker, for triangles, segments and points.
  const SpatialChunker chunker(4, 3);
  EXPECT_THROW(SpatialChunker(0, 3), std::invalid_argument);
  EXPECT_THROW(SpatialChunker(4, 0), std::invalid_argument);
  EXPECT_THROW(SpatialChunker(4, 4), std::invalid_argument);
  EXPECT_THROW(SpatialChunker(4, 2).Split(vertices, {}, triangle), std::invalid_argument) << "half a segment";
  EXPECT_THROW(chunker.Split(std::span(vertices).first(8), {}, triangle), std::invalid_argument);
  EXPECT_THROW(chunker.Split(vertices, {}, std::span(triangle).first(2)), std::invalid_argument);
  EXPECT_THROW(chunker.Split(vertices, std::span(vertices).first(6), triangle), std::invalid_argument);
  EXPECT_THROW(chunker.Split(vertices, {}, outOfRange), std::invalid_argument);
  // Chunks without the triangles they came from.
  ChunkedMesh chunks = chunker.Split(vertices, {}, triangle);
  chunks.sourcePrimitives.clear();
  EXPECT_THROW(ChunkedTriangleBvh{chunks}, std::invalid_argument);
}

TEST(ChunkedTriangleBvhTest, OnlyChunksARayReachesGetAHierarchy) {
  const Mesh grid = Grid(1, 64, 0.0f);
  const ChunkedMesh chunks = SpatialChunker(16, 3).Split(grid.vertices, {}, grid.indices);
  ASSERT_GT(chunks.chunks.size(), 400u);
  const ChunkedTriangleBvh chunked(chunks);
  EXPECT_FALSE(chunked.Intersect({-5, -5, 1}, {0, 0, -1}).has_value());
  EXPECT_EQ(0u, chunked.BuiltCount()) << "a ray that misses every box builds nothing";
  EXPECT_TRUE(chunked.Intersect({10.3f, 20.6f, 1}, {0, 0, -1}).has_value());
  EXPECT_LE(chunked.BuiltCount(), 2u);
}

// A point at every vertex, or a segment between the first two corners of
// each triangle of a soup (whose triangles take their vertices in order).
Mesh WithCorners(const Mesh& mesh, std::uint32_t corners) {
  Mesh result{mesh.vertices, {}};
  for (std::uint32_t v = 0; v < mesh.vertices.size() / 3; ++v) {
    if (corners == 1 || v % 3 < 2) result.indices.push_back(v);
  }
  return result;
}

TEST(SpatialChunkerTest, EveryPrimitiveOnceWithItsOwnCornersInABoxThatHoldsIt) {
  Mesh withNaN = Grid(5, 10, 0.0f);
  withNaN.vertices[3 * 7] = kNaN;
  withNaN.vertices[3 * 50 + 1] = kNaN;
  const Mesh soup = TriangleSoup(4, 5000, 0.1f);
  const struct {
    const char* name;
    Mesh mesh;
    std::uint32_t corners, limit;
  } cases[] = {{"OneTrianglePerChunk", Grid(2, 6, 0.0f), 3, 1},
               {"Soup", soup, 3, 300},
               {"Empty", Mesh{{0, 0, 0}, {}}, 3, 8},
               {"NaNCentroids", withNaN, 3, 16},
               {"Segments", WithCorners(soup, 2), 2, 200},
               {"Points", WithCorners(soup, 1), 1, 256},
               {"PointsWithNaN", WithCorners(withNaN, 1), 1, 7}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ChunkedMesh chunked = SpatialChunker(c.limit, c.corners).Split(c.mesh.vertices, {}, c.mesh.indices);
    const std::size_t primitiveCount = c.mesh.indices.size() / c.corners;
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
        for (std::uint32_t corner = 0; corner < c.corners; ++corner) {
          const std::uint32_t v = chunked.indices[c.corners * p + corner];
          ASSERT_GE(v, chunk.firstVertex);
          ASSERT_LT(v, chunk.firstVertex + chunk.vertexCount);
          // Bitwise, so that NaN coordinates compare too.
          const std::uint32_t input = c.mesh.indices[c.corners * source + corner];
          EXPECT_EQ(0, std::memcmp(&c.mesh.vertices[3 * input], &chunked.vertices[3 * v], 3 * sizeof(float)));
          const Float3 position = Float3::At(chunked.vertices, v);
          EXPECT_TRUE(!IsFinite(position) || chunk.bounds.Contains(position));
        }
      }
    }
    EXPECT_EQ(std::vector<int>(primitiveCount, 1), seen);
  }
}

// Over a soup's vertices with a NaN and an infinite point far outside it: the
// bounds of one hierarchy over every primitive, and a chunk's hierarchy built
// when first asked for, holding its finite primitives.
TEST(ChunkHierarchiesTest, BoundsAreThoseOfOneHierarchyAndAChunksIsBuiltWhenAskedFor) {
  std::vector<float> vertices = TriangleSoup(3, 1000, 0.2f).vertices;
  vertices.insert(vertices.end(), {kNaN, 40.0f, 0.0f, kInf, 0, 0, 0, -50.0f, kNaN});
  const std::vector<std::uint32_t> points = WithCorners({vertices, {}}, 1).indices;
  ChunkedMesh cloud = SpatialChunker(16, 1).Split(vertices, {}, points);
  const auto box = [](const Aabb& b) { return std::pair(b.Min(), b.Max()); };
  const auto pointBounds = box(PointBvh(vertices).Hierarchy().Bounds());
  const ChunkHierarchies hierarchies(cloud, 1);
  EXPECT_EQ(pointBounds, box(hierarchies.Bounds()));
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
  EXPECT_EQ(pointBounds, box(ChunkHierarchies(cloud, 1).Bounds()));
  EXPECT_THROW(ChunkHierarchies(cloud, 2), std::invalid_argument) << "segments need their indices";

  // Segments between neighbours, the bad points among their ends.
  std::vector<std::uint32_t> segments;
  for (std::uint32_t i = 0; i + 1 < points.size(); ++i) segments.insert(segments.end(), {i, i + 1});
  const ChunkedMesh lines = SpatialChunker(16, 2).Split(vertices, {}, segments);
  const ChunkHierarchies segmentHierarchies(lines, 2);
  EXPECT_EQ(box(SegmentBvh(vertices, segments).Hierarchy().Bounds()), box(segmentHierarchies.Bounds()));
  for (std::uint32_t chunk = 0; chunk < lines.chunks.size(); ++chunk) {
    EXPECT_TRUE(segmentHierarchies.BoxOf(chunk).IsEmpty() || segmentHierarchies.BoxOf(chunk).IsFinite()) << chunk;
  }
}

}  // namespace
}  // namespace KivVizOpenGL::detail
