#include "SegmentBvh.h"

#include <stdexcept>

#include "RayPrimitive.h"

namespace KivVizOpenGL::detail {

SegmentBvh::SegmentBvh(std::span<const float> vertices, std::span<const std::uint32_t> indices)
    : segmentCount(indices.size() / 2) {
  if (vertices.size() % 3 != 0 || indices.size() % 2 != 0) {
    throw std::invalid_argument(
        "KivVizOpenGL::detail::SegmentBvh::SegmentBvh: vertex array size is not a multiple of 3 "
        "or index array size is odd");
  }
  const std::size_t vertexCount = vertices.size() / 3;
  std::vector<Aabb> bounds(segmentCount);
  for (std::size_t segment = 0; segment < segmentCount; ++segment) {
    bool finite = true;
    for (std::size_t end = 0; end < 2; ++end) {
      const std::uint32_t index = indices[2 * segment + end];
      if (index >= vertexCount) {
        throw std::invalid_argument("KivVizOpenGL::detail::SegmentBvh::SegmentBvh: vertex index out of range");
      }
      const Float3 vertex = Float3::At(vertices, index);
      finite = finite && IsFinite(vertex);
      bounds[segment].Grow(vertex);
    }
    // The empty box leaves the primitive out of the hierarchy.
    if (!finite) {
      bounds[segment] = Aabb();
    }
  }
  bvh = Bvh(bounds);
  const auto order = bvh.PrimitiveOrder();
  ends.reserve(2 * order.size());
  segmentIds.assign(order.begin(), order.end());
  for (const std::uint32_t segment : order) {
    ends.push_back(Float3::At(vertices, indices[2 * segment]));
    ends.push_back(Float3::At(vertices, indices[2 * segment + 1]));
  }
}

std::optional<SegmentHit> SegmentBvh::Intersect(const Float3& origin, const Float3& direction, float tolerance,
                                                float maxT) const {
  if (!(tolerance >= 0.0f)) {
    return std::nullopt;
  }
  const Ray ray(origin, direction);
  std::optional<SegmentHit> nearest;
  // The closest approach is taken over the whole [0, maxT]; the shrinking
  // bound only decides which approaches can still win.
  bvh.Traverse(ray, bvh.PaddingFor(tolerance), maxT, [&](std::uint32_t first, std::uint32_t count, float bound) {
    for (std::size_t i = first; i < std::size_t{first} + count; ++i) {
      const auto approach = ApproachSegment(ray, ends[2 * i], ends[2 * i + 1], tolerance, maxT);
      const std::uint32_t segment = segmentIds[i];
      if (!approach || approach->t > bound) {
        continue;
      }
      // Past the check above approach->t <= bound == nearest->t,
      // so a tie goes to the lower index.
      if (!nearest || approach->t < nearest->t || segment < nearest->segment) {
        nearest = SegmentHit{segment, approach->t, approach->segmentParameter, approach->point, approach->distance};
        bound = approach->t;
      }
    }
    return bound;
  });
  return nearest;
}

}  // namespace KivVizOpenGL::detail
