// A pick ray widened into a narrow cone, for hitting lines and points that
// have no area: a point is hit when it lies within the cone's angle as seen
// from the ray's origin, a segment when any of its points does (the one
// nearest the ray in angle is reported).
// So the tolerance is about a pixel whatever the distance, as a person
// pointing at a thin line expects.
#ifndef NIMBO_HOST_KIVVIZOPENGL_PICKCONE_H
#define NIMBO_HOST_KIVVIZOPENGL_PICKCONE_H

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

#include "detail/Aabb.h"
#include "detail/Bvh.h"
#include "detail/ChunkHierarchies.h"
#include "detail/Float3.h"
#include "detail/Ray.h"
#include "detail/RayPrimitive.h"

namespace KivVizOpenGL {

class PickCone {
 public:
  // The ray origin + t * direction, 0 <= t <= scalar; angle in radians.
  PickCone(const float origin[3], const float direction[3], float scalar, float angle);

  // False for a ray that hits nothing: invalid, negative or NaN scalar or
  // angle.
  bool IsUsable() const { return usable; }
  const detail::Ray& GetRay() const { return ray; }

  // The widest the cone gets inside the box (at the box point furthest from
  // the origin, or at the ray's end): what the boxes of a hierarchy must be
  // padded by.
  float WidestWithin(const detail::Aabb& box) const;

  // Where the primitive lies within the cone, if it does (for a segment,
  // its point nearest the ray in angle); `widest` bounds the tolerance
  // (WidestWithin of a box around the primitive).
  std::optional<detail::SegmentApproach> Approach(const detail::Float3& a, const detail::Float3& b, float widest) const;
  std::optional<detail::PointApproach> Approach(const detail::Float3& point, float widest) const;

  // Writes origin + t * direction and t.
  void WriteHit(float t, float hitPoint[3], float& parameter) const;

  // The t of the nearest primitive of hierarchy within the cone, if any;
  // approachOf(primitive, widest) gives a primitive's Approach.
  template <typename ApproachOf>
  std::optional<float> Nearest(const detail::Bvh& hierarchy, ApproachOf&& approachOf) const {
    const float widest = WidestWithin(hierarchy.Bounds());
    const auto order = hierarchy.PrimitiveOrder();
    std::optional<float> nearest;
    hierarchy.Traverse(ray, hierarchy.PaddingFor(widest), scalar,
                       [&](std::uint32_t first, std::uint32_t count, float bound) {
                         for (std::uint32_t i = first; i < first + count; ++i) {
                           const auto approach = approachOf(order[i], widest);
                           if (approach && approach->t <= bound) {
                             nearest = approach->t;
                             bound = approach->t;
                           }
                         }
                         return bound;
                       });
    return nearest;
  }

  // The same over a line set or cloud in chunks, with the same answer:
  // approachOf(chunk, primitive, widest) gives the Approach of a primitive
  // numbered within its chunk. Only the chunks the cone reaches get a
  // hierarchy of their own.
  template <typename ApproachOf>
  std::optional<float> Nearest(const detail::ChunkHierarchies& hierarchies, ApproachOf&& approachOf) const {
    // The widest of the whole set, as one hierarchy over it would take, so
    // that every primitive is tested exactly as there.
    const float widest = WidestWithin(hierarchies.Bounds());
    const detail::Bvh& top = hierarchies.Chunks();
    const float padding = top.PaddingFor(widest);
    const auto chunkOrder = top.PrimitiveOrder();
    std::optional<float> nearest;
    top.Traverse(ray, padding, scalar, [&](std::uint32_t first, std::uint32_t count, float bound) {
      for (std::uint32_t i = first; i < first + count; ++i) {
        const std::uint32_t chunk = chunkOrder[i];
        detail::RayInterval reach{0.0f,
                                  std::min(bound * detail::Aabb::kExitWidening, std::numeric_limits<float>::max())};
        if (!hierarchies.BoxOf(chunk).ClipRay(ray, padding, reach)) {
          continue;
        }
        const detail::Bvh& inner = hierarchies.Of(chunk);
        const auto order = inner.PrimitiveOrder();
        inner.Traverse(ray, inner.PaddingFor(widest), bound,
                       [&](std::uint32_t innerFirst, std::uint32_t innerCount, float innerBound) {
                         for (std::uint32_t j = innerFirst; j < innerFirst + innerCount; ++j) {
                           const auto approach = approachOf(chunk, order[j], widest);
                           if (approach && approach->t <= innerBound) {
                             nearest = approach->t;
                             innerBound = approach->t;
                           }
                         }
                         return innerBound;
                       });
        if (nearest) {
          bound = *nearest;
        }
      }
      return bound;
    });
    return nearest;
  }

 private:
  bool Within(float distance, float t) const;

  detail::Ray ray;
  float scalar;
  float angle;
  float directionLength;
  bool usable;
};

}  // namespace KivVizOpenGL

#endif
