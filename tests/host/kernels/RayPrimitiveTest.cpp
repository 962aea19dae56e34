#include "detail/RayPrimitive.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <ostream>
#include <string>

namespace KivVizOpenGL::detail {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

// The triangle (0,0,0), (2,0,0), (0,2,0) unless a case says otherwise.
struct TriangleCase {
  std::string name;
  Float3 origin;
  Float3 direction;
  float maxT;
  std::optional<TriangleIntersection> expected;
  Float3 p0{0, 0, 0};
  Float3 p1{2, 0, 0};
  Float3 p2{0, 2, 0};
  friend void PrintTo(const TriangleCase& c, std::ostream* out) { *out << c.name; }
};

class RayTriangle : public testing::TestWithParam<TriangleCase> {};

TEST_P(RayTriangle, HitsExactly) {
  const TriangleCase& c = GetParam();
  const auto hit = IntersectTriangle(Ray(c.origin, c.direction), c.p0, c.p1, c.p2, c.maxT);
  ASSERT_EQ(c.expected.has_value(), hit.has_value());
  if (c.expected) {
    EXPECT_FLOAT_EQ(c.expected->t, hit->t);
    EXPECT_FLOAT_EQ(c.expected->u, hit->u);
    EXPECT_FLOAT_EQ(c.expected->v, hit->v);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RayTriangle,
    testing::Values(
        TriangleCase{"FrontFace", {0.5f, 0.5f, 2}, {0, 0, -1}, kInf,
                     TriangleIntersection{2, 0.25f, 0.25f}},
        TriangleCase{"BackFace", {0.5f, 0.5f, -2}, {0, 0, 4}, kInf,
                     TriangleIntersection{0.5f, 0.25f, 0.25f}},
        TriangleCase{"Slanted", {-1, 0.5f, 1}, {1.5f, 0, -1}, kInf,
                     TriangleIntersection{1, 0.25f, 0.25f}},
        TriangleCase{"OnAnEdge", {1, 1, 1}, {0, 0, -1}, kInf, TriangleIntersection{1, 0.5f, 0.5f}},
        TriangleCase{"OnAVertex", {2, 0, 1}, {0, 0, -1}, kInf, TriangleIntersection{1, 1, 0}},
        TriangleCase{"JustOutsideTheHypotenuse", {1.0001f, 1, 1}, {0, 0, -1}, kInf, std::nullopt},
        TriangleCase{"OriginOnTheTriangle", {0.5f, 0.5f, 0}, {0, 1, -1}, kInf,
                     TriangleIntersection{0, 0.25f, 0.25f}},
        TriangleCase{"TriangleBehind", {0.5f, 0.5f, 2}, {0, 0, 1}, kInf, std::nullopt},
        TriangleCase{"BeyondMaxT", {0.5f, 0.5f, 2}, {0, 0, -1}, 1.9f, std::nullopt},
        TriangleCase{"AtMaxT", {0.5f, 0.5f, 2}, {0, 0, -1}, 2.0f,
                     TriangleIntersection{2, 0.25f, 0.25f}},
        TriangleCase{"InThePlane", {-1, 0.5f, 0}, {1, 0, 0}, kInf, std::nullopt},
        TriangleCase{"ParallelAbove", {-1, 0.5f, 1}, {1, 0, 0}, kInf, std::nullopt},
        TriangleCase{"CollinearCorners", {1, 0, 1}, {0, 0, -1}, kInf, std::nullopt,
                     {0, 0, 0}, {1, 0, 0}, {3, 0, 0}},
        // Exactly collinear corners for which the determinant still rounds
        // to about 1e-15: without the degeneracy check this reports t = 0.
        TriangleCase{"CollinearCornersWithRoundedDeterminant",
                     {0x1.6a504ep-1f, -0x1.c3856p-1f, -0x1.30f59ep-1f},
                     {-0x1.8ffdeep-1f, 0x1.becfacp-1f, -0x1.29e462p-1f}, kInf, std::nullopt,
                     {0, 0, 0}, {-0x1.bbec9p-2f, -0x1.bbec9p-5f, -0x1.bbec9p+2f},
                     {-0x1.a2057cp-1f, -0x1.a2057cp-4f, -0x1.a2057cp+3f}},
        TriangleCase{"RepeatedCorner", {0, 0, 1}, {0, 0, -1}, kInf, std::nullopt,
                     {0, 0, 0}, {0, 0, 0}, {0, 2, 0}},
        TriangleCase{"NaNCorner", {0.5f, 0.5f, 2}, {0, 0, -1}, kInf, std::nullopt,
                     {0, 0, 0}, {std::nanf(""), 0, 0}, {0, 2, 0}},
        TriangleCase{"ZeroDirection", {0.5f, 0.5f, 2}, {0, 0, 0}, kInf, std::nullopt}),
    [](const testing::TestParamInfo<TriangleCase>& info) { return info.param.name; });

// The segment (0,0,0)-(2,0,0) unless a case says otherwise.
struct SegmentCase {
  std::string name;
  Float3 origin;
  Float3 direction;
  float tolerance;
  float maxT;
  std::optional<SegmentApproach> expected;
  Float3 a{0, 0, 0};
  Float3 b{2, 0, 0};
  friend void PrintTo(const SegmentCase& c, std::ostream* out) { *out << c.name; }
};

class RaySegment : public testing::TestWithParam<SegmentCase> {};

TEST_P(RaySegment, FindsTheClosestApproach) {
  const SegmentCase& c = GetParam();
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

INSTANTIATE_TEST_SUITE_P(
    Cases, RaySegment,
    testing::Values(
        SegmentCase{"Crossing", {0.5f, 0, 3}, {0, 0, -1}, 0.0f, kInf,
                    SegmentApproach{3, 0.25f, {0.5f, 0, 0}, 0}},
        SegmentCase{"SkewWithinTolerance", {1.5f, 0.1f, 3}, {0, 0, -2}, 0.1f, kInf,
                    SegmentApproach{1.5f, 0.75f, {1.5f, 0, 0}, 0.1f}},
        SegmentCase{"SkewBeyondTolerance", {1.5f, 0.1f, 3}, {0, 0, -2}, 0.09f, kInf,
                    std::nullopt},
        SegmentCase{"PastTheEnd", {2.1f, 0, 3}, {0, 0, -1}, 0.2f, kInf,
                    SegmentApproach{3, 1, {2, 0, 0}, 0.1f}},
        SegmentCase{"BeforeTheStart", {-0.05f, 0.05f, 3}, {0, 0, -1}, 0.1f, kInf,
                    SegmentApproach{3, 0, {0, 0, 0}, 0.0707107f}},
        SegmentCase{"ParallelOverlapTakesTheNearest", {-1, 0.05f, 0}, {1, 0, 0}, 0.1f, kInf,
                    SegmentApproach{1, 0, {0, 0, 0}, 0.05f}},
        SegmentCase{"ParallelStartingOverIt", {0.5f, 0.05f, 0}, {2, 0, 0}, 0.1f, kInf,
                    SegmentApproach{0, 0.25f, {0.5f, 0, 0}, 0.05f}},
        SegmentCase{"AntiParallel", {3, 0.05f, 0}, {-1, 0, 0}, 0.1f, kInf,
                    SegmentApproach{1, 1, {2, 0, 0}, 0.05f}},
        SegmentCase{"SegmentBehindTheOrigin", {1, 0.05f, 1}, {0, 0, 1}, 2.0f, kInf,
                    SegmentApproach{0, 0.5f, {1, 0, 0}, 1.0012492f}},
        SegmentCase{"ClampedByMaxT", {1, 0, 3}, {0, 0, -1}, 0.5f, 2.6f,
                    SegmentApproach{2.6f, 0.5f, {1, 0, 0}, 0.4f}},
        SegmentCase{"MaxTTooShort", {1, 0, 3}, {0, 0, -1}, 0.5f, 2.4f, std::nullopt},
        SegmentCase{"DegenerateSegment", {1, 0.1f, 3}, {0, 0, -1}, 0.2f, kInf,
                    SegmentApproach{3, 0, {1, 0, 0}, 0.1f}, {1, 0, 0}, {1, 0, 0}},
        SegmentCase{"NegativeTolerance", {0.5f, 0, 3}, {0, 0, -1}, -1.0f, kInf, std::nullopt},
        SegmentCase{"ZeroDirection", {0.5f, 0, 0}, {0, 0, 0}, 1.0f, kInf, std::nullopt}),
    [](const testing::TestParamInfo<SegmentCase>& info) { return info.param.name; });

struct PointCase {
  std::string name;
  Float3 origin;
  Float3 direction;
  float tolerance;
  float maxT;
  std::optional<PointApproach> expected;
  friend void PrintTo(const PointCase& c, std::ostream* out) { *out << c.name; }
};

class RayPoint : public testing::TestWithParam<PointCase> {};

// The point (1, 2, 3).
TEST_P(RayPoint, FindsTheClosestApproach) {
  const PointCase& c = GetParam();
  const auto approach = ApproachPoint(Ray(c.origin, c.direction), {1, 2, 3}, c.tolerance, c.maxT);
  ASSERT_EQ(c.expected.has_value(), approach.has_value());
  if (c.expected) {
    EXPECT_FLOAT_EQ(c.expected->t, approach->t);
    EXPECT_NEAR(c.expected->distance, approach->distance, 1e-6f);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RayPoint,
    testing::Values(
        PointCase{"Through", {1, 2, 0}, {0, 0, 0.5f}, 0.0f, kInf, PointApproach{6, 0}},
        PointCase{"Beside", {1.3f, 2, 0}, {0, 0, 1}, 0.3f, kInf, PointApproach{3, 0.3f}},
        PointCase{"TooFar", {1.3f, 2, 0}, {0, 0, 1}, 0.29f, kInf, std::nullopt},
        PointCase{"BehindTheOrigin", {1, 2, 3.5f}, {0, 0, 1}, 0.5f, kInf, PointApproach{0, 0.5f}},
        PointCase{"ClampedByMaxT", {1, 2, 0}, {0, 0, 1}, 0.5f, 2.75f, PointApproach{2.75f, 0.25f}},
        PointCase{"NegativeMaxT", {1, 2, 3}, {0, 0, 1}, 1.0f, -1.0f, std::nullopt}),
    [](const testing::TestParamInfo<PointCase>& info) { return info.param.name; });

}  // namespace
}  // namespace KivVizOpenGL::detail
