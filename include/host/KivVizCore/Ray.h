// A ray in world space: origin, direction and a scalar, the distance along the
// direction up to which the ray reaches (a camera's far distance).
#ifndef NIMBO_INCLUDE_HOST_KIVVIZCORE_RAY_H
#define NIMBO_INCLUDE_HOST_KIVVIZCORE_RAY_H

#include "KivVizCore/Export.h"

class KIVVIZCORE_EXPORT Ray {
 public:
  Ray() = default;
  Ray(const float rayOrigin[3], const float rayDirection[3], double rayScalar)
      : origin{rayOrigin[0], rayOrigin[1], rayOrigin[2]},
        direction{rayDirection[0], rayDirection[1], rayDirection[2]},
        scalar(rayScalar) {}

  float origin[3] = {0.0f, 0.0f, 0.0f};
  float direction[3] = {0.0f, 0.0f, -1.0f};
  double scalar = 0.0;
};

#endif
