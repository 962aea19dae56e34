// The rotation matrix about an axis with three unequal components, whose
// every element differs: each one is checked.
#include <gtest/gtest.h>

#include "KivVizCore/VectorMath.h"

namespace {

TEST(VectorMathTest, RotationAboutAnOddAxisHasEveryElementRight) {
  const double axis[3] = {2, 4, 4};  // unit (1, 2, 2) / 3: the matrix comes out in ninths
  double matrix[16];
  CreateRotationMatrixDegrees(axis, 90.0, matrix);
  const double ninths[3][3] = {{1, -4, 8}, {8, 4, 1}, {-4, 7, 4}};  // by row
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      const double expected = row < 3 && column < 3 ? ninths[row][column] / 9.0 : row == column;
      EXPECT_NEAR(matrix[4 * column + row], expected, 1e-12) << "row " << row << ", column " << column;
    }
  }
}

}  // namespace
