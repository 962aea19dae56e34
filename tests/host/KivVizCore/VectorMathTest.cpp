// Matrix and vector helpers in the column-major layout GL uses.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "KivVizCore/AttributeTransform.h"
#include "KivVizCore/VectorMath.h"

namespace {

using Vector = std::array<double, 3>;

// What glMultMatrixd does to a point: element (row r, column c) is m[c * 4 + r].
Vector Apply(const double m[16], const Vector& v) {
  Vector out{};
  for (int r = 0; r < 3; ++r) out[r] = m[r] * v[0] + m[4 + r] * v[1] + m[8 + r] * v[2] + m[12 + r];
  return out;
}

void ExpectNear(const Vector& actual, const Vector& expected) {
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(actual[i], expected[i], 1e-12) << "component " << i;
}

TEST(RotationMatrixTest, TurnsByTheRightHandRuleWithoutTranslation) {
  const struct {
    const char* name;
    Vector axis;
    double degrees;
    Vector input, expected;
  } cases[] = {{"PlusZOntoPlusXAboutY", {0, 1, 0}, 90, {0, 0, 1}, {1, 0, 0}},
               {"PlusZOntoPlusYAboutMinusNinetyX", {1, 0, 0}, -90, {0, 0, 1}, {0, 1, 0}},
               {"HalfTurnAboutALongAxis", {0, 0, 5}, 180, {1, 2, 3}, {-1, -2, 3}},
               {"PointOnAxisStays", {1, 1, 1}, 77, {2, 2, 2}, {2, 2, 2}},
               {"ThirdTurnAboutDiagonalCyclesAxes", {1, 1, 1}, 120, {1, 0, 0}, {0, 1, 0}},
               {"ZeroAxisIsIdentity", {0, 0, 0}, 90, {1, 2, 3}, {1, 2, 3}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    double matrix[16];
    CreateRotationMatrixDegrees(c.axis.data(), c.degrees, matrix);
    ExpectNear(Apply(matrix, c.input), c.expected);
    for (int i : {3, 7, 11, 12, 13, 14}) EXPECT_EQ(matrix[i], 0.0) << "element " << i;
    EXPECT_EQ(matrix[15], 1.0);
  }
}

TEST(MatrixTest, ProductAppliesTheRightFactorFirstAndTransformsPointsAndDirections) {
  double rotation[16];
  CreateRotationMatrixDegrees(Vector{0, 0, 1}.data(), 90.0, rotation);
  double translation[16];
  AttributeTransform::SetIdentity(translation);
  translation[12] = 10.0;
  double product[16];
  MultiplyMatrices(translation, rotation, product);
  ExpectNear(Apply(product, {1, 0, 0}), {10, 1, 0});
  MultiplyMatrices(rotation, translation, product);
  ExpectNear(Apply(product, {1, 0, 0}), {0, 11, 0});
  // Points move, directions only turn.
  const float x[3] = {1.0f, 0.0f, 0.0f};
  float point[3];
  float direction[3];
  TransformPoint(product, x, point);
  TransformDirection(product, x, direction);
  EXPECT_NEAR(point[1], 11.0f, 1e-6f);
  EXPECT_NEAR(direction[1], 1.0f, 1e-6f);
  MultiplyMatrices(rotation, rotation, rotation);
  ExpectNear(Apply(rotation, {1, 0, 0}), {-1, 0, 0});
}

TEST(MatrixTest, InverseUndoesATransformAndSingularMatricesHaveNone) {
  double m[16];
  CreateRotationMatrixDegrees(Vector{1, 2, 3}.data(), 33.0, m);
  double scale[16];
  AttributeTransform::SetIdentity(scale);
  scale[0] = 2.0;
  scale[5] = 0.5;
  scale[13] = -4.0;
  MultiplyMatrices(m, scale, m);
  double inverse[16];
  ASSERT_TRUE(InvertMatrix(m, inverse));
  ExpectNear(Apply(inverse, Apply(m, {3, -1, 2})), {3, -1, 2});
  AttributeTransform::SetIdentity(m);
  m[5] = 0.0;
  std::fill(inverse, inverse + 16, 42.0);
  EXPECT_FALSE(InvertMatrix(m, inverse));
  EXPECT_EQ(inverse[0], 42.0) << "the output is left alone";
}

TEST(VectorMathTest, CrossProductMayAliasAndNormalizeKeepsZeroVectorsZero) {
  float x[3] = {1.0f, 0.0f, 0.0f};
  const float y[3] = {0.0f, 1.0f, 0.0f};
  CrossProduct(x, y, x);
  EXPECT_EQ(x[0], 0.0f) << "the result may alias a factor";
  EXPECT_EQ(x[2], 1.0f);
  float v[3] = {0.0f, 3.0f, 4.0f};
  EXPECT_FLOAT_EQ(Normalize(v), 5.0f);
  EXPECT_FLOAT_EQ(v[2], 0.8f);
  ClearVector(v);
  EXPECT_EQ(Normalize(v), 0.0f);
  EXPECT_FALSE(std::isnan(v[0]));
}

}  // namespace
