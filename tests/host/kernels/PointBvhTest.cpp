// Point picking: nearest along the ray, ties, tolerance padding, bad input.
#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

#include "detail/PointBvh.h"
#include "detail/RayPrimitive.h"

namespace KivVizOpenGL::detail {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

TEST(PointBvhTest, NearestAlongTheRayWinsAndTiesGoToTheLowerIndex) {
  // Points 0 and 2 coincide; point 1 is nearer to the ray's line but
  // further along it.
  const PointBvh bvh(std::vector<float>{0, 0.05f, 2, 0, 0, 1, 0, 0.05f, 2});
  const auto hit = bvh.Intersect({0, 0, 5}, {0, 0, -1}, 0.1f);
  ASSERT_TRUE(hit.has_value());
  EXPECT_EQ(0u, hit->point);
  EXPECT_EQ(3.0f, hit->t);
  const auto tight = bvh.Intersect({0, 0, 5}, {0, 0, -1}, 0.01f);
  ASSERT_TRUE(tight.has_value());
  EXPECT_EQ(1u, tight->point);
}

// The ray passes just within tolerance, almost along a box face padded by the
// tolerance that rounds a step inside it: only the padding's margin keeps the hit.
TEST(PointBvhTest, PointJustWithinToleranceSurvivesPaddingRounding) {
  const std::vector<float> point{-0x1.8eafbp+6f, 0x1.317d6cp+5f, 0x1.8c192cp+1f};
  const float tolerance = 0x1.df288ep-3f;
  const Float3 origin{-0x1.8f9f44p+6f, 0x1.097d6cp+5f, 0x1.8c192cp+1f};
  const Float3 direction{-0x1.a89202p-24f, 1.0f, 0x1.975f0cp-14f};
  ASSERT_TRUE(ApproachPoint(Ray(origin, direction), Float3::At(point, 0), tolerance, kInf).has_value());
  EXPECT_TRUE(PointBvh(point).Intersect(origin, direction, tolerance).has_value());
}

TEST(PointBvhTest, NonFinitePointsAreLeftOutAndBadInputThrows) {
  const std::vector<float> points{kInf, 0, 0, 0, 0, 0};
  const PointBvh bvh(points);
  EXPECT_EQ(1u, bvh.Hierarchy().PrimitiveOrder().size());
  const auto hit = bvh.Intersect({1, 0, 0}, {-1, 0, 0}, 0.0f);
  ASSERT_TRUE(hit.has_value());
  EXPECT_EQ(1u, hit->point);
  EXPECT_THROW(PointBvh(std::span(points).first(4)), std::invalid_argument);
}

}  // namespace
}  // namespace KivVizOpenGL::detail
