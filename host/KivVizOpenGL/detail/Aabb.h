// Axis-aligned bounding box: what the BVHs store per node, what mesh chunks
// are culled by, and the ray-slab test both rely on.
#ifndef NIMBO_HOST_KIVVIZOPENGL_DETAIL_AABB_H
#define NIMBO_HOST_KIVVIZOPENGL_DETAIL_AABB_H

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
  Aabb(const Float3& lower, const Float3& upper) : min(lower), max(upper) {}

  const Float3& Min() const { return min; }
  const Float3& Max() const { return max; }

  bool IsEmpty() const { return !(min.x <= max.x && min.y <= max.y && min.z <= max.z); }
  // Non-empty with finite corners.
  bool IsFinite() const;

  // A NaN coordinate leaves that axis unchanged.
  void Grow(const Float3& point) {
    min = {std::min(min.x, point.x), std::min(min.y, point.y), std::min(min.z, point.z)};
    max = {std::max(max.x, point.x), std::max(max.y, point.y), std::max(max.z, point.z)};
  }
  // The empty box's infinite corners leave this one unchanged, no test
  // needed.
  void Merge(const Aabb& other) {
    min = {std::min(min.x, other.min.x), std::min(min.y, other.min.y), std::min(min.z, other.min.z)};
    max = {std::max(max.x, other.max.x), std::max(max.y, other.max.y), std::max(max.z, other.max.z)};
  }

  bool Contains(const Float3& point) const;
  // The empty box is contained in every box; it contains none but itself.
  bool Contains(const Aabb& other) const;

  Float3 Center() const;
  // Max - Min; zero per axis for the empty box.
  Float3 Extent() const { return IsEmpty() ? Float3{} : max - min; }
  // 0, 1 or 2: the axis with the largest extent (the lowest on ties).
  int LongestAxis() const;
  // Half the surface area, the weight a surface-area heuristic needs; zero
  // for the empty box.
  float HalfArea() const {
    const Float3 e = Extent();
    return e.x * e.y + e.y * e.z + e.z * e.x;
  }

  // The part of the ray origin + t * direction, t in [0, maxT], that lies in
  // the box grown by `padding` on every side; nothing when they miss or the
  // ray is not valid. Touching counts. The exit is widened by a few ulps so
  // that rounding never rejects a primitive lying on a face.
  std::optional<RayInterval> IntersectRay(const Ray& ray, float maxT, float padding = 0.0f) const {
    if (!ray.IsValid() || IsEmpty()) {
      return std::nullopt;
    }
    RayInterval interval{0.0f, std::min(maxT, std::numeric_limits<float>::max())};
    if (!ClipRay(ray, padding, interval)) {
      return std::nullopt;
    }
    return interval;
  }

  // IntersectRay without its checks, for hot loops over boxes known to be
  // non-empty with a valid ray: narrows `interval` (entry >= 0, exit finite)
  // to the part inside the box and says whether any is left.
  // A direction component of zero is handled through the infinite inverse:
  // an origin exactly on a slab plane gives 0 * inf = NaN there, and the
  // comparisons are ordered so that a NaN never narrows the interval (the
  // ray then runs inside that face, which the closed box contains).
  bool ClipRay(const Ray& ray, float padding, RayInterval& interval) const {
    float entry = interval.entry;
    float exit = interval.exit;
    // Written out per axis rather than looped over Float3's operator[], so
    // that no axis selection is left in the hottest loop.
    const auto slab = [&](float inverse, float origin, float low, float high) {
      low -= padding;
      high += padding;
      const bool positive = !std::signbit(inverse);
      const float slabEntry = ((positive ? low : high) - origin) * inverse;
      const float slabExit = ((positive ? high : low) - origin) * inverse * kExitWidening;
      entry = slabEntry > entry ? slabEntry : entry;
      exit = slabExit < exit ? slabExit : exit;
    };
    const Float3& inverse = ray.InverseDirection();
    const Float3& origin = ray.Origin();
    slab(inverse.x, origin.x, min.x, max.x);
    slab(inverse.y, origin.y, min.y, max.y);
    slab(inverse.z, origin.z, min.z, max.z);
    interval = {entry, exit};
    return entry <= exit;
  }

  // 1 + 2 * gamma(3) for float: the relative error bound of the slab
  // distances (three rounded operations each).
  static constexpr float kExitWidening = 1.0f + 2.0f * (3.0f * 0x1p-24f) / (1.0f - 3.0f * 0x1p-24f);

 private:
  Float3 min{std::numeric_limits<float>::infinity(), std::numeric_limits<float>::infinity(),
             std::numeric_limits<float>::infinity()};
  Float3 max{-std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
             -std::numeric_limits<float>::infinity()};
};

}  // namespace KivVizOpenGL::detail

#endif
