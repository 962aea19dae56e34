// Column-major projection and modelview matrices built by hand the way the
// fixed-function calls of the same names define them, for checking the view
// volume without a GL context.
#ifndef NIMBO_TESTS_KERNELS_CLIPMATRICES_H
#define NIMBO_TESTS_KERNELS_CLIPMATRICES_H

#include "detail/ViewVolume.h"

namespace KivVizOpenGL::detail::test {

using Matrix = ViewVolume::Matrix;

Matrix Frustum(double left, double right, double bottom, double top, double zNear,
               double zFar);
Matrix Ortho(double left, double right, double bottom, double top, double zNear, double zFar);
Matrix Translation(double x, double y, double z);
Matrix Scaling(double x, double y, double z);
// The pick matrix for a width x height region centred on window pixel
// (x, y) of a viewport at the origin.
Matrix Pick(double x, double y, double width, double height, double viewportWidth,
            double viewportHeight);

}  // namespace KivVizOpenGL::detail::test

#endif
