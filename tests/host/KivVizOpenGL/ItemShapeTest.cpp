// Arrays the factory and items refuse, and the items' bounding boxes.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
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

TEST(GeometryItemBoundsTest, BoxesEncloseWhatIsDrawn) {
  constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
  constexpr float kInf = std::numeric_limits<float>::infinity();
  const float polylinePoints[] = {0, 0, 0, 1, -1, 2};
  auto circle = std::make_unique<GeometryItemCircle2DGL>(1);
  circle->radius = 2.5f;
  std::vector<std::pair<std::unique_ptr<AGeometryItem>, std::optional<std::array<float, 6>>>> cases;
  cases.emplace_back(
      std::make_unique<GeometryItemTrianglesGL>(1, std::vector<float>{0, 0, 0, 2, 0, 1, 0, 3, 0, 100, 100, 100},
                                                std::vector<float>{}, std::vector<std::uint32_t>{0, 1, 2}),
      std::array<float, 6>{0, 0, 0, 2, 3, 1});  // only referenced vertices
  cases.emplace_back(std::make_unique<GeometryItemTrianglesGL>(1, std::vector<float>{}, std::vector<float>{},
                                                               std::vector<std::uint32_t>{}),
                     std::nullopt);
  cases.emplace_back(
      std::make_unique<GeometryItemLinesGL>(1, std::vector<float>{-1, 0, 0, 1, 2, 3, kNaN, 0, 0, kInf, 0, 0},
                                            std::vector<std::uint32_t>{0, 1, 2, 3}),
      std::array<float, 6>{-1, 0, 0, 1, 2, 3});  // non-finite vertices skipped
  cases.emplace_back(std::make_unique<GeometryItemPointsGL>(1, std::vector<float>{}), std::nullopt);
  cases.emplace_back(std::make_unique<GeometryItemPolylineGL>(1, polylinePoints, 6),
                     std::array<float, 6>{0, -1, 0, 1, 0, 2});
  cases.emplace_back(std::move(circle), std::array<float, 6>{-2.5f, -2.5f, 0, 2.5f, 2.5f, 0});
  cases.emplace_back(std::make_unique<GeometryItemAxisGL>(1, 8, 2, 4.5f, 3.0f, 0.8f, 1.2f, L"Z"),
                     std::array<float, 6>{-1.2f, -1.2f, 0, 1.2f, 1.2f, 4.5f});  // along +Z
  for (std::size_t i = 0; i < cases.size(); ++i) {
    float box[6] = {-9, -9, -9, -9, -9, -9};
    ASSERT_EQ(cases[i].first->GetBoundingBox(box, box + 3), cases[i].second.has_value()) << "case " << i;
    const std::array<float, 6> expected = cases[i].second.value_or(std::array<float, 6>{-9, -9, -9, -9, -9, -9});
    EXPECT_EQ((std::array<float, 6>{box[0], box[1], box[2], box[3], box[4], box[5]}), expected) << "case " << i;
  }
}

}  // namespace
