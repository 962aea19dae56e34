#include "ViewVolume.h"

#ifdef _WIN32
#include <windows.h>  // <GL/gl.h> needs its calling-convention macros
#endif

#include <GL/gl.h>

#include <cmath>

namespace KivVizOpenGL::detail {

namespace {

// Relative slack on a plane test: GL clips in float after transforming in
// float, a few rounding steps of 2^-24 each; this is well above that.
constexpr double kRelativeSlack = 1e-5;

}  // namespace

ViewVolume::ViewVolume(const Matrix& clip) : planes(PlanesOf(clip)) {}

std::array<ViewVolume::Plane, 6> ViewVolume::PlanesOf(const Matrix& clip) {
  // Row r of the column-major matrix; a point is inside when
  // -row3.p <= rowK.p <= row3.p for K = 0, 1, 2. Built as one aggregate:
  // items build a volume each time they draw, and filling the planes with
  // zeros first would cost about as much as the rest.
  const auto row = [&clip](int r) { return Plane{clip[r], clip[4 + r], clip[8 + r], clip[12 + r]}; };
  const auto plus = [](const Plane& p, const Plane& q) { return Plane{p.a + q.a, p.b + q.b, p.c + q.c, p.d + q.d}; };
  const auto minus = [](const Plane& p, const Plane& q) { return Plane{p.a - q.a, p.b - q.b, p.c - q.c, p.d - q.d}; };
  const Plane w = row(3);
  return {plus(w, row(0)), minus(w, row(0)), plus(w, row(1)), minus(w, row(1)), plus(w, row(2)), minus(w, row(2))};
}

ViewVolume ViewVolume::FromCurrentGL() {
  // Copied from a constant rather than zeroed: items read GL's matrices
  // each time they draw, and zeroing them cost more than reading them.
  constexpr Matrix kIdentity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  Matrix projection = kIdentity;
  Matrix modelview = kIdentity;
  glGetDoublev(GL_PROJECTION_MATRIX, projection.data());
  glGetDoublev(GL_MODELVIEW_MATRIX, modelview.data());
  // Selection passes put the whole transform on the projection and leave
  // the model-view alone: the product is then the projection itself.
  return ViewVolume(modelview == kIdentity ? projection : Multiply(projection, modelview));
}

ViewVolume::Matrix ViewVolume::Multiply(const Matrix& a, const Matrix& b) {
  Matrix product;  // every element is written below
  for (int column = 0; column < 4; ++column) {
    for (int r = 0; r < 4; ++r) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k) {
        sum += a[4 * k + r] * b[4 * column + k];
      }
      product[4 * column + r] = sum;
    }
  }
  return product;
}

bool ViewVolume::Contains(const Aabb& box) const {
  if (box.IsEmpty()) {
    return false;
  }
  for (const Plane& plane : planes) {
    // If even the corner furthest against the normal is inside, the whole
    // box is.
    const Offset offset = CornerOffset(plane, box, false);
    if (!(offset.distance > kRelativeSlack * offset.scale)) {
      return false;
    }
  }
  return true;
}

bool ViewVolume::Intersects(const Aabb& box) const {
  if (box.IsEmpty()) {
    return false;
  }
  for (const Plane& plane : planes) {
    // If even the corner furthest along the normal is outside, the whole box
    // is.
    const Offset offset = CornerOffset(plane, box, true);
    if (offset.distance < -kRelativeSlack * offset.scale) {
      return false;
    }
  }
  return true;
}

ViewVolume::Offset ViewVolume::CornerOffset(const Plane& plane, const Aabb& box, bool alongNormal) {
  const Float3& ahead = alongNormal ? box.Max() : box.Min();
  const Float3& behind = alongNormal ? box.Min() : box.Max();
  const double x = plane.a >= 0.0 ? ahead.x : behind.x;
  const double y = plane.b >= 0.0 ? ahead.y : behind.y;
  const double z = plane.c >= 0.0 ? ahead.z : behind.z;
  return Offset{plane.a * x + plane.b * y + plane.c * z + plane.d,
                std::abs(plane.a * x) + std::abs(plane.b * y) + std::abs(plane.c * z) + std::abs(plane.d)};
}

}  // namespace KivVizOpenGL::detail
