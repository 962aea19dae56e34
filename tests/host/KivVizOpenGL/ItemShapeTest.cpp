// Arrays the factory and items refuse, the items' bounding boxes, and ray hits
// through the item API: exact triangles, lines and points within the pick
// cone, each picked whole or, big enough, through its chunks.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <numeric>

#include "KivVizOpenGL/GeometryItemAxisGL.h"
#include "KivVizOpenGL/GeometryItemCircle2DGL.h"
#include "KivVizOpenGL/GeometryItemFactoryGL.h"
#include "KivVizOpenGL/GeometryItemLinesGL.h"
#include "KivVizOpenGL/GeometryItemPointsGL.h"
#include "KivVizOpenGL/GeometryItemPolylineGL.h"
#include "KivVizOpenGL/GeometryItemTrianglesGL.h"
#include "detail/RayPrimitive.h"

namespace {

using KivVizOpenGL::detail::Float3;

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
const std::vector<float> kTriangle = {0, 0, 0, 1, 0, 0, 0, 1, 0};

TEST(GeometryItemFactoryTest, MalformedArraysAreRefusedNamingTheFunction) {
  GeometryItemFactoryGL f;
  enum Kind { Triangles, Lines, Points };
  const struct {
    const char* name;
    Kind kind;
    std::vector<float> vertices, normals;
    std::vector<std::uint32_t> indices;
  } cases[] = {{"TrianglesPartialVertex", Triangles, {0, 0, 0, 1}, {}, {0, 0, 0}},
               {"TrianglesPartialTriangle", Triangles, kTriangle, {}, {0, 1}},
               {"TrianglesIndexOutOfRange", Triangles, kTriangle, {}, {0, 1, 3}},
               {"TrianglesShortNormals", Triangles, kTriangle, {0, 0, 1}, {0, 1, 2}},
               {"LinesOddIndexCount", Lines, kTriangle, {}, {0, 1, 2}},
               {"LinesIndexOutOfRange", Lines, kTriangle, {}, {0, 7}},
               {"PointsPartialVertex", Points, {0, 0}, {}, {}}};
  for (const auto& c : cases) {
    const auto make = [&] {
      return c.kind == Triangles ? f.CreateTriangles(1, c.vertices, c.normals, c.indices)
             : c.kind == Lines   ? f.CreateLines(1, c.vertices, c.indices)
                                 : f.CreatePoints(1, c.vertices, 1.0f);
    };
    EXPECT_THROW(delete make(), std::invalid_argument) << c.name;
  }
  for (const auto& [points, count] : {std::pair{kTriangle.data(), -3}, {kTriangle.data(), 4}, {nullptr, 3}}) {
    EXPECT_THROW(GeometryItemPolylineGL(1, points, count), std::invalid_argument) << count << " values";
  }
  try {
    GeometryItemPolylineGL(1, nullptr, 0).Update(kTriangle.data(), 8);
    ADD_FAILURE() << "no exception";
  } catch (const std::invalid_argument& error) {
    EXPECT_NE(std::string(error.what()).find("GeometryItemPolylineGL::Update"), std::string::npos) << error.what();
  }
}

using Box = std::optional<std::array<float, 6>>;

Box BoxOf(const AGeometryItem& item) {
  std::array<float, 6> box;
  box.fill(-9.0f);
  if (item.GetBoundingBox(box.data(), box.data() + 3)) return box;
  EXPECT_EQ(std::count(box.begin(), box.end(), -9.0f), 6) << "no box, nothing written";
  return std::nullopt;
}

TEST(GeometryItemBoundsTest, BoxesEncloseWhatIsDrawn) {
  // Only referenced vertices count; non-finite ones are skipped.
  EXPECT_EQ(BoxOf(GeometryItemTrianglesGL(1, {0, 0, 0, 2, 0, 1, 0, 3, 0, 100, 100, 100}, {}, {0, 1, 2})),
            (Box{{0, 0, 0, 2, 3, 1}}));
  EXPECT_EQ(BoxOf(GeometryItemTrianglesGL(1, {}, {}, {})), std::nullopt);
  EXPECT_EQ(BoxOf(GeometryItemLinesGL(1, {-1, 0, 0, 1, 2, 3, kNaN, 0, 0, kInf, 0, 0}, {0, 1, 2, 3})),
            (Box{{-1, 0, 0, 1, 2, 3}}));
  EXPECT_EQ(BoxOf(GeometryItemPointsGL(1, {})), std::nullopt);
  const float polylinePoints[] = {0, 0, 0, 1, -1, 2};
  EXPECT_EQ(BoxOf(GeometryItemPolylineGL(1, polylinePoints, 6)), (Box{{0, -1, 0, 1, 0, 2}}));
  GeometryItemCircle2DGL circle(1);
  circle.radius = 2.5f;
  EXPECT_EQ(BoxOf(circle), (Box{{-2.5f, -2.5f, 0, 2.5f, 2.5f, 0}}));
  // The axis points along +Z.
  EXPECT_EQ(BoxOf(GeometryItemAxisGL(1, 8, 2, 4.5f, 3.0f, 0.8f, 1.2f, L"Z")),
            (Box{{-1.2f, -1.2f, 0, 1.2f, 1.2f, 4.5f}}));
}

struct RayCase {
  const char* name;
  Float3 origin;
  Float3 direction;
  float scalar;
  std::optional<Float3> hit;  // nothing: a miss
  float t = 0.0f;
};

void ExpectRays(const AGeometryItem& item, std::initializer_list<RayCase> cases) {
  for (const RayCase& c : cases) {
    SCOPED_TRACE(c.name);
    const float origin[3] = {c.origin.x, c.origin.y, c.origin.z};
    const float direction[3] = {c.direction.x, c.direction.y, c.direction.z};
    float hit[3] = {-7.0f, -7.0f, -7.0f};
    float t = -7.0f;
    ASSERT_EQ(item.RayHit(origin, direction, c.scalar, hit, t), c.hit.has_value());
    // A miss writes nothing.
    const Float3 e = c.hit.value_or(Float3{-7.0f, -7.0f, -7.0f});
    const float expected[4] = {e.x, e.y, e.z, c.hit ? c.t : -7.0f}, got[4] = {hit[0], hit[1], hit[2], t};
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(got[i], expected[i], 1e-5f) << "xyzt"[i];
  }
}

// The same rays whether the mesh is picked whole or, big enough, through its
// chunks: 3,000 more triangles far off to the side make it big.
TEST(RayHitTest, TrianglesAreHitExactlyWholeOrInChunks) {
  for (const std::uint32_t filler : {0u, 3000u}) {
    SCOPED_TRACE(filler);
    // The unit right triangle in z = 0; the nearest of many is the kernels'.
    std::vector<float> vertices = kTriangle;
    for (std::uint32_t i = 0; i < filler; ++i) {
      const float x = 100.0f + static_cast<float>(i);
      vertices.insert(vertices.end(), {x, 0, 0, x + 1, 0, 0, x, 1, 0});
    }
    std::vector<std::uint32_t> indices(vertices.size() / 3);
    std::iota(indices.begin(), indices.end(), 0u);
    const GeometryItemTrianglesGL item(1, vertices, std::vector<float>(vertices.size(), 0.0f), indices);
    ExpectRays(item, {{"Inside", {0.25f, 0.25f, 1}, {0, 0, -1}, 10, Float3{0.25f, 0.25f, 0}, 1},
                      {"LongDirectionScalesT", {0.25f, 0.25f, 1}, {0, 0, -4}, 10, Float3{0.25f, 0.25f, 0}, 0.25f},
                      {"BackFace", {0.25f, 0.25f, -1}, {0, 0, 1}, 10, Float3{0.25f, 0.25f, 0}, 1},
                      {"JustOutsideHypotenuse", {0.51f, 0.5f, 1}, {0, 0, -1}, 10, std::nullopt},
                      {"BeyondTheScalar", {0.25f, 0.25f, 1}, {0, 0, -1}, 0.999f, std::nullopt},
                      {"ExactlyAtTheScalar", {0.25f, 0.25f, 1}, {0, 0, -1}, 1, Float3{0.25f, 0.25f, 0}, 1},
                      {"ZeroDirection", {0.25f, 0.25f, 1}, {0, 0, 0}, 10, std::nullopt},
                      {"NegativeScalar", {0.25f, 0.25f, 1}, {0, 0, -1}, -1, std::nullopt},
                      {"NaNScalar", {0.25f, 0.25f, 1}, {0, 0, -1}, kNaN, std::nullopt},
                      {"InfiniteScalar", {0.25f, 0.25f, 1}, {0, 0, -1}, kInf, Float3{0.25f, 0.25f, 0}, 1}});
  }
}

// Rays come down -Z from height h at an offset from the primitive: with
// pickAngle 0.003 the cone is 0.003 * h wide there. 3,000 more segments or
// 6,000 more points far off to the side make the sets big.
TEST(RayHitTest, LinesAndPointsAreHitWithinThePickConeOnlyWholeOrInChunks) {
  for (const std::uint32_t filler : {0u, 3000u}) {
    SCOPED_TRACE(filler);
    const auto lines = [filler](std::vector<float> vertices, std::vector<std::uint32_t> indices) {
      for (std::uint32_t i = 0; i < filler; ++i) {
        const auto first = static_cast<std::uint32_t>(vertices.size() / 3);
        const float x = 100.0f + static_cast<float>(i);
        vertices.insert(vertices.end(), {x, 0, 0, x + 1, 0, 0});
        indices.insert(indices.end(), {first, first + 1});
      }
      return GeometryItemLinesGL(2, vertices, indices);
    };
    const GeometryItemLinesGL segment = lines({0, 0, 0, 1, 0, 0, 5, 5, 5}, {0, 1});
    ExpectRays(segment, {{"WithinTheCone", {0.5f, 0.02f, 10}, {0, 0, -1}, 20, Float3{0.5f, 0.02f, 0}, 10},
                         {"OutsideTheCone", {0.5f, 0.04f, 10}, {0, 0, -1}, 20, std::nullopt},
                         {"SameOffsetNearerIsOutside", {0.5f, 0.02f, 5}, {0, 0, -1}, 20, std::nullopt},
                         {"PastTheEndWithinTheCone", {1.02f, 0, 10}, {0, 0, -1}, 20, Float3{1.02f, 0, 0}, 10},
                         {"UnusedVertexIsNotASegment", {5, 5, 10}, {0, 0, -1}, 20, std::nullopt},
                         {"ZeroDirection", {0.5f, 0, 10}, {0, 0, 0}, 20, std::nullopt}});
    // Seen end-on from below, segments rising away: the far end comes into the
    // cone though the near end lies well outside it.
    const GeometryItemLinesGL rising = lines({0.05f, 0, 1, 0.05f, 0, 100, 0.5f, 0, 1, 0.5f, 0, 100}, {0, 1, 2, 3});
    ExpectRays(rising, {{"AwayIntoTheCone", {0, 0, 0}, {0, 0, 1}, 200, Float3{0, 0, 100}, 100},
                        {"AwayButOutside", {0.45f, 0, 0}, {0, 0, 1}, 200, Float3{0.45f, 0, 100}, 100},
                        {"EndingWhereItIsInside", {0, 0, 0}, {0, 0, 1}, 20, Float3{0, 0, 20}, 20},
                        {"EndingBeforeItIsInside", {0, 0, 0}, {0, 0, 1}, 10, std::nullopt},
                        {"Behind", {0, 0, 101}, {0, 0, 1}, 200, std::nullopt}});
    const GeometryItemLinesGL distant = lines({}, {});
    std::vector<float> cloud{0, 0, 0, 3, 0, 0, 3, 0, -1};
    cloud.insert(cloud.end(), distant.Vertices().begin(), distant.Vertices().end());
    const GeometryItemPointsGL points(3, cloud);
    ExpectRays(points, {{"WithinTheCone", {0.02f, 0, 10}, {0, 0, -1}, 20, Float3{0.02f, 0, 0}, 10},
                        {"OutsideTheCone", {0.04f, 0, 10}, {0, 0, -1}, 20, std::nullopt},
                        {"FartherOneWhenTheNearIsBehind", {3, 0, -0.5f}, {0, 0, -1}, 20, Float3{3, 0, -1}, 0.5f},
                        {"BehindTheOrigin", {0, 0, -1}, {0, 0, -1}, 20, std::nullopt},
                        {"NaNScalar", {0, 0, 10}, {0, 0, -1}, kNaN, std::nullopt}});
  }
}

TEST(RayHitTest, PolylineIsHitAlongItsStripAndUpdateReplacesThePoints) {
  // The closed outline of the unit square in z = 0.
  std::vector<float> outline = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 0, 0, 0};
  GeometryItemPolylineGL polyline(4, outline.data(), static_cast<int>(outline.size()));
  ExpectRays(polyline, {{"FirstSide", {0.5f, 0, 10}, {0, 0, -1}, 20, Float3{0.5f, 0, 0}, 10},
                        {"ClosingSide", {0.01f, 0.5f, 10}, {0, 0, -1}, 20, Float3{0.01f, 0.5f, 0}, 10},
                        {"Inside", {0.5f, 0.5f, 10}, {0, 0, -1}, 20, std::nullopt},
                        {"OnTheBigSquare", {2, 1, 10}, {0, 0, -1}, 20, std::nullopt}});
  for (float& value : outline) value *= 2.0f;
  polyline.Update(outline.data(), static_cast<int>(outline.size()));
  ExpectRays(polyline, {{"OnTheBigSquare", {2, 1, 10}, {0, 0, -1}, 20, Float3{2, 1, 0}, 10}});
  polyline.Update(outline.data(), 3);
  ExpectRays(polyline, {{"OnePointIsNeverHit", {0, 0, 10}, {0, 0, -1}, 20, std::nullopt}});
}

}  // namespace
