// Arrays the factory and items refuse, and the items' bounding boxes.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "KivVizOpenGL/GeometryItemAxisGL.h"
#include "KivVizOpenGL/GeometryItemCircle2DGL.h"
#include "KivVizOpenGL/GeometryItemFactoryGL.h"
#include "KivVizOpenGL/GeometryItemLinesGL.h"
#include "KivVizOpenGL/GeometryItemPointsGL.h"
#include "KivVizOpenGL/GeometryItemPolylineGL.h"
#include "KivVizOpenGL/GeometryItemTrianglesGL.h"

namespace {

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
  constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
  constexpr float kInf = std::numeric_limits<float>::infinity();
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
  EXPECT_EQ(BoxOf(GeometryItemAxisGL(1, 8, 2, 4.5f, 3.0f, 0.8f, 1.2f, L"Z")),
            (Box{{-1.2f, -1.2f, 0, 1.2f, 1.2f, 4.5f}}))
      << "along +Z";
}

}  // namespace
