#include "PointBvh.h"

#include <stdexcept>

#include "RayPrimitive.h"

namespace KivVizOpenGL::detail {

PointBvh::PointBvh(std::span<const float> vertices) : pointCount_(vertices.size() / 3) {
  if (vertices.size() % 3 != 0) {
    throw std::invalid_argument(
        "KivVizOpenGL::detail::PointBvh::PointBvh: vertex array size is not a multiple of 3");
  }
  std::vector<Aabb> bounds(pointCount_);
  for (std::size_t point = 0; point < pointCount_; ++point) {
    bounds[point].Grow(Float3::At(vertices, point));
  }
  bvh_ = Bvh(bounds);
  const auto order = bvh_.PrimitiveOrder();
  pointIds_.assign(order.begin(), order.end());
  points_.reserve(order.size());
  for (const std::uint32_t point : order) {
    points_.push_back(Float3::At(vertices, point));
  }
}

std::optional<PointHit> PointBvh::Intersect(const Float3& origin, const Float3& direction,
                                            float tolerance, float maxT) const {
  if (!(tolerance >= 0.0f)) {
    return std::nullopt;
  }
  const Ray ray(origin, direction);
  std::optional<PointHit> nearest;
  bvh_.Traverse(ray, bvh_.PaddingFor(tolerance), maxT,
                [&](std::uint32_t first, std::uint32_t count, float bound) {
                  for (std::size_t i = first; i < std::size_t{first} + count; ++i) {
                    const auto approach = ApproachPoint(ray, points_[i], tolerance, maxT);
                    const std::uint32_t point = pointIds_[i];
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
