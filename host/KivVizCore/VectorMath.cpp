#include "KivVizCore/VectorMath.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

double& At(double m[16], int row, int column) { return m[column * 4 + row]; }

}  // namespace

float Length(const float v[3]) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

void Subtract(const float a[3], const float b[3], float out[3]) {
  for (int i = 0; i < 3; ++i) {
    out[i] = a[i] - b[i];
  }
}

void CrossProduct(const float a[3], const float b[3], float out[3]) {
  // Through temporaries, so that out may alias a or b.
  const float x = a[1] * b[2] - a[2] * b[1];
  const float y = a[2] * b[0] - a[0] * b[2];
  const float z = a[0] * b[1] - a[1] * b[0];
  out[0] = x;
  out[1] = y;
  out[2] = z;
}

float Normalize(float v[3]) {
  const float length = Length(v);
  if (length > 0.0f) {
    Multiply(v, 1.0f / length);
  }
  return length;
}

void Multiply(float v[3], float factor) {
  for (int i = 0; i < 3; ++i) {
    v[i] *= factor;
  }
}

void ClearVector(float v[3]) { std::fill(v, v + 3, 0.0f); }

void CreateRotationMatrixDegrees(const double axis[3], double angleDegrees, double matrix[16]) {
  std::fill(matrix, matrix + 16, 0.0);
  matrix[15] = 1.0;
  const double length = std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]);
  if (length == 0.0) {
    matrix[0] = matrix[5] = matrix[10] = 1.0;
    return;
  }
  const double x = axis[0] / length;
  const double y = axis[1] / length;
  const double z = axis[2] / length;
  const double radians = angleDegrees * std::numbers::pi / 180.0;
  const double c = std::cos(radians);
  const double s = std::sin(radians);
  const double t = 1.0 - c;
  // Rodrigues' rotation matrix, written by row and column into column order.
  At(matrix, 0, 0) = t * x * x + c;
  At(matrix, 0, 1) = t * x * y - s * z;
  At(matrix, 0, 2) = t * x * z + s * y;
  At(matrix, 1, 0) = t * x * y + s * z;
  At(matrix, 1, 1) = t * y * y + c;
  At(matrix, 1, 2) = t * y * z - s * x;
  At(matrix, 2, 0) = t * x * z - s * y;
  At(matrix, 2, 1) = t * y * z + s * x;
  At(matrix, 2, 2) = t * z * z + c;
}

void MultiplyMatrices(const double a[16], const double b[16], double out[16]) {
  double product[16];
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k) {
        sum += a[k * 4 + row] * b[column * 4 + k];
      }
      At(product, row, column) = sum;
    }
  }
  std::copy(product, product + 16, out);
}

bool InvertMatrix(const double m[16], double out[16]) {
  // Gauss-Jordan elimination with partial pivoting on [m | I].
  double work[4][8];
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      work[row][column] = m[column * 4 + row];
      work[row][column + 4] = (row == column) ? 1.0 : 0.0;
    }
  }
  for (int column = 0; column < 4; ++column) {
    int pivot = column;
    for (int row = column + 1; row < 4; ++row) {
      if (std::abs(work[row][column]) > std::abs(work[pivot][column])) {
        pivot = row;
      }
    }
    if (std::abs(work[pivot][column]) < 1e-300) {
      return false;
    }
    std::swap(work[pivot], work[column]);
    const double scale = 1.0 / work[column][column];
    for (double& value : work[column]) {
      value *= scale;
    }
    for (int row = 0; row < 4; ++row) {
      if (row != column) {
        const double factor = work[row][column];
        for (int k = 0; k < 8; ++k) {
          work[row][k] -= factor * work[column][k];
        }
      }
    }
  }
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      out[column * 4 + row] = work[row][column + 4];
    }
  }
  return true;
}

void TransformPoint(const double m[16], const float point[3], float out[3]) {
  double result[3];
  for (int row = 0; row < 3; ++row) {
    result[row] = m[row] * point[0] + m[4 + row] * point[1] + m[8 + row] * point[2] + m[12 + row];
  }
  for (int row = 0; row < 3; ++row) {
    out[row] = static_cast<float>(result[row]);
  }
}

void TransformDirection(const double m[16], const float direction[3], float out[3]) {
  double result[3];
  for (int row = 0; row < 3; ++row) {
    result[row] = m[row] * direction[0] + m[4 + row] * direction[1] + m[8 + row] * direction[2];
  }
  for (int row = 0; row < 3; ++row) {
    out[row] = static_cast<float>(result[row]);
  }
}
