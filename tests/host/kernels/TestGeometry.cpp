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

void Append(std::vector<float>& xyz, const Float3& p) { xyz.insert(xyz.end(), {p.x, p.y, p.z}); }

const Float3 kLow{-1.0f, -1.0f, -1.0f};
const Float3 kHigh{1.0f, 1.0f, 1.0f};

// The nearest of `count` primitives a hit function finds, lowest index on ties.
template <typename Hit, typename Find>
std::optional<Hit> Nearest(std::uint32_t count, Find find) {
  std::optional<Hit> nearest;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::optional<Hit> hit = find(i);
    if (hit && (!nearest || hit->t < nearest->t)) nearest = hit;
  }
  return nearest;
}

}  // namespace

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

Mesh Polyline(std::uint32_t seed, std::size_t segments) {
  std::mt19937 random(seed);
  const Float3 step{0.2f, 0.2f, 0.2f};
  Float3 position;
  Mesh lines;
  Append(lines.vertices, position);
  for (std::uint32_t s = 0; s < segments; ++s) {
    position = RandomPoint(random, position - step, position + step);
    Append(lines.vertices, position);
    lines.indices.insert(lines.indices.end(), {s, s + 1});
  }
  return lines;
}

std::vector<float> PointCloud(std::uint32_t seed, std::size_t points) {
  std::mt19937 random(seed);
  std::vector<float> xyz;
  for (std::size_t p = 0; p < points; ++p) Append(xyz, RandomPoint(random, kLow, kHigh));
  return xyz;
}

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

std::optional<TriangleHit> BruteForceTriangle(const Mesh& mesh, const TestRay& ray, float maxT) {
  const Ray r(ray.origin, ray.direction);
  const auto& v = mesh.vertices;
  const auto& i = mesh.indices;
  return Nearest<TriangleHit>(static_cast<std::uint32_t>(i.size() / 3), [&](std::uint32_t t) -> std::optional<TriangleHit> {
    const auto hit = IntersectTriangle(r, Float3::At(v, i[3 * t]), Float3::At(v, i[3 * t + 1]), Float3::At(v, i[3 * t + 2]), maxT);
    if (!hit) return std::nullopt;
    return TriangleHit{t, hit->t, hit->u, hit->v};
  });
}

std::optional<SegmentHit> BruteForceSegment(const Mesh& lines, const TestRay& ray, float tolerance, float maxT) {
  const Ray r(ray.origin, ray.direction);
  const auto& v = lines.vertices;
  const auto& i = lines.indices;
  return Nearest<SegmentHit>(static_cast<std::uint32_t>(i.size() / 2), [&](std::uint32_t s) -> std::optional<SegmentHit> {
    const auto a = ApproachSegment(r, Float3::At(v, i[2 * s]), Float3::At(v, i[2 * s + 1]), tolerance, maxT);
    if (!a) return std::nullopt;
    return SegmentHit{s, a->t, a->segmentParameter, a->point, a->distance};
  });
}

std::optional<PointHit> BruteForcePoint(const std::vector<float>& points, const TestRay& ray, float tolerance,
                                        float maxT) {
  const Ray r(ray.origin, ray.direction);
  return Nearest<PointHit>(static_cast<std::uint32_t>(points.size() / 3), [&](std::uint32_t p) -> std::optional<PointHit> {
    const auto a = ApproachPoint(r, Float3::At(points, p), tolerance, maxT);
    if (!a) return std::nullopt;
    return PointHit{p, a->t, a->distance};
  });
}

}  // namespace KivVizOpenGL::detail::test
