// Segment picking: shared vertices, non-finite segments, bad input.
#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

#include "detail/SegmentBvh.h"

namespace KivVizOpenGL::detail {
namespace {

TEST(SegmentBvhTest, ASharedVertexGoesToTheLowerSegment) {
  // An L through (1, 0, 0) drawn as segments 1 and 0 of a line set.
  const std::vector<float> vertices{1, 0, 0, 1, 1, 0, 0, 0, 0};
  const std::vector<std::uint32_t> indices{0, 1, 2, 0};
  const auto hit = SegmentBvh(vertices, indices).Intersect({1, 0, 5}, {0, 0, -1}, 0.01f);
  ASSERT_TRUE(hit.has_value());
  EXPECT_EQ(0u, hit->segment);
  EXPECT_EQ(5.0f, hit->t);
}

TEST(SegmentBvhTest, NonFiniteSegmentsBadQueriesAndMalformedArrays) {
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
  const std::vector<std::uint32_t> odd{0, 1, 1};
  const std::vector<std::uint32_t> outOfRange{0, 3};
  EXPECT_THROW(SegmentBvh(vertices, odd), std::invalid_argument);
  EXPECT_THROW(SegmentBvh(vertices, outOfRange), std::invalid_argument);
  EXPECT_THROW(SegmentBvh(std::span(vertices).first(5), std::span(odd).first(2)), std::invalid_argument);
}

}  // namespace
}  // namespace KivVizOpenGL::detail
