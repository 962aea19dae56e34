// The hierarchy under every picker and its point and segment pickers, and the
// exact ray test of single triangles that is the reference for the triangle
// hierarchy: traversal order, ties, rounding at box faces, degenerate and
// non-finite primitives, bad input (triangle hits are pinned by the item tests);
// then the view volume's culling and containment against hand-built
// fixed-function matrices.
#include <gtest/gtest.h>

#include "detail/PointBvh.h"
#include "detail/RayPrimitive.h"
#include "detail/SegmentBvh.h"
#include "detail/ViewVolume.h"

namespace KivVizOpenGL::detail {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(RayPrimitiveTest, TrianglesAreHitExactlyWithTheirBarycentrics) {
  // Exactly collinear corners for which the determinant still rounds to
  // about 1e-15, with a ray: without the degeneracy check this reports t = 0.
  const Float3 r[4] = {{0x1.6a504ep-1f, -0x1.c3856p-1f, -0x1.30f59ep-1f},
                       {-0x1.8ffdeep-1f, 0x1.becfacp-1f, -0x1.29e462p-1f},
                       {-0x1.bbec9p-2f, -0x1.bbec9p-5f, -0x1.bbec9p+2f},
                       {-0x1.a2057cp-1f, -0x1.a2057cp-4f, -0x1.a2057cp+3f}};
  // The triangle (0,0,0), (2,0,0), (0,2,0) unless a case says otherwise.
  const struct {
    const char* name;
    Float3 origin, direction;
    std::optional<std::array<float, 3>> expected;  // t, u, v
    Float3 p0{0, 0, 0}, p1{2, 0, 0}, p2{0, 2, 0};
  } cases[] = {{"OnAVertex", {2, 0, 1}, {0, 0, -1}, std::array{1.0f, 1.0f, 0.0f}},
               {"InThePlane", {-1, 0.5f, 0}, {1, 0, 0}, std::nullopt},
               {"CollinearCorners", {1, 0, 1}, {0, 0, -1}, std::nullopt, {0, 0, 0}, {1, 0, 0}, {3, 0, 0}},
               {"CollinearCornersWithRoundedDeterminant", r[0], r[1], std::nullopt, {0, 0, 0}, r[2], r[3]},
               {"NaNCorner", {0.5f, 0.5f, 2}, {0, 0, -1}, std::nullopt, {0, 0, 0}, {kNaN, 0, 0}, {0, 2, 0}},
               {"ZeroDirection", {0.5f, 0.5f, 2}, {0, 0, 0}, std::nullopt}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto hit = IntersectTriangle(Ray(c.origin, c.direction), c.p0, c.p1, c.p2, kInf);
    EXPECT_EQ(c.expected, hit ? std::optional(std::array{hit->t, hit->u, hit->v}) : std::nullopt);
  }
}

// The primitives of each leaf a traversal visits, in order; every visit
// returns `bound`.
std::vector<std::vector<std::uint32_t>> Visited(const Bvh& bvh, const Ray& ray, float bound) {
  std::vector<std::vector<std::uint32_t>> leaves;
  bvh.Traverse(ray, 0.0f, kInf, [&](std::uint32_t first, std::uint32_t count, float) {
    leaves.emplace_back(bvh.PrimitiveOrder().begin() + first, bvh.PrimitiveOrder().begin() + first + count);
    return bound;
  });
  return leaves;
}

// Unit boxes at x = 0, 2, 4, ..., a ray along +x from x = -1: the leaf holding
// box 0 must come first, and once it returns a bound of 1 (box 1 is entered at
// t = 3) nothing else may be visited. But a box entry in float may round a few
// ulps above a primitive on its face: a leaf entered just beyond the bound must
// be visited, or a lower-index tie is lost.
TEST(BvhTest, NearestLeafComesFirstTheBoundSkipsTheRestAndAnUlpBeyondItDoesNot) {
  std::vector<Aabb> boxes;
  for (int i = 0; i < 500; ++i) {
    const Float3 low{2.0f * static_cast<float>(i), 0, 0};
    boxes.emplace_back(low, low + Float3{1, 1, 1});
  }
  const auto leaves = Visited(Bvh(boxes), Ray({-1.0f, 0.5f, 0.5f}, {1, 0, 0}), 1.0f);
  ASSERT_EQ(1u, leaves.size());
  EXPECT_NE(leaves[0].end(), std::find(leaves[0].begin(), leaves[0].end(), 0u));
  // Nine identical flat boxes split into two leaves entered at the same t.
  const Aabb flat({0, 0, 0.3f}, {1, 1, 0.3f});
  const Bvh nine(std::vector<Aabb>(9, flat));
  const Ray ray({0.1f, 0.7f, 1.9f}, {0.3f, -0.2f, -1.3f});
  EXPECT_EQ(2u, Visited(nine, ray, std::nextafter(flat.IntersectRay(ray, kInf)->entry, 0.0f)).size());
}

// Points 0 and 2 coincide; point 1 is nearer to the ray's line but further
// along it. Then an infinite point, left out.
TEST(PointBvhTest, NearestAlongTheRayWinsTiesGoLowAndNonFinitePointsAreLeftOut) {
  const auto found = [](const std::optional<PointHit>& hit) {
    return hit ? std::pair(hit->point, hit->t) : std::pair(99u, 0.0f);
  };
  const PointBvh bvh(std::vector<float>{0, 0.05f, 2, 0, 0, 1, 0, 0.05f, 2});
  EXPECT_EQ(std::pair(0u, 3.0f), found(bvh.Intersect({0, 0, 5}, {0, 0, -1}, 0.1f)));
  EXPECT_EQ(1u, found(bvh.Intersect({0, 0, 5}, {0, 0, -1}, 0.01f)).first);
  const std::vector<float> points{kInf, 0, 0, 0, 0, 0};
  const PointBvh withInfinity(points);
  EXPECT_EQ(1u, withInfinity.Hierarchy().PrimitiveOrder().size());
  EXPECT_EQ(1u, found(withInfinity.Intersect({1, 0, 0}, {-1, 0, 0}, 0.0f)).first);
  EXPECT_THROW(PointBvh(std::span(points).first(4)), std::invalid_argument);
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

// An L through (1, 0, 0) drawn as segments 1 and 0 of a line set; then a
// segment with a NaN end, left out.
TEST(SegmentBvhTest, ASharedVertexGoesLowNonFiniteSegmentsAreLeftOutBadInputFails) {
  const auto found = [](const std::optional<SegmentHit>& hit) {
    return hit ? std::pair(hit->segment, hit->t) : std::pair(99u, 0.0f);
  };
  const SegmentBvh ell(std::vector<float>{1, 0, 0, 1, 1, 0, 0, 0, 0}, std::vector<std::uint32_t>{0, 1, 2, 0});
  EXPECT_EQ(std::pair(0u, 5.0f), found(ell.Intersect({1, 0, 5}, {0, 0, -1}, 0.01f)));
  const std::vector<float> vertices{0, 0, 0, kNaN, 0, 0, 2, 0, 0};
  const SegmentBvh bvh(vertices, std::vector<std::uint32_t>{0, 1, 0, 2});
  EXPECT_EQ(1u, bvh.Hierarchy().PrimitiveOrder().size());
  EXPECT_EQ(1u, found(bvh.Intersect({0.5f, 0, 1}, {0, 0, -1}, 0.1f)).first);
  EXPECT_FALSE(bvh.Intersect({0.5f, 0, 1}, {0, 0, -1}, -0.1f).has_value());
  EXPECT_FALSE(bvh.Intersect({0.5f, 0, 1}, {0, 0, -1}, kNaN).has_value());
  EXPECT_FALSE(bvh.Intersect({0.5f, 0, 1}, {0, 0, 0}, 0.1f).has_value());
  EXPECT_FALSE(SegmentBvh().Intersect({0.5f, 0, 1}, {0, 0, -1}, 0.1f).has_value());
  const std::vector<std::uint32_t> odd{0, 1, 1};
  const std::vector<std::uint32_t> outOfRange{0, 3};
  EXPECT_THROW(SegmentBvh(vertices, odd), std::invalid_argument);
  EXPECT_THROW(SegmentBvh(vertices, outOfRange), std::invalid_argument);
  EXPECT_THROW(SegmentBvh(std::span(vertices).first(5), std::span(odd).first(2)), std::invalid_argument);
}

using Matrix = ViewVolume::Matrix;

// A 90-degree perspective (glFrustum(-1, 1, -1, 1, 1, 10)) times a translation
// by z = -3: looking down -z from the object point (0, 0, 3), at object z = 0
// the volume spans -3..3 in x and y.
Matrix Perspective() {
  return ViewVolume::Multiply({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -11.0 / 9, -1, 0, 0, -20.0 / 9, 0},
                              {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -3, 1});
}

// glOrtho(-2, 2, -1, 1, 0, 5): x in [-2, 2], y in [-1, 1], z in [-5, 0].
Matrix Orthographic() { return {0.5, 0, 0, 0, 0, 1, 0, 0, 0, 0, -0.4, 0, 0, 0, -1, 1}; }

TEST(ViewVolumeTest, CullsOnlyBoxesWhollyOutsideAndContainsOnlyBoxesWhollyInside) {
  const struct {
    const char* name;
    Matrix clip;
    Aabb box;
    bool intersects;
    bool contains;
  } cases[] = {
      {"PerspectiveInside", Perspective(), Aabb({-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}), true, true},
      {"PerspectiveOutsideLeft", Perspective(), Aabb({-5, -0.1f, -0.1f}, {-3.5f, 0.1f, 0.1f}), false, false},
      {"PerspectiveBetweenEyeAndNear", Perspective(), Aabb({-0.1f, -0.1f, 2.2f}, {0.1f, 0.1f, 2.8f}), false, false},
      {"PerspectiveStraddlesNear", Perspective(), Aabb({-0.1f, -0.1f, 1.5f}, {0.1f, 0.1f, 2.8f}), true, false},
      {"PerspectiveEnclosesTheEye", Perspective(), Aabb({-10, -10, -10}, {10, 10, 10}), true, false},
      {"PerspectiveTouchesTheLeftPlane", Perspective(), Aabb({-4, -0.1f, 0}, {-3, 0.1f, 0}), true, false},
      {"PerspectiveWithinRoundingOfLeft", Perspective(), Aabb({-3.00001f, 0, 0}, {-3.000005f, 0, 0}), true, false},
      {"PerspectiveEmptyBox", Perspective(), Aabb(), false, false},
      {"OrthographicTouchesRight", Orthographic(), Aabb({2, 0, -1}, {3, 0.5f, -0.5f}), true, false},
      {"OrthographicStraddlesFar", Orthographic(), Aabb({-1, -0.5f, -6}, {1, 0.5f, -4}), true, false},
      {"OrthographicFlatInside", Orthographic(), Aabb({0, 0, -2}, {0, 0, -2}), true, true}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.intersects, ViewVolume(c.clip).Intersects(c.box)) << c.name;
    EXPECT_EQ(c.contains, ViewVolume(c.clip).Contains(c.box)) << c.name;
  }
  // Points just outside one face each (left, right, bottom, top, near, far), inside all others.
  for (const Float3& p :
       {Float3{-2.1f, 0, -1}, {2.1f, 0, -1}, {0, -1.1f, -1}, {0, 1.1f, -1}, {0, 0, 0.1f}, {0, 0, -5.1f}}) {
    EXPECT_FALSE(ViewVolume(Orthographic()).Intersects(Aabb(p, p))) << p.x << ", " << p.y << ", " << p.z;
  }
}

}  // namespace
}  // namespace KivVizOpenGL::detail
