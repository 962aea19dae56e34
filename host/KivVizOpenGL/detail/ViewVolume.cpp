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

ViewVolume::ViewVolume(const Matrix& clip) {
  // Row r of the column-major matrix; a point is inside when
  // -row3.p <= rowK.p <= row3.p for K = 0, 1, 2.
  const auto row = [&clip](int r) {
    return Plane{clip[r], clip[4 + r], clip[8 + r], clip[12 + r]};
  };
  const Plane w = row(3);
  for (int axis = 0; axis < 3; ++axis) {
    const Plane k = row(axis);
    planes_[2 * axis] = Plane{w.a + k.a, w.b + k.b, w.c + k.c, w.d + k.d};
    planes_[2 * axis + 1] = Plane{w.a - k.a, w.b - k.b, w.c - k.c, w.d - k.d};
  }
}

ViewVolume ViewVolume::FromCurrentGL() {
  Matrix projection{};
  Matrix modelview{};
  glGetDoublev(GL_PROJECTION_MATRIX, projection.data());
  glGetDoublev(GL_MODELVIEW_MATRIX, modelview.data());
  // Selection passes put the whole transform on the projection and leave
  // the model-view alone: the product is then the projection itself.
  constexpr Matrix kIdentity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  return ViewVolume(modelview == kIdentity ? projection : Multiply(projection, modelview));
}

ViewVolume::Matrix ViewVolume::Multiply(const Matrix& a, const Matrix& b) {
  Matrix product{};
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
  for (const Plane& plane : planes_) {
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
  for (const Plane& plane : planes_) {
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
