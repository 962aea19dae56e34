#include "Aabb.h"

#include <cmath>

namespace KivVizOpenGL::detail {

bool Aabb::IsFinite() const {
  return !IsEmpty() && std::isfinite(min.x) && std::isfinite(min.y) && std::isfinite(min.z) && std::isfinite(max.x) &&
         std::isfinite(max.y) && std::isfinite(max.z);
}

bool Aabb::Contains(const Float3& point) const {
  return min.x <= point.x && point.x <= max.x && min.y <= point.y && point.y <= max.y && min.z <= point.z &&
         point.z <= max.z;
}

bool Aabb::Contains(const Aabb& other) const {
  if (other.IsEmpty()) {
    return true;
  }
  return Contains(other.min) && Contains(other.max);
}

Float3 Aabb::Center() const {
  // Halves first, so that boxes near the float range do not overflow.
  return min * 0.5f + max * 0.5f;
}

int Aabb::LongestAxis() const {
  const Float3 extent = Extent();
  if (extent.y > extent.x) {
    return extent.z > extent.y ? 2 : 1;
  }
  return extent.z > extent.x ? 2 : 0;
}

}  // namespace KivVizOpenGL::detail
