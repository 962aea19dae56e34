// The view volume of a combined clip matrix (projection * modelview) as six
// planes in the modelview's object space, for skipping boxes that cannot
// appear on screen or in a selection pass.
#ifndef NIMBO_HOST_KIVVIZOPENGL_DETAIL_VIEWVOLUME_H
#define NIMBO_HOST_KIVVIZOPENGL_DETAIL_VIEWVOLUME_H

#include <array>

#include "Aabb.h"

namespace KivVizOpenGL::detail {

class ViewVolume {
 public:
  // a x + b y + c z + d >= 0 on the inner side; not normalised.
  struct Plane {
    double a = 0.0;
    double b = 0.0;
    double c = 0.0;
    double d = 0.0;
  };
  // Column-major, as glGetDoublev returns matrices.
  using Matrix = std::array<double, 16>;

  // The volume -w <= x, y, z <= w of clip coordinates, mapped back through
  // `clip` (which is projection * modelview).
  explicit ViewVolume(const Matrix& clip);

  // Reads GL_PROJECTION_MATRIX and GL_MODELVIEW_MATRIX of the current
  // context; the volume is then in the space of the current modelview.
  static ViewVolume FromCurrentGL();

  // Column-major product a * b.
  static Matrix Multiply(const Matrix& a, const Matrix& b);

  // Planes in the order left, right, bottom, top, near, far.
  const std::array<Plane, 6>& Planes() const { return planes; }

  // False only when the box lies wholly outside one of the planes, by more
  // than float rounding in GL's own clipping could account for, so that
  // skipping the box never drops a primitive GL would have drawn or
  // selected. A box cutting a frustum's corner region may still count as
  // intersecting. The empty box intersects nothing.
  bool Intersects(const Aabb& box) const;
  // True only when the whole box lies inside every plane, by more than
  // float rounding could account for: GL then clips nothing of it. False
  // for the empty box.
  bool Contains(const Aabb& box) const;

 private:
  // The signed distance of the box's corner furthest along (or against) the
  // plane's normal, and the size of the terms it sums, which rounding scales
  // with.
  struct Offset {
    double distance = 0.0;
    double scale = 0.0;
  };
  static Offset CornerOffset(const Plane& plane, const Aabb& box, bool alongNormal);
  static std::array<Plane, 6> PlanesOf(const Matrix& clip);

  std::array<Plane, 6> planes;
};

}  // namespace KivVizOpenGL::detail

#endif
