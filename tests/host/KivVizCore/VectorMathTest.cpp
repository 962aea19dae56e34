#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "KivVizCore/AttributeTransform.h"
#include "KivVizCore/VectorMath.h"

namespace {

using Vector = std::array<double, 3>;

// What glMultMatrixd does to a point: element (row r, column c) is m[c * 4 + r].
Vector Apply(const double m[16], const Vector& v) {
  Vector out{};
  for (int r = 0; r < 3; ++r) {
    out[r] = m[r] * v[0] + m[4 + r] * v[1] + m[8 + r] * v[2] + m[12 + r];
  }
  return out;
}

void ExpectNear(const Vector& actual, const Vector& expected) {
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(actual[i], expected[i], 1e-12) << "component " << i;
  }
}

struct RotationCase {
  const char* name;
  Vector axis;
  double degrees;
  Vector input;
  Vector expected;

  // Names the case in test listings instead of dumping its bytes.
  friend void PrintTo(const RotationCase& value, std::ostream* out) { *out << value.name; }
};

class RotationMatrixTest : public testing::TestWithParam<RotationCase> {};

TEST_P(RotationMatrixTest, TurnsByTheRightHandRule) {
  const auto& param = GetParam();
  double matrix[16];
  CreateRotationMatrixDegrees(param.axis.data(), param.degrees, matrix);
  ExpectNear(Apply(matrix, param.input), param.expected);
  // A rotation: no translation, bottom row (0, 0, 0, 1).
  EXPECT_EQ(matrix[3], 0.0);
  EXPECT_EQ(matrix[7], 0.0);
  EXPECT_EQ(matrix[11], 0.0);
  EXPECT_EQ(matrix[12], 0.0);
  EXPECT_EQ(matrix[13], 0.0);
  EXPECT_EQ(matrix[14], 0.0);
  EXPECT_EQ(matrix[15], 1.0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RotationMatrixTest,
    testing::Values(RotationCase{"PlusZOntoPlusXAboutY", {0, 1, 0}, 90, {0, 0, 1}, {1, 0, 0}},
                    RotationCase{"PlusZOntoPlusYAboutMinusNinetyX", {1, 0, 0}, -90, {0, 0, 1}, {0, 1, 0}},
                    RotationCase{"PlusXOntoPlusYAboutZ", {0, 0, 1}, 90, {1, 0, 0}, {0, 1, 0}},
                    RotationCase{"PlusYOntoPlusZAboutX", {1, 0, 0}, 90, {0, 1, 0}, {0, 0, 1}},
                    RotationCase{"HalfTurn", {0, 0, 1}, 180, {1, 2, 3}, {-1, -2, 3}},
                    RotationCase{"AxisNeedNotBeUnit", {0, 0, 5}, 90, {1, 0, 0}, {0, 1, 0}},
                    RotationCase{"PointOnAxisStays", {1, 1, 1}, 77, {2, 2, 2}, {2, 2, 2}},
                    RotationCase{"ThirdTurnAboutDiagonalCyclesAxes", {1, 1, 1}, 120, {1, 0, 0}, {0, 1, 0}},
                    RotationCase{"ZeroAxisIsIdentity", {0, 0, 0}, 90, {1, 2, 3}, {1, 2, 3}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RotationMatrixTest, ColumnsHoldTheImagesOfTheAxes) {
  // +90 about Y sends Z to X: the third column (elements 8..10) is (1, 0, 0).
  double matrix[16];
  CreateRotationMatrixDegrees(Vector{0, 1, 0}.data(), 90.0, matrix);
  EXPECT_NEAR(matrix[8], 1.0, 1e-12);
  EXPECT_NEAR(matrix[9], 0.0, 1e-12);
  EXPECT_NEAR(matrix[10], 0.0, 1e-12);
  // ... and X to -Z: the first column is (0, 0, -1).
  EXPECT_NEAR(matrix[2], -1.0, 1e-12);
}

TEST(MatrixTest, ProductAppliesTheRightFactorFirst) {
  double rotation[16];
  CreateRotationMatrixDegrees(Vector{0, 0, 1}.data(), 90.0, rotation);
  double translation[16];
  AttributeTransform::SetIdentity(translation);
  translation[12] = 10.0;
  double product[16];
  MultiplyMatrices(translation, rotation, product);
  // Rotate (1, 0, 0) to (0, 1, 0), then move by +10 in x.
  ExpectNear(Apply(product, {1, 0, 0}), {10, 1, 0});
  MultiplyMatrices(rotation, translation, product);
  ExpectNear(Apply(product, {1, 0, 0}), {0, 11, 0});
}

TEST(MatrixTest, ProductMayOverwriteAFactor) {
  double a[16];
  CreateRotationMatrixDegrees(Vector{0, 0, 1}.data(), 90.0, a);
  MultiplyMatrices(a, a, a);
  ExpectNear(Apply(a, {1, 0, 0}), {-1, 0, 0});
}

TEST(MatrixTest, InverseUndoesATransform) {
  double rotation[16];
  CreateRotationMatrixDegrees(Vector{1, 2, 3}.data(), 33.0, rotation);
  double scale[16];
  AttributeTransform::SetIdentity(scale);
  scale[0] = 2.0;
  scale[5] = 0.5;
  scale[13] = -4.0;
  double m[16];
  MultiplyMatrices(rotation, scale, m);
  double inverse[16];
  ASSERT_TRUE(InvertMatrix(m, inverse));
  ExpectNear(Apply(inverse, Apply(m, {3, -1, 2})), {3, -1, 2});
}

TEST(MatrixTest, SingularMatrixHasNoInverse) {
  double m[16];
  AttributeTransform::SetIdentity(m);
  m[5] = 0.0;
  double out[16];
  std::fill(out, out + 16, 42.0);
  EXPECT_FALSE(InvertMatrix(m, out));
  EXPECT_EQ(out[0], 42.0);
}

TEST(MatrixTest, PointsMoveAndDirectionsOnlyTurn) {
  double m[16];
  CreateRotationMatrixDegrees(Vector{0, 0, 1}.data(), 90.0, m);
  m[12] = 5.0;
  const float v[3] = {1.0f, 0.0f, 0.0f};
  float point[3];
  float direction[3];
  TransformPoint(m, v, point);
  TransformDirection(m, v, direction);
  EXPECT_NEAR(point[0], 5.0f, 1e-6f);
  EXPECT_NEAR(point[1], 1.0f, 1e-6f);
  EXPECT_NEAR(direction[0], 0.0f, 1e-6f);
  EXPECT_NEAR(direction[1], 1.0f, 1e-6f);
}

TEST(VectorMathTest, LengthSubtractAndMultiply) {
  const float a[3] = {4.0f, 6.0f, 12.0f};
  const float b[3] = {1.0f, 2.0f, 0.0f};
  float d[3];
  Subtract(a, b, d);
  EXPECT_EQ(d[0], 3.0f);
  EXPECT_EQ(d[1], 4.0f);
  EXPECT_EQ(d[2], 12.0f);
  EXPECT_FLOAT_EQ(Length(d), 13.0f);
  Multiply(d, -2.0f);
  EXPECT_EQ(d[2], -24.0f);
  ClearVector(d);
  EXPECT_EQ(Length(d), 0.0f);
}

TEST(VectorMathTest, CrossProductIsRightHandedAndMayAlias) {
  float x[3] = {1.0f, 0.0f, 0.0f};
  const float y[3] = {0.0f, 1.0f, 0.0f};
  float z[3];
  CrossProduct(x, y, z);
  EXPECT_EQ(z[0], 0.0f);
  EXPECT_EQ(z[1], 0.0f);
  EXPECT_EQ(z[2], 1.0f);
  CrossProduct(y, x, z);
  EXPECT_EQ(z[2], -1.0f);
  CrossProduct(x, y, x);
  EXPECT_EQ(x[0], 0.0f);
  EXPECT_EQ(x[2], 1.0f);
}

TEST(VectorMathTest, NormalizeKeepsDirectionAndLeavesZeroAlone) {
  float v[3] = {0.0f, 3.0f, 4.0f};
  EXPECT_FLOAT_EQ(Normalize(v), 5.0f);
  EXPECT_FLOAT_EQ(v[1], 0.6f);
  EXPECT_FLOAT_EQ(v[2], 0.8f);
  float zero[3] = {0.0f, 0.0f, 0.0f};
  EXPECT_EQ(Normalize(zero), 0.0f);
  EXPECT_FALSE(std::isnan(zero[0]));
  EXPECT_EQ(Length(zero), 0.0f);
}

}  // namespace
