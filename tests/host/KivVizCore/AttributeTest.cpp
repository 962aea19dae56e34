#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <utility>

#include "KivVizCore/AttributeColor.h"
#include "KivVizCore/AttributeTransform.h"
#include "KivVizCore/AttributeVisibility.h"
#include "KivVizCore/VectorMath.h"

namespace {

TEST(AttributeColorTest, OpaqueExactlyAtFullAlphaUnlessFlagged) {
  for (const auto& [alpha, opaque] : {std::pair{255, true}, {254, false}, {128, false}, {0, false}}) {
    EXPECT_EQ(AttributeColor(RGBAColor(10, 20, 30, static_cast<std::uint8_t>(alpha))).IsOpaque(), opaque) << alpha;
  }
  AttributeColor flagged(RGBAColor(1, 2, 3, 100), true);
  EXPECT_TRUE(flagged.IsOpaque());
  std::unique_ptr<Attribute> clone(flagged.Clone());
  flagged.SetColor(RGBAColor(9, 9, 9));
  flagged.SetOpaque(false);
  const auto& copy = dynamic_cast<AttributeColor&>(*clone);
  EXPECT_EQ(copy.GetColor(), RGBAColor(1, 2, 3, 100)) << "the clone is independent";
  EXPECT_TRUE(copy.IsOpaque());
}

TEST(AttributeTransformTest, IdentityUntilAnyElementChanges) {
  EXPECT_TRUE(AttributeTransform().IsIdentity());
  double matrix[16];
  std::fill(matrix, matrix + 16, 7.0);
  AttributeTransform::SetIdentity(matrix);
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(matrix[i], (i % 5 == 0) ? 1.0 : 0.0) << "element " << i;
    double changed[16];
    std::copy(matrix, matrix + 16, changed);
    changed[i] += 0.5;
    EXPECT_FALSE(AttributeTransform(changed).IsIdentity()) << "element " << i;
  }
}

TEST(AttributeTransformTest, KeepsAndClonesTheMatrixAsGiven) {
  double matrix[16];
  CreateRotationMatrixDegrees(std::array<double, 3>{0.0, 1.0, 0.0}.data(), 90.0, matrix);
  matrix[12] = 4.0;
  const AttributeTransform transform(matrix);
  std::unique_ptr<Attribute> clone(transform.Clone());
  const auto& copy = dynamic_cast<AttributeTransform&>(*clone);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(copy.GetTransform()[i], matrix[i]);
}

TEST(AttributeVisibilityTest, CloneIsIndependent) {
  AttributeVisibility visibility(false);
  std::unique_ptr<Attribute> clone(visibility.Clone());
  visibility.SetVisible(true);
  EXPECT_FALSE(dynamic_cast<AttributeVisibility&>(*clone).IsVisible());
}

}  // namespace
