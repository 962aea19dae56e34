#include "detail/Aabb.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>

namespace KivVizOpenGL::detail {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
const Aabb kUnit({0, 0, 0}, {1, 1, 1});

TEST(AabbTest, RaySlabsGiveTheIntervalInsideTheBox) {
  const Aabb flat({0, 0, 2}, {1, 1, 2});
  const struct {
    const char* name;
    Aabb box;
    Float3 origin, direction;
    float maxT;
    std::optional<RayInterval> expected;
  } cases[] = {
      {"Diagonal", kUnit, {-1, -1, -1}, {1, 1, 1}, kInf, RayInterval{1, 2}},
      {"StartsInside", kUnit, {0.5f, 0.5f, 0.5f}, {1, 0, 0}, kInf, RayInterval{0, 0.5f}},
      {"BoxBehind", kUnit, {2, 0.5f, 0.5f}, {1, 0, 0}, kInf, std::nullopt},
      {"EndsBeforeTheBox", kUnit, {-2, 0.5f, 0.5f}, {1, 0, 0}, 1.5f, std::nullopt},
      {"ZeroComponentsInsideSlabs", kUnit, {0.25f, 0.75f, -5}, {0, 0, 1}, kInf, RayInterval{5, 6}},
      {"ZeroComponentOutsideSlab", kUnit, {1.5f, 0.5f, -5}, {0, 0, 1}, kInf, std::nullopt},
      {"NegativeZeroOutsideSlab", kUnit, {-0.5f, 0.5f, -5}, {-0.0f, 0, 1}, kInf, std::nullopt},
      // 0 * inf on the face planes: the ray runs in the box's face.
      {"InMinFaceNegativeZero", kUnit, {0, 0.5f, -5}, {-0.0f, 0, 1}, kInf, RayInterval{5, 6}},
      {"InMaxFacePositiveZero", kUnit, {1, 0.5f, -5}, {0, 0, 1}, kInf, RayInterval{5, 6}},
      {"AlongAnEdge", kUnit, {1, 1, -5}, {0, -0.0f, 1}, kInf, RayInterval{5, 6}},
      {"FlatBoxCrossed", flat, {0.5f, 0.5f, 0}, {0, 0, 1}, kInf, RayInterval{2, 2}},
      {"FlatBoxInItsPlane", flat, {-1, 0.5f, 2}, {1, 0, 0}, kInf, RayInterval{1, 2}},
      {"TouchesACorner", kUnit, {2, 0, 1}, {-1, 1, 0}, kInf, RayInterval{1, 1}},
      {"PassesTheCorner", kUnit, {2.01f, 0, 1}, {-1, 1, 0}, kInf, std::nullopt},
      {"DenormalDirection", kUnit, {0.5f, 0.5f, -1}, {1e-45f, 0, 1}, kInf, RayInterval{1, 2}},
      {"NegativeMaxT", kUnit, {0.5f, 0.5f, 0.5f}, {1, 0, 0}, -1.0f, std::nullopt},
      {"EmptyBox", Aabb(), {0, 0, 0}, {1, 1, 1}, kInf, std::nullopt},
      {"ZeroDirection", kUnit, {0.5f, 0.5f, 0.5f}, {0, 0, 0}, kInf, std::nullopt},
      {"NaNDirection", kUnit, {0.5f, 0.5f, 0.5f}, {kNaN, 0, 1}, kInf, std::nullopt}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto interval = c.box.IntersectRay(Ray(c.origin, c.direction), c.maxT);
    ASSERT_EQ(c.expected.has_value(), interval.has_value());
    if (c.expected) {
      EXPECT_FLOAT_EQ(c.expected->entry, interval->entry);
      // The exit is widened by a few ulps on purpose, never past maxT.
      EXPECT_NEAR(c.expected->exit, interval->exit, 1e-6f * c.expected->exit);
      EXPECT_LE(interval->exit, c.maxT);
    }
  }
  const auto padded = kUnit.IntersectRay(Ray({-5, 1.2f, 0.5f}, {1, 0, 0}), kInf, 0.25f);
  ASSERT_TRUE(padded.has_value()) << "padding grows the box on every side";
  EXPECT_FLOAT_EQ(4.75f, padded->entry);
  EXPECT_NEAR(6.25f, padded->exit, 1e-5f);
}

TEST(AabbTest, EmptyBoxGrowsToItsPointsAndIgnoresNaN) {
  Aabb box;
  EXPECT_TRUE(box.IsEmpty());
  EXPECT_FALSE(box.Contains(Float3{0, 0, 0}));
  EXPECT_EQ(0.0f, box.HalfArea());
  box.Grow({1, 2, 3});
  EXPECT_TRUE(box.Contains(Float3{1, 2, 3}));
  box.Grow({kNaN, -1, 5});
  EXPECT_EQ((Float3{1, -1, 3}), box.Min());
  EXPECT_EQ((Float3{1, 2, 5}), box.Max());
  EXPECT_EQ(1, box.LongestAxis());
  EXPECT_EQ(6.0f, box.HalfArea());
}

TEST(AabbTest, MergeAndContainmentTreatTheEmptyBoxAsNothing) {
  Aabb box({0, 0, 0}, {1, 1, 1});
  box.Merge(Aabb());
  EXPECT_EQ((Float3{1, 1, 1}), box.Max());
  box.Merge(Aabb({-1, 0.5f, 0}, {0, 0.5f, 4}));
  EXPECT_EQ((Float3{-1, 0, 0}), box.Min());
  EXPECT_EQ((Float3{1, 1, 4}), box.Max());
  EXPECT_TRUE(box.Contains(Aabb()));
  EXPECT_FALSE(Aabb().Contains(box));
  EXPECT_FALSE(box.Contains(Aabb({0, 0, 0}, {1, 1, 4.5f})));
  EXPECT_FALSE(Aabb({0, 0, 0}, {1, kInf, 1}).IsEmpty());
  EXPECT_FALSE(Aabb({0, 0, 0}, {1, kInf, 1}).IsFinite());
}

}  // namespace
}  // namespace KivVizOpenGL::detail
