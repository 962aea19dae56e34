#include "detail/SegmentBvh.h"

#include <gtest/gtest.h>

#include <limits>
#include <ostream>
#include <stdexcept>

#include "TestGeometry.h"

namespace KivVizOpenGL::detail {
namespace {

struct ToleranceCase {
  const char* name;
  float tolerance;
  float maxT;
  friend void PrintTo(const ToleranceCase& c, std::ostream* out) { *out << c.name; }
};

class SegmentBvhMatchesBruteForce : public testing::TestWithParam<ToleranceCase> {};

TEST_P(SegmentBvhMatchesBruteForce, OnARandomWalk) {
  const test::Mesh walk = test::Polyline(21, 4000);
  const SegmentBvh bvh(walk.vertices, walk.indices);
  const Aabb bounds = bvh.Hierarchy().Bounds();
  const float tolerance = GetParam().tolerance;
  const float maxT = GetParam().maxT;
  std::size_t hits = 0;
  for (const test::TestRay& ray : test::RandomRays(22, 400, bounds.Min(), bounds.Max())) {
    const auto expected = test::BruteForceSegment(walk, ray, tolerance, maxT);
    const auto actual = bvh.Intersect(ray.origin, ray.direction, tolerance, maxT);
    ASSERT_EQ(expected.has_value(), actual.has_value());
    if (expected) {
      ++hits;
      EXPECT_EQ(expected->segment, actual->segment);
      EXPECT_EQ(expected->t, actual->t);
      EXPECT_EQ(expected->segmentParameter, actual->segmentParameter);
      EXPECT_EQ(expected->point, actual->point);
      EXPECT_EQ(expected->distance, actual->distance);
    }
  }
  EXPECT_GT(hits, 15u);
}

INSTANTIATE_TEST_SUITE_P(
    Tolerances, SegmentBvhMatchesBruteForce,
    testing::Values(ToleranceCase{"Fine", 0.01f, std::numeric_limits<float>::infinity()},
                    ToleranceCase{"Coarse", 0.2f, std::numeric_limits<float>::infinity()},
                    ToleranceCase{"Short", 0.1f, 1.0f}),
    [](const testing::TestParamInfo<ToleranceCase>& info) { return info.param.name; });

TEST(SegmentBvhTest, ASharedVertexGoesToTheLowerSegment) {
  // An L through (1, 0, 0) drawn as segments 1 and 0 of a line set.
  const std::vector<float> vertices{1, 0, 0, 1, 1, 0, 0, 0, 0};
  const std::vector<std::uint32_t> indices{0, 1, 2, 0};
  const SegmentBvh bvh(vertices, indices);
  const auto hit = bvh.Intersect({1, 0, 5}, {0, 0, -1}, 0.01f);
  ASSERT_TRUE(hit.has_value());
  EXPECT_EQ(0u, hit->segment);
  EXPECT_EQ(5.0f, hit->t);
}

TEST(SegmentBvhTest, NonFiniteSegmentsAndBadQueriesHitNothing) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const std::vector<float> vertices{0, 0, 0, nan, 0, 0, 2, 0, 0};
  const std::vector<std::uint32_t> indices{0, 1, 0, 2};
  const SegmentBvh bvh(vertices, indices);
  EXPECT_EQ(1u, bvh.Hierarchy().PrimitiveOrder().size());
  const auto hit = bvh.Intersect({0.5f, 0, 1}, {0, 0, -1}, 0.1f);
  ASSERT_TRUE(hit.has_value());
  EXPECT_EQ(1u, hit->segment);
  EXPECT_FALSE(bvh.Intersect({0.5f, 0, 1}, {0, 0, -1}, -0.1f).has_value());
  EXPECT_FALSE(bvh.Intersect({0.5f, 0, 1}, {0, 0, -1}, nan).has_value());
  EXPECT_FALSE(bvh.Intersect({0.5f, 0, 1}, {0, 0, 0}, 0.1f).has_value());
  EXPECT_FALSE(SegmentBvh().Intersect({0.5f, 0, 1}, {0, 0, -1}, 0.1f).has_value());
}

TEST(SegmentBvhTest, MalformedArraysThrow) {
  const std::vector<float> vertices{0, 0, 0, 1, 0, 0};
  const std::vector<std::uint32_t> odd{0, 1, 1};
  const std::vector<std::uint32_t> outOfRange{0, 2};
  EXPECT_THROW(SegmentBvh(vertices, odd), std::invalid_argument);
  EXPECT_THROW(SegmentBvh(vertices, outOfRange), std::invalid_argument);
  EXPECT_THROW(SegmentBvh(std::span(vertices).first(5), std::span(odd).first(2)),
               std::invalid_argument);
}

}  // namespace
}  // namespace KivVizOpenGL::detail
