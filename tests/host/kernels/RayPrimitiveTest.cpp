// Exact ray tests of single triangles, the reference for the hierarchy: a
// vertex hit and the degenerate cases (hits are pinned by the item tests).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

#include "detail/RayPrimitive.h"

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
      {"OnAVertex", {2, 0, 1}, {0, 0, -1}, kInf, TriangleIntersection{1, 1, 0}},
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

}  // namespace
}  // namespace KivVizOpenGL::detail
