// Ray picking on a point cloud: a BVH over the points answers the point
// nearest along the ray among those within a tolerance of it.
#ifndef NIMBO_HOST_KIVVIZOPENGL_DETAIL_POINTBVH_H
#define NIMBO_HOST_KIVVIZOPENGL_DETAIL_POINTBVH_H

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <vector>

#include "Bvh.h"
#include "Float3.h"

namespace KivVizOpenGL::detail {

struct PointHit {
  std::uint32_t point = 0;  // vertex index
  float t = 0.0f;           // ray parameter of the ray point closest to it
  float distance = 0.0f;    // from the ray
};

class PointBvh {
 public:
  // Hits nothing.
  PointBvh() = default;
  // Every vertex (x, y, z) is a point; the array is copied. Throws
  // std::invalid_argument when its size is not a multiple of three.
  explicit PointBvh(std::span<const float> vertices);

  // The point within `tolerance` of origin + t * direction, t in [0, maxT],
  // with the smallest t; among equal t the lowest index.
  std::optional<PointHit> Intersect(const Float3& origin, const Float3& direction, float tolerance,
                                    float maxT = std::numeric_limits<float>::infinity()) const;

  std::size_t PointCount() const { return pointCount; }
  const Bvh& Hierarchy() const { return bvh; }

 private:
  Bvh bvh;
  // Points in leaf order.
  std::vector<Float3> points;
  std::vector<std::uint32_t> pointIds;
  std::size_t pointCount = 0;
};

}  // namespace KivVizOpenGL::detail

#endif
