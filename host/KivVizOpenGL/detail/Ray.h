// A ray as the kernels test it: origin, direction (any length) and the
// per-axis inverse direction the slab tests need, computed once per query.
#ifndef NIMBO_HOST_KIVVIZOPENGL_DETAIL_RAY_H
#define NIMBO_HOST_KIVVIZOPENGL_DETAIL_RAY_H

#include "Float3.h"

namespace KivVizOpenGL::detail {

class Ray {
 public:
  // Points on the ray are origin + t * direction for t >= 0. A zero
  // direction component gives an infinite inverse with that zero's sign,
  // which the slab test relies on.
  Ray(const Float3& origin, const Float3& direction);

  const Float3& Origin() const { return origin; }
  const Float3& Direction() const { return direction; }
  const Float3& InverseDirection() const { return inverseDirection; }

  // False for a non-finite origin or direction, or a zero direction: such a
  // ray hits nothing.
  bool IsValid() const { return valid; }

 private:
  Float3 origin;
  Float3 direction;
  Float3 inverseDirection;
  bool valid = false;
};

}  // namespace KivVizOpenGL::detail

#endif
