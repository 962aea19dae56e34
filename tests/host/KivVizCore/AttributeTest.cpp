// Attributes: opacity, the identity test of transforms, independent clones.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <utility>

#include "KivVizCore/AttributeColor.h"
#include "KivVizCore/AttributeTransform.h"
#include "KivVizCore/AttributeVisibility.h"

namespace {

TEST(AttributeColorTest, OpaqueExactlyAtFullAlphaUnlessFlagged) {
  for (const auto& [alpha, opaque] : {std::pair{255, true}, {254, false}, {0, false}}) {
    EXPECT_EQ(AttributeColor(RGBAColor(10, 20, 30, static_cast<std::uint8_t>(alpha))).IsOpaque(), opaque) << alpha;
  }
  EXPECT_TRUE(AttributeColor(RGBAColor(1, 2, 3, 100), true).IsOpaque());
}

// Traversals skip identity transforms, so every element must count.
TEST(AttributeTransformTest, IdentityFollowsEveryChangeOfTheMatrix) {
  AttributeTransform transform;
  EXPECT_TRUE(transform.IsIdentity());
  double matrix[16];
  AttributeTransform::SetIdentity(matrix);
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(matrix[i], (i % 5 == 0) ? 1.0 : 0.0) << "element " << i;
    matrix[i] += 1e-12;
    transform.SetTransform(matrix);
    EXPECT_FALSE(transform.IsIdentity()) << "element " << i;
    EXPECT_FALSE(AttributeTransform(matrix).IsIdentity()) << "element " << i;
    AttributeTransform::SetIdentity(matrix);
  }
  transform.SetTransform(matrix);
  EXPECT_TRUE(transform.IsIdentity());
}

TEST(AttributeTest, ClonesAreIndependentCopies) {
  AttributeColor color(RGBAColor(1, 2, 3, 100), true);
  std::unique_ptr<Attribute> colorClone(color.Clone());
  color.SetColor(RGBAColor(9, 9, 9));
  color.SetOpaque(false);
  EXPECT_EQ(dynamic_cast<AttributeColor&>(*colorClone).GetColor(), RGBAColor(1, 2, 3, 100));
  EXPECT_TRUE(dynamic_cast<AttributeColor&>(*colorClone).IsOpaque());

  double matrix[16];
  AttributeTransform::SetIdentity(matrix);
  matrix[13] = 2.0;
  AttributeTransform transform(matrix);
  std::unique_ptr<Attribute> transformClone(transform.Clone());
  transform.SetTransform(std::array<double, 16>{}.data());
  const auto& copy = dynamic_cast<AttributeTransform&>(*transformClone);
  EXPECT_FALSE(copy.IsIdentity());
  for (int i = 0; i < 16; ++i) EXPECT_EQ(copy.GetTransform()[i], matrix[i]);

  AttributeVisibility visibility(false);
  std::unique_ptr<Attribute> visibilityClone(visibility.Clone());
  visibility.SetVisible(true);
  EXPECT_FALSE(dynamic_cast<AttributeVisibility&>(*visibilityClone).IsVisible());
}

}  // namespace
