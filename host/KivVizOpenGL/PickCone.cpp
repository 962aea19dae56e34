#include "PickCone.h"

#include <algorithm>
#include <cmath>

namespace KivVizOpenGL {

namespace {

detail::Float3 ToFloat3(const float value[3]) { return {value[0], value[1], value[2]}; }

float Length(const detail::Float3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

}  // namespace

PickCone::PickCone(const float origin[3], const float direction[3], float scalar, float angle)
    : ray(ToFloat3(origin), ToFloat3(direction)),
      scalar(scalar),
      angle(angle),
      directionLength(Length(ray.Direction())),
      usable(ray.IsValid() && scalar >= 0.0f && angle >= 0.0f && std::isfinite(angle)) {}

float PickCone::WidestWithin(const detail::Aabb& box) const {
  if (box.IsEmpty()) {
    return 0.0f;
  }
  // The corner furthest from the origin is, per axis, the face further away.
  const detail::Float3& origin = ray.Origin();
  detail::Float3 furthest;
  const auto furthestOffset = [](float low, float high, float at) {
    return std::max(std::abs(low - at), std::abs(high - at));
  };
  furthest.x = furthestOffset(box.Min().x, box.Max().x, origin.x);
  furthest.y = furthestOffset(box.Min().y, box.Max().y, origin.y);
  furthest.z = furthestOffset(box.Min().z, box.Max().z, origin.z);
  const float reach = std::min(Length(furthest), scalar * directionLength);
  return angle * reach;
}

std::optional<detail::SegmentApproach> PickCone::Approach(const detail::Float3& a, const detail::Float3& b,
                                                          float widest) const {
  // Any point inside the cone lies within `widest` of the ray, so a segment
  // that never comes that close is out at the price of the plain approach.
  if (!detail::ApproachSegment(ray, a, b, widest, scalar)) {
    return std::nullopt;
  }
  return detail::ApproachSegmentInCone(ray, a, b, angle, scalar);
}

std::optional<detail::PointApproach> PickCone::Approach(const detail::Float3& point, float widest) const {
  auto approach = detail::ApproachPoint(ray, point, widest, scalar);
  if (approach && !Within(approach->distance, approach->t)) {
    approach.reset();
  }
  return approach;
}

void PickCone::WriteHit(float t, float hitPoint[3], float& parameter) const {
  const detail::Float3 point = ray.Origin() + ray.Direction() * t;
  hitPoint[0] = point.x;
  hitPoint[1] = point.y;
  hitPoint[2] = point.z;
  parameter = t;
}

bool PickCone::Within(float distance, float t) const { return distance <= angle * t * directionLength; }

}  // namespace KivVizOpenGL
