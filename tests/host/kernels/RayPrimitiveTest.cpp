#include "detail/RayPrimitive.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

namespace KivVizOpenGL::detail {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

TEST(RayPrimitiveTest, TrianglesAreHitExactlyWithTheirBarycentrics) {
  // The triangle (0,0,0), (2,0,0), (0,2,0) unless a case says otherwise.
  const struct {
    const char* name;
    Float3 origin, direction;
    float maxT;
    std::optional<TriangleIntersection> expected;
    Float3 p0{0, 0, 0}, p1{2, 0, 0}, p2{0, 2, 0};
  } cases[] = {
      {"FrontFace", {0.5f, 0.5f, 2}, {0, 0, -1}, kInf, TriangleIntersection{2, 0.25f, 0.25f}},
      {"BackFaceLongDirection", {0.5f, 0.5f, -2}, {0, 0, 4}, kInf, TriangleIntersection{0.5f, 0.25f, 0.25f}},
      {"OnAnEdge", {1, 1, 1}, {0, 0, -1}, kInf, TriangleIntersection{1, 0.5f, 0.5f}},
      {"OnAVertex", {2, 0, 1}, {0, 0, -1}, kInf, TriangleIntersection{1, 1, 0}},
      {"JustOutsideTheHypotenuse", {1.0001f, 1, 1}, {0, 0, -1}, kInf, std::nullopt},
      {"OriginOnTheTriangle", {0.5f, 0.5f, 0}, {0, 1, -1}, kInf, TriangleIntersection{0, 0.25f, 0.25f}},
      {"BeyondMaxT", {0.5f, 0.5f, 2}, {0, 0, -1}, 1.9f, std::nullopt},
      {"AtMaxT", {0.5f, 0.5f, 2}, {0, 0, -1}, 2.0f, TriangleIntersection{2, 0.25f, 0.25f}},
      {"InThePlane", {-1, 0.5f, 0}, {1, 0, 0}, kInf, std::nullopt},
      {"CollinearCorners", {1, 0, 1}, {0, 0, -1}, kInf, std::nullopt, {0, 0, 0}, {1, 0, 0}, {3, 0, 0}},
      // Exactly collinear corners for which the determinant still rounds to
      // about 1e-15: without the degeneracy check this reports t = 0.
      {"CollinearCornersWithRoundedDeterminant",
       {0x1.6a504ep-1f, -0x1.c3856p-1f, -0x1.30f59ep-1f},
       {-0x1.8ffdeep-1f, 0x1.becfacp-1f, -0x1.29e462p-1f},
       kInf,
       std::nullopt,
       {0, 0, 0},
       {-0x1.bbec9p-2f, -0x1.bbec9p-5f, -0x1.bbec9p+2f},
       {-0x1.a2057cp-1f, -0x1.a2057cp-4f, -0x1.a2057cp+3f}},
      {"NaNCorner", {0.5f, 0.5f, 2}, {0, 0, -1}, kInf, std::nullopt, {0, 0, 0}, {std::nanf(""), 0, 0}, {0, 2, 0}},
      {"ZeroDirection", {0.5f, 0.5f, 2}, {0, 0, 0}, kInf, std::nullopt}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto hit = IntersectTriangle(Ray(c.origin, c.direction), c.p0, c.p1, c.p2, c.maxT);
    ASSERT_EQ(c.expected.has_value(), hit.has_value());
    if (c.expected) {
      EXPECT_FLOAT_EQ(c.expected->t, hit->t);
      EXPECT_FLOAT_EQ(c.expected->u, hit->u);
      EXPECT_FLOAT_EQ(c.expected->v, hit->v);
    }
  }
}

TEST(RayPrimitiveTest, SegmentsGiveTheClosestApproachWithinTheTolerance) {
  // The segment (0,0,0)-(2,0,0) unless a case says otherwise.
  const struct {
    const char* name;
    Float3 origin, direction;
    float tolerance, maxT;
    std::optional<SegmentApproach> expected;
    Float3 a{0, 0, 0}, b{2, 0, 0};
  } cases[] = {
      {"Crossing", {0.5f, 0, 3}, {0, 0, -1}, 0.0f, kInf, SegmentApproach{3, 0.25f, {0.5f, 0, 0}, 0}},
      {"SkewWithinTolerance", {1.5f, 0.1f, 3}, {0, 0, -2}, 0.1f, kInf, SegmentApproach{1.5f, 0.75f, {1.5f, 0, 0}, 0.1f}},
      {"PastTheEnd", {2.1f, 0, 3}, {0, 0, -1}, 0.2f, kInf, SegmentApproach{3, 1, {2, 0, 0}, 0.1f}},
      {"BeforeTheStart", {-0.05f, 0.05f, 3}, {0, 0, -1}, 0.1f, kInf, SegmentApproach{3, 0, {0, 0, 0}, 0.0707107f}},
      {"ParallelOverlapTakesTheNearest", {-1, 0.05f, 0}, {1, 0, 0}, 0.1f, kInf, SegmentApproach{1, 0, {0, 0, 0}, 0.05f}},
      {"AntiParallel", {3, 0.05f, 0}, {-1, 0, 0}, 0.1f, kInf, SegmentApproach{1, 1, {2, 0, 0}, 0.05f}},
      {"SegmentBehindTheOrigin", {1, 0.05f, 1}, {0, 0, 1}, 2.0f, kInf, SegmentApproach{0, 0.5f, {1, 0, 0}, 1.0012492f}},
      {"ClampedByMaxT", {1, 0, 3}, {0, 0, -1}, 0.5f, 2.6f, SegmentApproach{2.6f, 0.5f, {1, 0, 0}, 0.4f}},
      {"MaxTTooShort", {1, 0, 3}, {0, 0, -1}, 0.5f, 2.4f, std::nullopt},
      {"DegenerateSegment", {1, 0.1f, 3}, {0, 0, -1}, 0.2f, kInf, SegmentApproach{3, 0, {1, 0, 0}, 0.1f}, {1, 0, 0}, {1, 0, 0}},
      {"NegativeTolerance", {0.5f, 0, 3}, {0, 0, -1}, -1.0f, kInf, std::nullopt},
      {"ZeroDirection", {0.5f, 0, 0}, {0, 0, 0}, 1.0f, kInf, std::nullopt}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto approach = ApproachSegment(Ray(c.origin, c.direction), c.a, c.b, c.tolerance, c.maxT);
    ASSERT_EQ(c.expected.has_value(), approach.has_value());
    if (c.expected) {
      EXPECT_FLOAT_EQ(c.expected->t, approach->t);
      EXPECT_FLOAT_EQ(c.expected->segmentParameter, approach->segmentParameter);
      EXPECT_FLOAT_EQ(c.expected->point.x, approach->point.x);
      EXPECT_FLOAT_EQ(c.expected->point.y, approach->point.y);
      EXPECT_FLOAT_EQ(c.expected->point.z, approach->point.z);
      EXPECT_NEAR(c.expected->distance, approach->distance, 1e-6f);
    }
  }
}

TEST(RayPrimitiveTest, PointsGiveTheClosestApproachWithinTheTolerance) {
  // The point (1, 2, 3).
  const struct {
    const char* name;
    Float3 origin, direction;
    float tolerance, maxT;
    std::optional<PointApproach> expected;
  } cases[] = {{"Through", {1, 2, 0}, {0, 0, 0.5f}, 0.0f, kInf, PointApproach{6, 0}},
               {"Beside", {1.3f, 2, 0}, {0, 0, 1}, 0.3f, kInf, PointApproach{3, 0.3f}},
               {"TooFar", {1.3f, 2, 0}, {0, 0, 1}, 0.29f, kInf, std::nullopt},
               {"BehindTheOrigin", {1, 2, 3.5f}, {0, 0, 1}, 0.5f, kInf, PointApproach{0, 0.5f}},
               {"ClampedByMaxT", {1, 2, 0}, {0, 0, 1}, 0.5f, 2.75f, PointApproach{2.75f, 0.25f}},
               {"NegativeMaxT", {1, 2, 3}, {0, 0, 1}, 1.0f, -1.0f, std::nullopt}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto approach = ApproachPoint(Ray(c.origin, c.direction), {1, 2, 3}, c.tolerance, c.maxT);
    ASSERT_EQ(c.expected.has_value(), approach.has_value());
    if (c.expected) {
      EXPECT_FLOAT_EQ(c.expected->t, approach->t);
      EXPECT_NEAR(c.expected->distance, approach->distance, 1e-6f);
    }
  }
}

}  // namespace
}  // namespace KivVizOpenGL::detail
