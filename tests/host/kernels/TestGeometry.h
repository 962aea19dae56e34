// Seeded random meshes and rays for the kernel tests, and the brute-force
// answer to compare the triangle hierarchy with.
#ifndef NIMBO_TESTS_HOST_KERNELS_TESTGEOMETRY_H
#define NIMBO_TESTS_HOST_KERNELS_TESTGEOMETRY_H

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <tuple>
#include <vector>

#include "detail/Float3.h"
#include "detail/Ray.h"
#include "detail/RayPrimitive.h"
#include "detail/TriangleBvh.h"

namespace KivVizOpenGL::detail::test {

struct Mesh {
  std::vector<float> vertices;
  std::vector<std::uint32_t> indices;
};

struct TestRay {
  Float3 origin;
  Float3 direction;
};

inline Float3 RandomPoint(std::mt19937& random, const Float3& low, const Float3& high) {
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  return {low.x + unit(random) * (high.x - low.x), low.y + unit(random) * (high.y - low.y),
          low.z + unit(random) * (high.z - low.z)};
}

inline void Append(std::vector<float>& xyz, const Float3& p) { xyz.insert(xyz.end(), {p.x, p.y, p.z}); }

// Triangles of random size up to `size` scattered in the cube [-1, 1]^3.
inline Mesh TriangleSoup(std::uint32_t seed, std::size_t triangles, float size) {
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
inline Mesh Grid(std::uint32_t seed, std::uint32_t n, float noise) {
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
inline std::vector<TestRay> RandomRays(std::uint32_t seed, std::size_t count, const Float3& low, const Float3& high) {
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

inline std::optional<TriangleHit> BruteForceTriangle(const Mesh& mesh, const TestRay& ray, float maxT) {
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

// The same hit, or the same miss, bit for bit.
inline void ExpectSameHit(const std::optional<TriangleHit>& expected, const std::optional<TriangleHit>& actual,
                          const TestRay& ray) {
  const auto key = [](const std::optional<TriangleHit>& h) {
    return h ? std::tuple(true, h->triangle, h->t, h->u, h->v) : std::tuple(false, 0u, 0.0f, 0.0f, 0.0f);
  };
  EXPECT_EQ(key(expected), key(actual)) << "ray (" << ray.origin.x << ", " << ray.origin.y << ", " << ray.origin.z
                                        << ") dir (" << ray.direction.x << ", " << ray.direction.y << ", "
                                        << ray.direction.z << ")";
}

}  // namespace KivVizOpenGL::detail::test

#endif
