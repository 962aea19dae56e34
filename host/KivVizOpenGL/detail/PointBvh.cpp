#include "PointBvh.h"

#include <stdexcept>

#include "RayPrimitive.h"

namespace KivVizOpenGL::detail {

PointBvh::PointBvh(std::span<const float> vertices) : pointCount(vertices.size() / 3) {
  if (vertices.size() % 3 != 0) {
    throw std::invalid_argument("KivVizOpenGL::detail::PointBvh::PointBvh: vertex array size is not a multiple of 3");
  }
  std::vector<Aabb> bounds(pointCount);
  for (std::size_t point = 0; point < pointCount; ++point) {
    bounds[point].Grow(Float3::At(vertices, point));
  }
  bvh = Bvh(bounds);
  const auto order = bvh.PrimitiveOrder();
  pointIds.assign(order.begin(), order.end());
  points.reserve(order.size());
  for (const std::uint32_t point : order) {
    points.push_back(Float3::At(vertices, point));
  }
}

std::optional<PointHit> PointBvh::Intersect(const Float3& origin, const Float3& direction, float tolerance,
                                            float maxT) const {
  if (!(tolerance >= 0.0f)) {
    return std::nullopt;
  }
  const Ray ray(origin, direction);
  std::optional<PointHit> nearest;
  bvh.Traverse(ray, bvh.PaddingFor(tolerance), maxT, [&](std::uint32_t first, std::uint32_t count, float bound) {
    for (std::size_t i = first; i < std::size_t{first} + count; ++i) {
      const auto approach = ApproachPoint(ray, points[i], tolerance, maxT);
      const std::uint32_t point = pointIds[i];
      if (!approach || approach->t > bound) {
        continue;
      }
      // Past the check above approach->t <= bound == nearest->t,
      // so a tie goes to the lower index.
      if (!nearest || approach->t < nearest->t || point < nearest->point) {
        nearest = PointHit{point, approach->t, approach->distance};
        bound = approach->t;
      }
    }
    return bound;
  });
  return nearest;
}

}  // namespace KivVizOpenGL::detail
