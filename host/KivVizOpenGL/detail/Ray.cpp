#include "Ray.h"

namespace KivVizOpenGL::detail {

Ray::Ray(const Float3& origin, const Float3& direction)
    : origin(origin),
      direction(direction),
      inverseDirection{1.0f / direction.x, 1.0f / direction.y, 1.0f / direction.z},
      valid(IsFinite(origin) && IsFinite(direction) &&
            (direction.x != 0.0f || direction.y != 0.0f || direction.z != 0.0f)) {}

}  // namespace KivVizOpenGL::detail
