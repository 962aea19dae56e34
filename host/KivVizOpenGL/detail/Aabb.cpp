#include "Aabb.h"

#include <cmath>

namespace KivVizOpenGL::detail {

bool Aabb::IsFinite() const {
  return !IsEmpty() && std::isfinite(min_.x) && std::isfinite(min_.y) && std::isfinite(min_.z) &&
         std::isfinite(max_.x) && std::isfinite(max_.y) && std::isfinite(max_.z);
}

bool Aabb::Contains(const Float3& point) const {
  return min_.x <= point.x && point.x <= max_.x && min_.y <= point.y && point.y <= max_.y &&
         min_.z <= point.z && point.z <= max_.z;
}

bool Aabb::Contains(const Aabb& other) const {
  if (other.IsEmpty()) {
    return true;
  }
  return Contains(other.min_) && Contains(other.max_);
}

Float3 Aabb::Center() const {
  // Halves first, so that boxes near the float range do not overflow.
  return min_ * 0.5f + max_ * 0.5f;
}

int Aabb::LongestAxis() const {
  const Float3 extent = Extent();
  if (extent.y > extent.x) {
    return extent.z > extent.y ? 2 : 1;
  }
  return extent.z > extent.x ? 2 : 0;
}

}  // namespace KivVizOpenGL::detail
