#include "ClipMatrices.h"

namespace KivVizOpenGL::detail::test {

Matrix Frustum(double left, double right, double bottom, double top, double zNear,
               double zFar) {
  Matrix m{};
  m[0] = 2 * zNear / (right - left);
  m[5] = 2 * zNear / (top - bottom);
  m[8] = (right + left) / (right - left);
  m[9] = (top + bottom) / (top - bottom);
  m[10] = -(zFar + zNear) / (zFar - zNear);
  m[11] = -1;
  m[14] = -2 * zFar * zNear / (zFar - zNear);
  return m;
}

Matrix Ortho(double left, double right, double bottom, double top, double zNear, double zFar) {
  Matrix m{};
  m[0] = 2 / (right - left);
  m[5] = 2 / (top - bottom);
  m[10] = -2 / (zFar - zNear);
  m[12] = -(right + left) / (right - left);
  m[13] = -(top + bottom) / (top - bottom);
  m[14] = -(zFar + zNear) / (zFar - zNear);
  m[15] = 1;
  return m;
}

Matrix Translation(double x, double y, double z) {
  return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1};
}

Matrix Scaling(double x, double y, double z) {
  return {x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1};
}

Matrix Pick(double x, double y, double width, double height, double viewportWidth,
            double viewportHeight) {
  return ViewVolume::Multiply(
      Translation((viewportWidth - 2 * x) / width, (viewportHeight - 2 * y) / height, 0),
      Scaling(viewportWidth / width, viewportHeight / height, 1));
}

}  // namespace KivVizOpenGL::detail::test
