#include "TestGeometry.h"

#include <random>

#include "detail/Ray.h"
#include "detail/RayPrimitive.h"

namespace KivVizOpenGL::detail::test {

namespace {

Float3 RandomPoint(std::mt19937& random, const Float3& low, const Float3& high) {
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  return {low.x + unit(random) * (high.x - low.x), low.y + unit(random) * (high.y - low.y),
          low.z + unit(random) * (high.z - low.z)};
}

void Append(std::vector<float>& xyz, const Float3& p) {
  xyz.insert(xyz.end(), {p.x, p.y, p.z});
}

}  // namespace

Mesh TriangleSoup(std::uint32_t seed, std::size_t triangles, float size) {
  std::mt19937 random(seed);
  const Float3 corner{-1.0f, -1.0f, -1.0f};
  const Float3 opposite{1.0f, 1.0f, 1.0f};
  const Float3 half{size, size, size};
  Mesh mesh;
  for (std::size_t t = 0; t < triangles; ++t) {
    const Float3 anchor = RandomPoint(random, corner, opposite);
    for (int c = 0; c < 3; ++c) {
      Append(mesh.vertices, RandomPoint(random, anchor - half, anchor + half));
      mesh.indices.push_back(static_cast<std::uint32_t>(mesh.indices.size()));
    }
  }
  return mesh;
}

Mesh Grid(std::uint32_t seed, std::uint32_t n, float noise) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> jitter(-noise, noise);
  Mesh mesh;
  for (std::uint32_t y = 0; y <= n; ++y) {
    for (std::uint32_t x = 0; x <= n; ++x) {
      Append(mesh.vertices, {static_cast<float>(x), static_cast<float>(y),
                             noise > 0.0f ? jitter(random) : 0.0f});
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

Mesh Polyline(std::uint32_t seed, std::size_t segments) {
  std::mt19937 random(seed);
  const Float3 step{0.2f, 0.2f, 0.2f};
  Float3 position;
  Mesh lines;
  Append(lines.vertices, position);
  for (std::size_t s = 0; s < segments; ++s) {
    position = RandomPoint(random, position - step, position + step);
    Append(lines.vertices, position);
    lines.indices.insert(lines.indices.end(),
                         {static_cast<std::uint32_t>(s), static_cast<std::uint32_t>(s + 1)});
  }
  return lines;
}

std::vector<float> PointCloud(std::uint32_t seed, std::size_t points) {
  std::mt19937 random(seed);
  std::vector<float> xyz;
  for (std::size_t p = 0; p < points; ++p) {
    Append(xyz, RandomPoint(random, {-1.0f, -1.0f, -1.0f}, {1.0f, 1.0f, 1.0f}));
  }
  return xyz;
}

std::vector<TestRay> RandomRays(std::uint32_t seed, std::size_t count, const Float3& low,
                                const Float3& high) {
  std::mt19937 random(seed);
  const Float3 margin = (high - low) * 0.5f;
  std::vector<TestRay> rays;
  for (std::size_t i = 0; i < count; ++i) {
    const Float3 origin = RandomPoint(random, low - margin, high + margin);
    Float3 direction = i % 2 == 0 ? RandomPoint(random, low, high) - origin
                                  : RandomPoint(random, {-1, -1, -1}, {1, 1, 1});
    if (i % 4 == 1) {
      direction.x = (i % 8 == 1) ? 0.0f : -0.0f;
    }
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
  std::optional<TriangleHit> nearest;
  for (std::uint32_t t = 0; t < mesh.indices.size() / 3; ++t) {
    const auto hit = IntersectTriangle(r, Float3::At(mesh.vertices, mesh.indices[3 * t]),
                                       Float3::At(mesh.vertices, mesh.indices[3 * t + 1]),
                                       Float3::At(mesh.vertices, mesh.indices[3 * t + 2]), maxT);
    if (hit && (!nearest || hit->t < nearest->t)) {
      nearest = TriangleHit{t, hit->t, hit->u, hit->v};
    }
  }
  return nearest;
}

std::optional<SegmentHit> BruteForceSegment(const Mesh& lines, const TestRay& ray,
                                            float tolerance, float maxT) {
  const Ray r(ray.origin, ray.direction);
  std::optional<SegmentHit> nearest;
  for (std::uint32_t s = 0; s < lines.indices.size() / 2; ++s) {
    const auto a = ApproachSegment(r, Float3::At(lines.vertices, lines.indices[2 * s]),
                                   Float3::At(lines.vertices, lines.indices[2 * s + 1]),
                                   tolerance, maxT);
    if (a && (!nearest || a->t < nearest->t)) {
      nearest = SegmentHit{s, a->t, a->segmentParameter, a->point, a->distance};
    }
  }
  return nearest;
}

std::optional<PointHit> BruteForcePoint(const std::vector<float>& points, const TestRay& ray,
                                        float tolerance, float maxT) {
  const Ray r(ray.origin, ray.direction);
  std::optional<PointHit> nearest;
  for (std::uint32_t p = 0; p < points.size() / 3; ++p) {
    const auto a = ApproachPoint(r, Float3::At(points, p), tolerance, maxT);
    if (a && (!nearest || a->t < nearest->t)) {
      nearest = PointHit{p, a->t, a->distance};
    }
  }
  return nearest;
}

}  // namespace KivVizOpenGL::detail::test
