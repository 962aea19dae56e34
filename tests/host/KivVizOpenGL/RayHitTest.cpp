// Ray hits of every item through the item API: exact triangles, lines and
// points within the pick cone, and the big cases compared with brute force
// over random geometry (fixed seeds).
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "KivVizOpenGL/GeometryItemAxisGL.h"
#include "KivVizOpenGL/GeometryItemCircle2DGL.h"
#include "KivVizOpenGL/GeometryItemLinesGL.h"
#include "KivVizOpenGL/GeometryItemPointsGL.h"
#include "KivVizOpenGL/GeometryItemPolylineGL.h"
#include "KivVizOpenGL/GeometryItemTrianglesGL.h"
#include "detail/RayPrimitive.h"

namespace {

using KivVizOpenGL::detail::Float3;

constexpr float Inf = std::numeric_limits<float>::infinity();
constexpr float NaN = std::numeric_limits<float>::quiet_NaN();

struct RayCase {
  std::string name;
  Float3 origin;
  Float3 direction;
  float scalar;
  std::optional<Float3> hit;  // nothing: a miss
  float t = 0.0f;
};

void PrintTo(const RayCase& c, std::ostream* out) { *out << c.name; }

void ExpectRay(const AGeometryItem& item, const RayCase& c) {
  const float origin[3] = {c.origin.x, c.origin.y, c.origin.z};
  const float direction[3] = {c.direction.x, c.direction.y, c.direction.z};
  float hit[3] = {-7.0f, -7.0f, -7.0f};
  float t = -7.0f;
  const bool hits = item.RayHit(origin, direction, c.scalar, hit, t);
  ASSERT_EQ(hits, c.hit.has_value());
  if (!hits) {
    EXPECT_EQ(t, -7.0f) << "a miss writes nothing";
    EXPECT_EQ(hit[0], -7.0f);
    return;
  }
  EXPECT_NEAR(t, c.t, 1e-5f);
  EXPECT_NEAR(hit[0], c.hit->x, 1e-5f);
  EXPECT_NEAR(hit[1], c.hit->y, 1e-5f);
  EXPECT_NEAR(hit[2], c.hit->z, 1e-5f);
}

// Two triangles: the unit right triangle in z = 0 and a copy lifted to
// z = 0.5 and moved to x in [2, 3].
std::unique_ptr<GeometryItemTrianglesGL> MakeTriangles() {
  return std::make_unique<GeometryItemTrianglesGL>(
      1, std::vector<float>{0, 0, 0, 1, 0, 0, 0, 1, 0, 2, 0, 0.5f, 3, 0, 0.5f, 2, 1, 0.5f},
      std::vector<float>(18, 0.0f), std::vector<std::uint32_t>{0, 1, 2, 3, 4, 5});
}

class TriangleRayHitTest : public ::testing::TestWithParam<RayCase> {};

TEST_P(TriangleRayHitTest, HitsExactlyOrMisses) { ExpectRay(*MakeTriangles(), GetParam()); }

INSTANTIATE_TEST_SUITE_P(
    Cases, TriangleRayHitTest,
    ::testing::Values(
        RayCase{"Inside", {0.25f, 0.25f, 1}, {0, 0, -1}, 10, Float3{0.25f, 0.25f, 0}, 1},
        RayCase{"LongDirectionScalesT", {0.25f, 0.25f, 1}, {0, 0, -4}, 10, Float3{0.25f, 0.25f, 0}, 0.25f},
        RayCase{"BackFace", {0.25f, 0.25f, -1}, {0, 0, 1}, 10, Float3{0.25f, 0.25f, 0}, 1},
        RayCase{"OnEdge", {0.5f, 0, 1}, {0, 0, -1}, 10, Float3{0.5f, 0, 0}, 1},
        RayCase{"OnVertex", {0, 1, 1}, {0, 0, -1}, 10, Float3{0, 1, 0}, 1},
        RayCase{"Oblique", {-0.75f, 0.25f, 1}, {1, 0, -1}, 10, Float3{0.25f, 0.25f, 0}, 1},
        RayCase{"JustOutsideHypotenuse", {0.51f, 0.5f, 1}, {0, 0, -1}, 10, std::nullopt},
        RayCase{"BeyondTheScalar", {0.25f, 0.25f, 1}, {0, 0, -1}, 0.999f, std::nullopt},
        RayCase{"ExactlyAtTheScalar", {0.25f, 0.25f, 1}, {0, 0, -1}, 1, Float3{0.25f, 0.25f, 0}, 1},
        RayCase{"PointingAway", {0.25f, 0.25f, 1}, {0, 0, 1}, 10, std::nullopt},
        RayCase{"StartingOnTheSurface", {0.25f, 0.25f, 0}, {0, 0, 1}, 10, Float3{0.25f, 0.25f, 0}, 0},
        RayCase{"EdgeOnInItsPlane", {-1, 0.25f, 0}, {1, 0, 0}, 10, std::nullopt},
        RayCase{"NearerOfTwo", {2.25f, 0.25f, 1}, {0, 0, -1}, 10, Float3{2.25f, 0.25f, 0.5f}, 0.5f},
        RayCase{"ZeroDirection", {0.25f, 0.25f, 1}, {0, 0, 0}, 10, std::nullopt},
        RayCase{"NegativeScalar", {0.25f, 0.25f, 1}, {0, 0, -1}, -1, std::nullopt},
        RayCase{"NaNScalar", {0.25f, 0.25f, 1}, {0, 0, -1}, NaN, std::nullopt},
        RayCase{"InfiniteScalar", {0.25f, 0.25f, 1}, {0, 0, -1}, Inf, Float3{0.25f, 0.25f, 0}, 1},
        RayCase{"NaNOrigin", {NaN, 0.25f, 1}, {0, 0, -1}, 10, std::nullopt}),
    [](const auto& info) { return info.param.name; });

// A segment from (0, 0, 0) to (1, 0, 0). Rays come down -Z from height h at
// an offset from it: with pickAngle 0.003 the cone is 0.003 * h wide there.
std::unique_ptr<GeometryItemLinesGL> MakeSegment() {
  return std::make_unique<GeometryItemLinesGL>(2, std::vector<float>{0, 0, 0, 1, 0, 0, 5, 5, 5},
                                               std::vector<std::uint32_t>{0, 1});
}

class LineRayHitTest : public ::testing::TestWithParam<RayCase> {};

TEST_P(LineRayHitTest, HitsWithinTheConeOnly) { ExpectRay(*MakeSegment(), GetParam()); }

INSTANTIATE_TEST_SUITE_P(
    Cases, LineRayHitTest,
    ::testing::Values(RayCase{"Through", {0.5f, 0, 10}, {0, 0, -1}, 20, Float3{0.5f, 0, 0}, 10},
                      RayCase{"WithinTheCone", {0.5f, 0.02f, 10}, {0, 0, -1}, 20, Float3{0.5f, 0.02f, 0}, 10},
                      RayCase{"OutsideTheCone", {0.5f, 0.04f, 10}, {0, 0, -1}, 20, std::nullopt},
                      RayCase{"SameOffsetNearerIsOutside", {0.5f, 0.02f, 5}, {0, 0, -1}, 20, std::nullopt},
                      RayCase{"PastTheEndWithinTheCone", {1.02f, 0, 10}, {0, 0, -1}, 20, Float3{1.02f, 0, 0}, 10},
                      RayCase{"PastTheEndOutsideTheCone", {1.05f, 0, 10}, {0, 0, -1}, 20, std::nullopt},
                      RayCase{"LongDirection", {0.5f, 0.02f, 10}, {0, 0, -2}, 20, Float3{0.5f, 0.02f, 0}, 5},
                      RayCase{"TooShort", {0.5f, 0, 10}, {0, 0, -1}, 9, std::nullopt},
                      RayCase{"AlongTheSegmentFromItsStart", {0, 0, 0}, {1, 0, 0}, 20, Float3{0, 0, 0}, 0},
                      RayCase{"UnusedVertexIsNotASegment", {5, 5, 10}, {0, 0, -1}, 20, std::nullopt},
                      RayCase{"ZeroDirection", {0.5f, 0, 10}, {0, 0, 0}, 20, std::nullopt},
                      RayCase{"NegativeScalar", {0.5f, 0, 10}, {0, 0, -1}, -1, std::nullopt}),
    [](const auto& info) { return info.param.name; });

class PointRayHitTest : public ::testing::TestWithParam<RayCase> {};

TEST_P(PointRayHitTest, HitsWithinTheConeOnly) {
  const GeometryItemPointsGL points(3, {0, 0, 0, 3, 0, 0, 3, 0, -1});
  ExpectRay(points, GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PointRayHitTest,
    ::testing::Values(RayCase{"Through", {0, 0, 10}, {0, 0, -1}, 20, Float3{0, 0, 0}, 10},
                      RayCase{"WithinTheCone", {0.02f, 0, 10}, {0, 0, -1}, 20, Float3{0.02f, 0, 0}, 10},
                      RayCase{"OutsideTheCone", {0.04f, 0, 10}, {0, 0, -1}, 20, std::nullopt},
                      RayCase{"SameOffsetNearerIsOutside", {0.02f, 0, 5}, {0, 0, -1}, 20, std::nullopt},
                      RayCase{"NearerOfTwoInLine", {3, 0, 10}, {0, 0, -1}, 20, Float3{3, 0, 0}, 10},
                      RayCase{"FartherOneWhenTheNearIsBehind", {3, 0, -0.5f}, {0, 0, -1}, 20, Float3{3, 0, -1}, 0.5f},
                      RayCase{"BehindTheOrigin", {0, 0, -1}, {0, 0, -1}, 20, std::nullopt},
                      RayCase{"NaNScalar", {0, 0, 10}, {0, 0, -1}, NaN, std::nullopt}),
    [](const auto& info) { return info.param.name; });

// The outline of the unit square in z = 0, closed.
std::vector<float> SquareOutline(float size) {
  return {0, 0, 0, size, 0, 0, size, size, 0, 0, size, 0, 0, 0, 0};
}

class PolylineRayHitTest : public ::testing::TestWithParam<RayCase> {};

TEST_P(PolylineRayHitTest, HitsTheStripWithinTheCone) {
  const std::vector<float> outline = SquareOutline(1.0f);
  const GeometryItemPolylineGL polyline(4, outline.data(), static_cast<int>(outline.size()));
  ExpectRay(polyline, GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PolylineRayHitTest,
    ::testing::Values(RayCase{"FirstSide", {0.5f, 0, 10}, {0, 0, -1}, 20, Float3{0.5f, 0, 0}, 10},
                      RayCase{"ClosingSide", {0.01f, 0.5f, 10}, {0, 0, -1}, 20, Float3{0.01f, 0.5f, 0}, 10},
                      RayCase{"Corner", {1, 1, 10}, {0, 0, -1}, 20, Float3{1, 1, 0}, 10},
                      RayCase{"Inside", {0.5f, 0.5f, 10}, {0, 0, -1}, 20, std::nullopt},
                      RayCase{"NearestAlongARayInThePlane", {-1, 0.5f, 0}, {1, 0, 0}, 20, Float3{0, 0.5f, 0}, 1}),
    [](const auto& info) { return info.param.name; });

TEST(PolylineRayHitTest, UpdateReplacesThePoints) {
  const std::vector<float> small = SquareOutline(1.0f);
  GeometryItemPolylineGL polyline(4, small.data(), static_cast<int>(small.size()));
  const RayCase onTheBigSquare{"", {2, 1, 10}, {0, 0, -1}, 20, Float3{2, 1, 0}, 10};
  ExpectRay(polyline, {"", {2, 1, 10}, {0, 0, -1}, 20, std::nullopt});
  const std::vector<float> big = SquareOutline(2.0f);
  polyline.Update(big.data(), static_cast<int>(big.size()));
  ExpectRay(polyline, onTheBigSquare);
  EXPECT_EQ(polyline.Points(), big);
}

TEST(PolylineRayHitTest, FewerThanTwoPointsAreNeverHit) {
  const float one[3] = {0, 0, 0};
  const GeometryItemPolylineGL single(4, one, 3);
  const GeometryItemPolylineGL none(4, nullptr, 0);
  for (const GeometryItemPolylineGL* item : {&single, &none}) {
    ExpectRay(*item, {"", {0, 0, 10}, {0, 0, -1}, 20, std::nullopt});
  }
}

TEST(OverlayRayHitTest, AxisAndCircleAreNotPickable) {
  const GeometryItemAxisGL axis(1, 8, 1, 4.5f, 3.0f, 0.8f, 1.2f, L"X");
  const GeometryItemCircle2DGL circle(2);
  for (const AGeometryItem* item : std::initializer_list<const AGeometryItem*>{&axis, &circle}) {
    ExpectRay(*item, {"", {0, 0, 10}, {0, 0, -1}, 20, std::nullopt});
    ExpectRay(*item, {"", {1, 0, 10}, {0, 0, -1}, 20, std::nullopt});
  }
}

// Random geometry: the item must give exactly what a loop over every
// primitive gives with the same primitive test.
struct BruteHit {
  bool hit = false;
  float t = 0.0f;
};

float Random(std::mt19937& random, float low, float high) {
  return std::uniform_real_distribution<float>(low, high)(random);
}

Float3 RandomPoint(std::mt19937& random, float low, float high) {
  return {Random(random, low, high), Random(random, low, high), Random(random, low, high)};
}

void Append(std::vector<float>& array, const Float3& p) { array.insert(array.end(), {p.x, p.y, p.z}); }

// A ray from far outside the unit cube towards `target`.
KivVizOpenGL::detail::Ray RayTowards(std::mt19937& random, const Float3& target) {
  const Float3 origin = RandomPoint(random, -4.0f, 5.0f) + Float3{0, 0, 6};
  return KivVizOpenGL::detail::Ray(origin, target - origin);
}

template <typename Brute>
void CompareWithBruteForce(const AGeometryItem& item, const std::vector<KivVizOpenGL::detail::Ray>& rays,
                           Brute&& brute, float scalar, int& hits) {
  for (const auto& ray : rays) {
    const float origin[3] = {ray.Origin().x, ray.Origin().y, ray.Origin().z};
    const float direction[3] = {ray.Direction().x, ray.Direction().y, ray.Direction().z};
    float point[3];
    float t = 0.0f;
    const bool hit = item.RayHit(origin, direction, scalar, point, t);
    const BruteHit expected = brute(ray);
    ASSERT_EQ(hit, expected.hit) << "ray from " << origin[0] << "," << origin[1] << "," << origin[2];
    if (hit) {
      ++hits;
      EXPECT_EQ(t, expected.t);
      EXPECT_FLOAT_EQ(point[0], origin[0] + t * direction[0]);
      EXPECT_FLOAT_EQ(point[2], origin[2] + t * direction[2]);
    }
  }
}

TEST(RandomRayHitTest, TrianglesMatchBruteForce) {
  std::mt19937 random(20240611);
  std::vector<float> vertices;
  std::vector<std::uint32_t> indices;
  for (std::uint32_t triangle = 0; triangle < 3000; ++triangle) {
    const Float3 corner = RandomPoint(random, 0.0f, 1.0f);
    for (int i = 0; i < 3; ++i) {
      Append(vertices, corner + RandomPoint(random, -0.05f, 0.05f));
      indices.push_back(3 * triangle + static_cast<std::uint32_t>(i));
    }
  }
  const GeometryItemTrianglesGL item(1, vertices, std::vector<float>(vertices.size(), 0.0f), indices);
  std::vector<KivVizOpenGL::detail::Ray> rays;
  for (int i = 0; i < 400; ++i) {
    rays.push_back(RayTowards(random, RandomPoint(random, 0.0f, 1.0f)));
  }
  const float scalar = 8.0f;
  const auto brute = [&](const KivVizOpenGL::detail::Ray& ray) {
    BruteHit best;
    for (std::size_t triangle = 0; triangle < indices.size() / 3; ++triangle) {
      const auto hit = KivVizOpenGL::detail::IntersectTriangle(ray, Float3::At(vertices, indices[3 * triangle]),
                                                               Float3::At(vertices, indices[3 * triangle + 1]),
                                                               Float3::At(vertices, indices[3 * triangle + 2]), scalar);
      if (hit && (!best.hit || hit->t < best.t)) {
        best = {true, hit->t};
      }
    }
    return best;
  };
  int hits = 0;
  CompareWithBruteForce(item, rays, brute, scalar, hits);
  EXPECT_GT(hits, 100) << "most rays aim into the cloud of triangles";
  EXPECT_LT(hits, 400) << "some rays find a gap";
}

// The cone rule, by itself: closest approach within pickAngle * t * |d|.
BruteHit ConeBrute(const KivVizOpenGL::detail::Ray& ray, float angle, float scalar,
                   const std::function<std::optional<std::pair<float, float>>(std::size_t)>& approach,
                   std::size_t count) {
  const Float3& d = ray.Direction();
  const float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
  BruteHit best;
  for (std::size_t i = 0; i < count; ++i) {
    const auto tAndDistance = approach(i);
    if (tAndDistance && tAndDistance->second <= angle * tAndDistance->first * length &&
        tAndDistance->first <= scalar && (!best.hit || tAndDistance->first < best.t)) {
      best = {true, tAndDistance->first};
    }
  }
  return best;
}

TEST(RandomRayHitTest, LinesMatchBruteForce) {
  std::mt19937 random(7);
  std::vector<float> vertices;
  std::vector<std::uint32_t> indices;
  for (std::uint32_t segment = 0; segment < 2000; ++segment) {
    const Float3 start = RandomPoint(random, 0.0f, 1.0f);
    Append(vertices, start);
    Append(vertices, start + RandomPoint(random, -0.1f, 0.1f));
    indices.insert(indices.end(), {2 * segment, 2 * segment + 1});
  }
  const GeometryItemLinesGL item(1, vertices, indices);
  std::vector<KivVizOpenGL::detail::Ray> rays;
  for (int i = 0; i < 400; ++i) {
    // Aim at a segment, off it by up to a few cone widths.
    const std::size_t segment = random() % 2000;
    const Float3 a = Float3::At(vertices, indices[2 * segment]);
    const Float3 b = Float3::At(vertices, indices[2 * segment + 1]);
    const Float3 target = a + (b - a) * Random(random, 0.0f, 1.0f) + RandomPoint(random, -0.06f, 0.06f);
    rays.push_back(RayTowards(random, target));
  }
  const float scalar = 20.0f;
  const auto brute = [&](const KivVizOpenGL::detail::Ray& ray) {
    return ConeBrute(
        ray, item.pickAngle, scalar,
        [&](std::size_t segment) -> std::optional<std::pair<float, float>> {
          const auto approach = KivVizOpenGL::detail::ApproachSegment(
              ray, Float3::At(vertices, indices[2 * segment]), Float3::At(vertices, indices[2 * segment + 1]), Inf,
              scalar);
          return approach ? std::optional(std::pair(approach->t, approach->distance)) : std::nullopt;
        },
        indices.size() / 2);
  };
  int hits = 0;
  CompareWithBruteForce(item, rays, brute, scalar, hits);
  EXPECT_GT(hits, 60);
  EXPECT_LT(hits, 390);
}

TEST(RandomRayHitTest, PointsMatchBruteForce) {
  std::mt19937 random(99);
  std::vector<float> vertices;
  for (int point = 0; point < 3000; ++point) {
    Append(vertices, RandomPoint(random, 0.0f, 1.0f));
  }
  const GeometryItemPointsGL item(1, vertices);
  std::vector<KivVizOpenGL::detail::Ray> rays;
  for (int i = 0; i < 400; ++i) {
    const Float3 target = Float3::At(vertices, random() % 3000) + RandomPoint(random, -0.04f, 0.04f);
    rays.push_back(RayTowards(random, target));
  }
  const float scalar = 20.0f;
  const auto brute = [&](const KivVizOpenGL::detail::Ray& ray) {
    return ConeBrute(
        ray, item.pickAngle, scalar,
        [&](std::size_t point) -> std::optional<std::pair<float, float>> {
          const auto approach = KivVizOpenGL::detail::ApproachPoint(ray, Float3::At(vertices, point), Inf, scalar);
          return approach ? std::optional(std::pair(approach->t, approach->distance)) : std::nullopt;
        },
        vertices.size() / 3);
  };
  int hits = 0;
  CompareWithBruteForce(item, rays, brute, scalar, hits);
  EXPECT_GT(hits, 60);
  EXPECT_LT(hits, 390);
}

}  // namespace
