// Axis-aligned bounding box: what the BVHs store per node, what mesh chunks
// are culled by, and the ray-slab test both rely on.
#ifndef NIMBO_KIVVIZOPENGL_DETAIL_AABB_H
#define NIMBO_KIVVIZOPENGL_DETAIL_AABB_H

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "Float3.h"
#include "Ray.h"

namespace KivVizOpenGL::detail {

// The part of a ray inside a box: entry <= exit, both within [0, maxT].
struct RayInterval {
  float entry = 0.0f;
  float exit = 0.0f;
};

class Aabb {
 public:
  // The empty box: it contains nothing and growing it by a point gives that
  // point's box.
  Aabb() = default;
  Aabb(const Float3& min, const Float3& max) : min_(min), max_(max) {}

  const Float3& Min() const { return min_; }
  const Float3& Max() const { return max_; }

  bool IsEmpty() const {
    return !(min_.x <= max_.x && min_.y <= max_.y && min_.z <= max_.z);
  }
  // Non-empty with finite corners.
  bool IsFinite() const;

  // A NaN coordinate leaves that axis unchanged.
  void Grow(const Float3& point) {
    min_ = {std::min(min_.x, point.x), std::min(min_.y, point.y), std::min(min_.z, point.z)};
    max_ = {std::max(max_.x, point.x), std::max(max_.y, point.y), std::max(max_.z, point.z)};
  }
  void Merge(const Aabb& other) {
    if (!other.IsEmpty()) {
      Grow(other.min_);
      Grow(other.max_);
    }
  }

  bool Contains(const Float3& point) const;
  // The empty box is contained in every box; it contains none but itself.
  bool Contains(const Aabb& other) const;

  Float3 Center() const;
  // Max - Min; zero per axis for the empty box.
  Float3 Extent() const;
  // 0, 1 or 2: the axis with the largest extent (the lowest on ties).
  int LongestAxis() const;
  // Half the surface area, the weight a surface-area heuristic needs; zero
  // for the empty box.
  float HalfArea() const;

  // The part of the ray origin + t * direction, t in [0, maxT], that lies in
  // the box grown by `padding` on every side; nothing when they miss or the
  // ray is not valid. Touching counts. A direction component of zero is
  // handled through the infinite inverse: an origin exactly on a slab plane
  // gives 0 * inf = NaN there, and the comparisons are ordered so that a NaN
  // never narrows the interval (the ray then runs inside that face, which
  // the closed box contains). The exit is widened by a few ulps so that
  // rounding never rejects a primitive lying on a face.
  std::optional<RayInterval> IntersectRay(const Ray& ray, float maxT, float padding = 0.0f) const {
    if (!ray.IsValid() || IsEmpty()) {
      return std::nullopt;
    }
    float entry = 0.0f;
    float exit = std::min(maxT, std::numeric_limits<float>::max());
    for (int axis = 0; axis < 3; ++axis) {
      const float inverse = ray.InverseDirection()[axis];
      const float origin = ray.Origin()[axis];
      const float low = min_[axis] - padding;
      const float high = max_[axis] + padding;
      const bool positive = !std::signbit(inverse);
      const float near = ((positive ? low : high) - origin) * inverse;
      const float far = ((positive ? high : low) - origin) * inverse * kExitWidening;
      entry = near > entry ? near : entry;
      exit = far < exit ? far : exit;
    }
    if (!(entry <= exit)) {
      return std::nullopt;
    }
    return RayInterval{entry, exit};
  }

  // 1 + 2 * gamma(3) for float: the relative error bound of the slab
  // distances (three rounded operations each).
  static constexpr float kExitWidening =
      1.0f + 2.0f * (3.0f * 0x1p-24f) / (1.0f - 3.0f * 0x1p-24f);

 private:
  Float3 min_{std::numeric_limits<float>::infinity(), std::numeric_limits<float>::infinity(),
              std::numeric_limits<float>::infinity()};
  Float3 max_{-std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
              -std::numeric_limits<float>::infinity()};
};

}  // namespace KivVizOpenGL::detail

#endif
