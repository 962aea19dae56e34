#include "TriangleBvh.h"

#include <stdexcept>

#include "RayPrimitive.h"

namespace KivVizOpenGL::detail {

TriangleBvh::TriangleBvh(std::span<const float> vertices, std::span<const std::uint32_t> indices)
    : triangleCount(indices.size() / 3) {
  if (vertices.size() % 3 != 0 || indices.size() % 3 != 0) {
    throw std::invalid_argument("KivVizOpenGL::detail::TriangleBvh::TriangleBvh: array size is not a multiple of 3");
  }
  const std::size_t vertexCount = vertices.size() / 3;
  std::vector<Aabb> bounds(triangleCount);
  for (std::size_t triangle = 0; triangle < triangleCount; ++triangle) {
    bool finite = true;
    for (std::size_t corner = 0; corner < 3; ++corner) {
      const std::uint32_t index = indices[3 * triangle + corner];
      if (index >= vertexCount) {
        throw std::invalid_argument("KivVizOpenGL::detail::TriangleBvh::TriangleBvh: vertex index out of range");
      }
      const Float3 vertex = Float3::At(vertices, index);
      finite = finite && IsFinite(vertex);
      bounds[triangle].Grow(vertex);
    }
    // The empty box leaves the primitive out of the hierarchy.
    if (!finite) {
      bounds[triangle] = Aabb();
    }
  }
  bvh = Bvh(bounds);
  const auto order = bvh.PrimitiveOrder();
  corners.reserve(3 * order.size());
  triangleIds.assign(order.begin(), order.end());
  for (const std::uint32_t triangle : order) {
    for (std::size_t corner = 0; corner < 3; ++corner) {
      corners.push_back(Float3::At(vertices, indices[3 * triangle + corner]));
    }
  }
}

std::optional<TriangleHit> TriangleBvh::Intersect(const Float3& origin, const Float3& direction, float maxT) const {
  const Ray ray(origin, direction);
  std::optional<TriangleHit> nearest;
  bvh.Traverse(ray, 0.0f, maxT, [&](std::uint32_t first, std::uint32_t count, float bound) {
    for (std::size_t i = first; i < std::size_t{first} + count; ++i) {
      const auto hit = IntersectTriangle(ray, corners[3 * i], corners[3 * i + 1], corners[3 * i + 2], bound);
      if (!hit) {
        continue;
      }
      // hit->t <= bound == nearest->t here, so a hit that is not nearer
      // is as near, and the lower index wins.
      const std::uint32_t triangle = triangleIds[i];
      if (!nearest || hit->t < nearest->t || triangle < nearest->triangle) {
        nearest = TriangleHit{triangle, hit->t, hit->u, hit->v};
        bound = hit->t;
      }
    }
    return bound;
  });
  return nearest;
}

}  // namespace KivVizOpenGL::detail
