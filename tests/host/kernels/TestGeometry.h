// Seeded random meshes and rays for the kernel tests, and the brute-force
// answer to compare the triangle hierarchy with.
#ifndef NIMBO_TESTS_HOST_KERNELS_TESTGEOMETRY_H
#define NIMBO_TESTS_HOST_KERNELS_TESTGEOMETRY_H

#include <cstdint>
#include <optional>
#include <vector>

#include "detail/Float3.h"
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

// Triangles of random size up to `size` scattered in the cube [-1, 1]^3.
Mesh TriangleSoup(std::uint32_t seed, std::size_t triangles, float size);
// An n x n grid of quads over [0, n]^2, two triangles each, with heights
// jittered by up to `noise` (zero keeps integer coordinates).
Mesh Grid(std::uint32_t seed, std::uint32_t n, float noise);

// Rays from outside and inside [low, high], aimed into it or anywhere; a
// quarter have one or two zero direction components (of either sign).
std::vector<TestRay> RandomRays(std::uint32_t seed, std::size_t count, const Float3& low, const Float3& high);

std::optional<TriangleHit> BruteForceTriangle(const Mesh& mesh, const TestRay& ray, float maxT);

// The same hit, or the same miss, bit for bit.
void ExpectSameHit(const std::optional<TriangleHit>& expected, const std::optional<TriangleHit>& actual,
                   const TestRay& ray);

}  // namespace KivVizOpenGL::detail::test

#endif
