#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>

#include "KivVizCore/AttributeColor.h"
#include "KivVizCore/AttributeTransform.h"
#include "KivVizCore/AttributeVisibility.h"
#include "KivVizCore/VectorMath.h"

namespace {

struct OpacityCase {
  std::uint8_t alpha;
  bool opaque;

  friend void PrintTo(const OpacityCase& value, std::ostream* out) { *out << "alpha " << int{value.alpha}; }
};

class AttributeColorOpacityTest : public testing::TestWithParam<OpacityCase> {};

TEST_P(AttributeColorOpacityTest, OpaqueExactlyAtFullAlpha) {
  const AttributeColor attribute(RGBAColor(10, 20, 30, GetParam().alpha));
  EXPECT_EQ(attribute.IsOpaque(), GetParam().opaque);
  EXPECT_EQ(attribute.GetType(), Attribute::ColorType);
}

INSTANTIATE_TEST_SUITE_P(Alphas, AttributeColorOpacityTest,
                         testing::Values(OpacityCase{255, true}, OpacityCase{254, false}, OpacityCase{128, false},
                                         OpacityCase{0, false}));

TEST(AttributeColorTest, OpaqueFlagMayDifferFromAlpha) {
  AttributeColor attribute(RGBAColor(1, 2, 3, 100), true);
  EXPECT_TRUE(attribute.IsOpaque());
  attribute.SetOpaque(false);
  EXPECT_FALSE(attribute.IsOpaque());
}

TEST(AttributeColorTest, CloneIsAnIndependentCopy) {
  AttributeColor original(RGBAColor(1, 2, 3, 100), true);
  std::unique_ptr<Attribute> clone(original.Clone());
  original.SetColor(RGBAColor(9, 9, 9));
  auto* copy = dynamic_cast<AttributeColor*>(clone.get());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->GetColor(), RGBAColor(1, 2, 3, 100));
  EXPECT_TRUE(copy->IsOpaque());
}

TEST(AttributeTransformTest, DefaultAndSetIdentityAreTheIdentity) {
  const AttributeTransform transform;
  EXPECT_EQ(transform.GetType(), Attribute::TransformType);
  EXPECT_TRUE(transform.IsIdentity());
  double matrix[16];
  std::fill(matrix, matrix + 16, 7.0);
  AttributeTransform::SetIdentity(matrix);
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(matrix[i], (i == 0 || i == 5 || i == 10 || i == 15) ? 1.0 : 0.0) << "element " << i;
  }
}

TEST(AttributeTransformTest, AnyChangedElementMakesItNonIdentity) {
  for (int i = 0; i < 16; ++i) {
    double matrix[16];
    AttributeTransform::SetIdentity(matrix);
    matrix[i] += 0.5;
    EXPECT_FALSE(AttributeTransform(matrix).IsIdentity()) << "element " << i;
  }
}

TEST(AttributeTransformTest, KeepsTheMatrixAsGivenAndClonesIt) {
  double matrix[16];
  CreateRotationMatrixDegrees(std::array<double, 3>{0.0, 1.0, 0.0}.data(), 90.0, matrix);
  matrix[12] = 4.0;
  const AttributeTransform transform(matrix);
  std::unique_ptr<Attribute> clone(transform.Clone());
  const auto* copy = dynamic_cast<AttributeTransform*>(clone.get());
  ASSERT_NE(copy, nullptr);
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(transform.GetTransform()[i], matrix[i]);
    EXPECT_EQ(copy->GetTransform()[i], matrix[i]);
  }
}

TEST(AttributeVisibilityTest, HoldsItsValue) {
  AttributeVisibility visibility(false);
  EXPECT_EQ(visibility.GetType(), Attribute::VisibilityType);
  EXPECT_FALSE(visibility.IsVisible());
  std::unique_ptr<Attribute> clone(visibility.Clone());
  visibility.SetVisible(true);
  EXPECT_FALSE(dynamic_cast<AttributeVisibility&>(*clone).IsVisible());
}

}  // namespace
