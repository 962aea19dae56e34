// What the items are made of: the factory's products, arrays refused at
// construction, and bounding boxes.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>
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

constexpr float Inf = std::numeric_limits<float>::infinity();
constexpr float NaN = std::numeric_limits<float>::quiet_NaN();

TEST(GeometryItemFactoryGLTest, MakesTheGLItemsWithTheirArrays) {
  GeometryItemFactoryGL factory;
  const std::vector<float> vertices = {0, 0, 0, 1, 0, 0, 0, 1, 0};
  const std::vector<float> normals = {0, 0, 1, 0, 0, 1, 0, 0, 1};
  std::unique_ptr<AGeometryItem> triangles(factory.CreateTriangles(11, vertices, normals, {0, 1, 2}));
  std::unique_ptr<AGeometryItem> lines(factory.CreateLines(12, vertices, {0, 1, 1, 2}));
  std::unique_ptr<AGeometryItem> points(factory.CreatePoints(13, vertices));

  const auto* mesh = dynamic_cast<GeometryItemTrianglesGL*>(triangles.get());
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(mesh->ID(), 11u);
  EXPECT_EQ(mesh->Vertices(), vertices);
  EXPECT_EQ(mesh->Normals(), normals);
  EXPECT_EQ(mesh->Indices(), (std::vector<std::uint32_t>{0, 1, 2}));
  const auto* segments = dynamic_cast<GeometryItemLinesGL*>(lines.get());
  ASSERT_NE(segments, nullptr);
  EXPECT_EQ(segments->ID(), 12u);
  EXPECT_EQ(segments->Indices(), (std::vector<std::uint32_t>{0, 1, 1, 2}));
  const auto* cloud = dynamic_cast<GeometryItemPointsGL*>(points.get());
  ASSERT_NE(cloud, nullptr);
  EXPECT_EQ(cloud->ID(), 13u);
  EXPECT_EQ(cloud->Vertices(), vertices);
  EXPECT_FALSE(mesh->HasColor()) << "scene items draw in the colour they find until given their own";
}

struct BadArrays {
  std::string name;
  std::function<void(GeometryItemFactoryGL&)> make;
};

void PrintTo(const BadArrays& c, std::ostream* out) { *out << c.name; }

class RefusedArraysTest : public ::testing::TestWithParam<BadArrays> {};

TEST_P(RefusedArraysTest, ThrowsInvalidArgument) {
  GeometryItemFactoryGL factory;
  EXPECT_THROW(GetParam().make(factory), std::invalid_argument);
}

const std::vector<float> Triangle = {0, 0, 0, 1, 0, 0, 0, 1, 0};

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedArraysTest,
    ::testing::Values(
        BadArrays{"TrianglesPartialVertex", [](auto& f) { delete f.CreateTriangles(1, {0, 0, 0, 1}, {}, {0, 0, 0}); }},
        BadArrays{"TrianglesPartialTriangle", [](auto& f) { delete f.CreateTriangles(1, Triangle, {}, {0, 1}); }},
        BadArrays{"TrianglesIndexOutOfRange", [](auto& f) { delete f.CreateTriangles(1, Triangle, {}, {0, 1, 3}); }},
        BadArrays{"TrianglesShortNormals",
                  [](auto& f) { delete f.CreateTriangles(1, Triangle, {0, 0, 1}, {0, 1, 2}); }},
        BadArrays{"LinesOddIndexCount", [](auto& f) { delete f.CreateLines(1, Triangle, {0, 1, 2}); }},
        BadArrays{"LinesIndexOutOfRange", [](auto& f) { delete f.CreateLines(1, Triangle, {0, 7}); }},
        BadArrays{"PointsPartialVertex", [](auto& f) { delete f.CreatePoints(1, {0, 0}); }},
        BadArrays{"PolylineNegativeCount",
                  [](auto&) { GeometryItemPolylineGL(1, Triangle.data(), -3); }},
        BadArrays{"PolylinePartialPoint", [](auto&) { GeometryItemPolylineGL(1, Triangle.data(), 4); }},
        BadArrays{"PolylineNullPoints", [](auto&) { GeometryItemPolylineGL(1, nullptr, 3); }},
        BadArrays{"PolylineUpdatePartialPoint",
                  [](auto&) { GeometryItemPolylineGL(1, nullptr, 0).Update(Triangle.data(), 8); }}),
    [](const auto& info) { return info.param.name; });

TEST(RefusedArraysTest, MessageNamesTheFunction) {
  try {
    GeometryItemPolylineGL polyline(1, nullptr, 0);
    polyline.Update(Triangle.data(), 2);
    FAIL() << "no exception";
  } catch (const std::invalid_argument& error) {
    EXPECT_NE(std::string(error.what()).find("GeometryItemPolylineGL::Update"), std::string::npos) << error.what();
  }
}

struct BoxCase {
  std::string name;
  std::function<std::unique_ptr<AGeometryItem>()> make;
  bool hasBox;
  std::array<float, 6> box;  // minimum, maximum
};

void PrintTo(const BoxCase& c, std::ostream* out) { *out << c.name; }

class BoundingBoxTest : public ::testing::TestWithParam<BoxCase> {};

TEST_P(BoundingBoxTest, EnclosesWhatIsDrawn) {
  const auto item = GetParam().make();
  float minimum[3] = {-9, -9, -9};
  float maximum[3] = {-9, -9, -9};
  ASSERT_EQ(item->GetBoundingBox(minimum, maximum), GetParam().hasBox);
  const std::array<float, 6> box = GetParam().hasBox ? GetParam().box : std::array<float, 6>{-9, -9, -9, -9, -9, -9};
  EXPECT_EQ((std::array<float, 6>{minimum[0], minimum[1], minimum[2], maximum[0], maximum[1], maximum[2]}), box);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BoundingBoxTest,
    ::testing::Values(
        BoxCase{"TrianglesOnlyReferencedVertices",
                [] {
                  return std::make_unique<GeometryItemTrianglesGL>(
                      1, std::vector<float>{0, 0, 0, 2, 0, 1, 0, 3, 0, 100, 100, 100}, std::vector<float>{},
                      std::vector<std::uint32_t>{0, 1, 2});
                },
                true, {0, 0, 0, 2, 3, 1}},
        BoxCase{"TrianglesEmpty",
                [] { return std::make_unique<GeometryItemTrianglesGL>(1, std::vector<float>{}, std::vector<float>{},
                                                                      std::vector<std::uint32_t>{}); },
                false, {}},
        BoxCase{"LinesSkipNonFiniteVertices",
                [] {
                  return std::make_unique<GeometryItemLinesGL>(
                      1, std::vector<float>{-1, 0, 0, 1, 2, 3, NaN, 0, 0, Inf, 0, 0},
                      std::vector<std::uint32_t>{0, 1, 2, 3});
                },
                true, {-1, 0, 0, 1, 2, 3}},
        BoxCase{"PointsAllVertices",
                [] { return std::make_unique<GeometryItemPointsGL>(1, std::vector<float>{1, 2, 3, -1, 5, 0}); }, true,
                {-1, 2, 0, 1, 5, 3}},
        BoxCase{"PointsNone", [] { return std::make_unique<GeometryItemPointsGL>(1, std::vector<float>{}); }, false,
                {}},
        BoxCase{"Polyline",
                [] {
                  const float points[] = {0, 0, 0, 1, -1, 2};
                  return std::make_unique<GeometryItemPolylineGL>(1, points, 6);
                },
                true, {0, -1, 0, 1, 0, 2}},
        BoxCase{"CircleOfItsRadius",
                [] {
                  auto circle = std::make_unique<GeometryItemCircle2DGL>(1);
                  circle->radius = 2.5f;
                  return circle;
                },
                true, {-2.5f, -2.5f, 0, 2.5f, 2.5f, 0}},
        BoxCase{"AxisAlongZ",
                [] { return std::make_unique<GeometryItemAxisGL>(1, 8, 2, 4.5f, 3.0f, 0.8f, 1.2f, L"Z"); }, true,
                {-1.2f, -1.2f, 0, 1.2f, 1.2f, 4.5f}}),
    [](const auto& info) { return info.param.name; });

}  // namespace
