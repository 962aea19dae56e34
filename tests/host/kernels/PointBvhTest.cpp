#include "detail/PointBvh.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>
#include <string>
#include <utility>

#include "TestGeometry.h"

namespace KivVizOpenGL::detail {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

TEST(PointBvhTest, MatchesBruteForceOnARandomCloud) {
  const std::vector<float> cloud = test::PointCloud(31, 5000);
  const PointBvh bvh(cloud);
  for (const auto& [tolerance, maxT] : {std::pair{0.02f, kInf}, {0.08f, kInf}, {0.05f, 1.0f}}) {
    SCOPED_TRACE("tolerance " + std::to_string(tolerance) + ", maxT " + std::to_string(maxT));
    std::size_t hits = 0;
    for (const test::TestRay& ray : test::RandomRays(32, 400, {-1, -1, -1}, {1, 1, 1})) {
      const auto expected = test::BruteForcePoint(cloud, ray, tolerance, maxT);
      const auto actual = bvh.Intersect(ray.origin, ray.direction, tolerance, maxT);
      ASSERT_EQ(expected.has_value(), actual.has_value());
      if (expected) {
        ++hits;
        EXPECT_EQ(expected->point, actual->point);
        EXPECT_EQ(expected->t, actual->t);
        EXPECT_EQ(expected->distance, actual->distance);
      }
    }
    EXPECT_GT(hits, 15u);
  }
}

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

// The ray passes the point at just under the tolerance, almost along a box
// face; the face padded by exactly the tolerance, in float, lies a rounding
// step inside the ray, and only the padding's margin keeps the hit.
TEST(PointBvhTest, PointJustWithinToleranceSurvivesPaddingRounding) {
  const std::vector<float> point{-0x1.8eafbp+6f, 0x1.317d6cp+5f, 0x1.8c192cp+1f};
  const float tolerance = 0x1.df288ep-3f;
  const test::TestRay ray{{-0x1.8f9f44p+6f, 0x1.097d6cp+5f, 0x1.8c192cp+1f}, {-0x1.a89202p-24f, 1.0f, 0x1.975f0cp-14f}};
  ASSERT_TRUE(test::BruteForcePoint(point, ray, tolerance, kInf).has_value());
  EXPECT_TRUE(PointBvh(point).Intersect(ray.origin, ray.direction, tolerance).has_value());
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
