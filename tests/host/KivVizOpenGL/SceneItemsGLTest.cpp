// Scene items drawn in a real context: what lands on which pixel, lighting
// by normals, unlit lines and points, the chunked drawing of big meshes, and
// the GL state every item leaves behind.
#include <windows.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "GLStateSnapshot.h"
#include "ItemGLTest.h"
#include "KivVizOpenGL/GeometryItemAxisGL.h"
#include "KivVizOpenGL/GeometryItemCircle2DGL.h"
#include "KivVizOpenGL/GeometryItemLinesGL.h"
#include "KivVizOpenGL/GeometryItemPointsGL.h"
#include "KivVizOpenGL/GeometryItemPolylineGL.h"
#include "KivVizOpenGL/GeometryItemTrianglesGL.h"

namespace {

using NimboTest::Rgb;

// A rectangle of two triangles in z = 0, normals all `nz` along Z.
void AddRectangle(std::vector<float>& vertices, std::vector<float>& normals, std::vector<std::uint32_t>& indices,
                  float x0, float y0, float x1, float y1, float nz) {
  const auto first = static_cast<std::uint32_t>(vertices.size() / 3);
  vertices.insert(vertices.end(), {x0, y0, 0, x1, y0, 0, x1, y1, 0, x0, y1, 0});
  for (int i = 0; i < 4; ++i) {
    normals.insert(normals.end(), {0, 0, nz});
  }
  indices.insert(indices.end(), {first, first + 1, first + 2, first, first + 2, first + 3});
}

std::unique_ptr<GeometryItemTrianglesGL> Rectangle(float x0, float y0, float x1, float y1) {
  std::vector<float> vertices;
  std::vector<float> normals;
  std::vector<std::uint32_t> indices;
  AddRectangle(vertices, normals, indices, x0, y0, x1, y1, 1.0f);
  return std::make_unique<GeometryItemTrianglesGL>(1, vertices, normals, indices);
}

// An n x n grid over [-size, size]^2 whose normals lean with position, so
// that lighting draws a pattern on it; 2 n^2 triangles.
std::unique_ptr<GeometryItemTrianglesGL> LeaningGrid(int n, float size) {
  std::vector<float> vertices;
  std::vector<float> normals;
  std::vector<std::uint32_t> indices;
  for (int row = 0; row <= n; ++row) {
    for (int column = 0; column <= n; ++column) {
      const float x = -size + 2.0f * size * static_cast<float>(column) / static_cast<float>(n);
      const float y = -size + 2.0f * size * static_cast<float>(row) / static_cast<float>(n);
      vertices.insert(vertices.end(), {x, y, 0});
      const float nx = 0.8f * std::sin(3.0f * x);
      const float ny = 0.8f * std::cos(2.0f * y);
      const float nz = std::sqrt(std::max(0.05f, 1.0f - nx * nx - ny * ny));
      normals.insert(normals.end(), {nx, ny, nz});
    }
  }
  const auto stride = static_cast<std::uint32_t>(n + 1);
  for (std::uint32_t row = 0; row < static_cast<std::uint32_t>(n); ++row) {
    for (std::uint32_t column = 0; column < static_cast<std::uint32_t>(n); ++column) {
      const std::uint32_t a = row * stride + column;
      indices.insert(indices.end(), {a, a + 1, a + stride + 1, a, a + stride + 1, a + stride});
    }
  }
  return std::make_unique<GeometryItemTrianglesGL>(7, vertices, normals, indices);
}

void UseWhiteLightFromTheViewer() {
  const float direction[4] = {0, 0, 1, 0};
  const float white[4] = {1, 1, 1, 1};
  const float none[4] = {0, 0, 0, 1};
  glLightfv(GL_LIGHT0, GL_POSITION, direction);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
  glEnable(GL_LIGHT0);
  glEnable(GL_LIGHTING);
  glEnable(GL_COLOR_MATERIAL);
}

class SceneItemsGLTest : public NimboTest::ItemGLTest {};

TEST_F(SceneItemsGLTest, TrianglesCoverTheirAreaInTheColourTheyFind) {
  glColor3ub(200, 100, 50);
  Rectangle(-1, -1, 0, 1)->Display(nullptr);
  const platform::Image image = Present();
  EXPECT_TRUE(PixelIs(image, 8, 32, {200, 100, 50}));
  EXPECT_TRUE(PixelIs(image, 30, 5, {200, 100, 50}));
  EXPECT_TRUE(PixelIs(image, 34, 32, Background));
  EXPECT_TRUE(PixelIs(image, 60, 60, Background));
}

TEST_F(SceneItemsGLTest, AnItemsOwnColourWinsAndTheCurrentColourStays) {
  auto item = Rectangle(-1, -1, 0, 1);
  item->SetColor({10, 220, 30, 255});
  glColor3ub(200, 100, 50);
  item->Display(nullptr);
  const platform::Image image = Present();
  EXPECT_TRUE(PixelIs(image, 8, 32, {10, 220, 30}));
  float color[4];
  glGetFloatv(GL_CURRENT_COLOR, color);
  EXPECT_NEAR(color[0] * 255.0f, 200.0f, 0.5f);
  EXPECT_NEAR(color[1] * 255.0f, 100.0f, 0.5f);
}

TEST_F(SceneItemsGLTest, TrianglesAreLitByTheirNormals) {
  std::vector<float> vertices;
  std::vector<float> normals;
  std::vector<std::uint32_t> indices;
  AddRectangle(vertices, normals, indices, -1, -1, 0, 1, 1.0f);
  AddRectangle(vertices, normals, indices, 0, -1, 1, 1, -1.0f);
  GeometryItemTrianglesGL item(1, vertices, normals, indices);
  UseWhiteLightFromTheViewer();
  glColor3ub(150, 150, 150);
  item.Display(nullptr);
  const platform::Image image = Present();
  EXPECT_TRUE(PixelIs(image, 16, 32, {150, 150, 150})) << "facing the light";
  EXPECT_TRUE(PixelIs(image, 48, 32, {0, 0, 0})) << "facing away, no ambient light";
}

TEST_F(SceneItemsGLTest, LinesAndPointsIgnoreLighting) {
  UseWhiteLightFromTheViewer();
  glColor3ub(250, 40, 40);
  // Row 31 has its centre at y = 1 - 31.5 / 32; column 48 at x = 48.5 / 32 - 1.
  const float row31 = 1.0f - 31.5f / 32.0f;
  GeometryItemLinesGL lines(1, {-0.9f, row31, 0, 0.9f, row31, 0}, {0, 1});
  lines.Display(nullptr);
  GeometryItemPointsGL points(2, {48.5f / 32.0f - 1.0f, 1.0f - 10.5f / 32.0f, 0});
  points.pointSize = 5.0f;
  points.Display(nullptr);
  const platform::Image image = Present();
  EXPECT_TRUE(PixelIs(image, 32, 31, {250, 40, 40}));
  EXPECT_TRUE(PixelIs(image, 32, 29, Background));
  EXPECT_TRUE(PixelIs(image, 48, 10, {250, 40, 40}));
  EXPECT_TRUE(PixelIs(image, 50, 12, {250, 40, 40})) << "a point of size 5 spans two pixels each way";
  EXPECT_TRUE(PixelIs(image, 52, 10, Background));
  float size = 0.0f;
  glGetFloatv(GL_POINT_SIZE, &size);
  EXPECT_EQ(size, 1.0f);
}

TEST_F(SceneItemsGLTest, ItemsOutsideTheViewDrawNothing) {
  glColor3ub(250, 250, 250);
  Rectangle(1.5f, -1, 3, 1)->Display(nullptr);
  GeometryItemLinesGL(1, {-1, 2, 0, 1, 2, 0}, {0, 1}).Display(nullptr);
  GeometryItemPointsGL(2, {0, 0, 20}).Display(nullptr);
  EXPECT_EQ(CountDrawn(Present()), 0);
}

// Chunked drawing must show exactly what drawing the whole mesh at once
// shows, also when only part of it is in view.
TEST_F(SceneItemsGLTest, ABigMeshLooksAsDrawnWhole) {
  auto grid = LeaningGrid(80, 2.0f);
  ASSERT_GT(grid->Indices().size() / 3, 10000u);
  UseWhiteLightFromTheViewer();
  glDisable(GL_LIGHTING);
  const auto draw = [&](const std::function<void()>& drawMesh) {
    Clear();
    glEnable(GL_LIGHTING);
    glTranslatef(0.9f, -0.7f, 0);
    glRotatef(25, 0, 0, 1);
    glColor3ub(180, 160, 140);
    drawMesh();
    glDisable(GL_LIGHTING);
    return Present();
  };
  const platform::Image chunked = draw([&] { grid->Display(nullptr); });
  const platform::Image whole = draw([&] {
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, grid->Vertices().data());
    glNormalPointer(GL_FLOAT, 0, grid->Normals().data());
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(grid->Indices().size()), GL_UNSIGNED_INT,
                   grid->Indices().data());
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
  });
  EXPECT_GT(CountDrawn(whole), 1000);
  EXPECT_GT(Size * Size - CountDrawn(whole), 100) << "part of the grid is out of view";
  EXPECT_TRUE(chunked.rgba == whole.rgba) << "pictures in " << Save(chunked, "chunked") << " and "
                                          << Save(whole, "whole");
}

struct ItemCase {
  std::string name;
  std::function<std::unique_ptr<AGeometryItem>()> make;
};

void PrintTo(const ItemCase& c, std::ostream* out) { *out << c.name; }

class ItemStateGLTest : public NimboTest::ItemGLTest, public ::testing::WithParamInterface<ItemCase> {};

// The state a caller might have: lighting on or off, odd line, point,
// stipple, colour, normal, raster and list settings, a non-modelview matrix
// mode, and client arrays of its own enabled.
void SetUpCallerState(bool lighting, const float* colorArray) {
  if (lighting) {
    UseWhiteLightFromTheViewer();
  } else {
    glDisable(GL_LIGHTING);
  }
  glLineWidth(3.0f);
  glPointSize(7.0f);
  glEnable(GL_LINE_STIPPLE);
  glLineStipple(2, 0x0F0F);
  glColor4f(0.1f, 0.7f, 0.3f, 0.9f);
  glNormal3f(0.0f, 1.0f, 0.0f);
  glRasterPos2f(-0.5f, -0.5f);
  glListBase(5);
  glRotatef(10.0f, 0.0f, 0.0f, 1.0f);
  glMatrixMode(GL_PROJECTION);
  glEnableClientState(GL_COLOR_ARRAY);
  glColorPointer(4, GL_FLOAT, 0, colorArray);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glTexCoordPointer(2, GL_FLOAT, 0, colorArray);
}

TEST_P(ItemStateGLTest, DrawsAndLeavesTheStateAsItFoundIt) {
  const auto item = GetParam().make();
  // One entry only: an item that read the caller's colour array for more
  // vertices would read past its end.
  const float colorArray[4] = {1, 0, 1, 1};
  for (const bool lighting : {false, true}) {
    SCOPED_TRACE(lighting ? "lighting on" : "lighting off");
    Clear();
    SetUpCallerState(lighting, colorArray);
    const NimboTest::GLStateSnapshot before = NimboTest::GLStateSnapshot::Capture();
    item->Display(nullptr);
    EXPECT_EQ(NimboTest::GLStateSnapshot::Capture(), before);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glMatrixMode(GL_MODELVIEW);
    EXPECT_GT(CountDrawn(Present()), 3) << "the item is in view";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Items, ItemStateGLTest,
    ::testing::Values(ItemCase{"Triangles", [] { return std::unique_ptr<AGeometryItem>(Rectangle(-0.5f, -0.5f, 0.5f, 0.5f)); }},
                      ItemCase{"TrianglesWithoutNormals",
                               [] {
                                 return std::make_unique<GeometryItemTrianglesGL>(
                                     1, std::vector<float>{-0.5f, -0.5f, 0, 0.5f, -0.5f, 0, 0, 0.5f, 0},
                                     std::vector<float>{}, std::vector<std::uint32_t>{0, 1, 2});
                               }},
                      ItemCase{"ChunkedTriangles",
                               [] { return std::unique_ptr<AGeometryItem>(LeaningGrid(50, 0.8f)); }},
                      ItemCase{"Lines",
                               [] {
                                 auto lines = std::make_unique<GeometryItemLinesGL>(
                                     1, std::vector<float>{-0.8f, 0.1f, 0, 0.8f, 0.1f, 0, 0, -0.8f, 0},
                                     std::vector<std::uint32_t>{0, 1, 1, 2});
                                 lines->SetColor({255, 255, 0, 255});
                                 return lines;
                               }},
                      ItemCase{"Points",
                               [] {
                                 auto points = std::make_unique<GeometryItemPointsGL>(
                                     1, std::vector<float>{0, 0, 0, 0.5f, 0.5f, 0});
                                 points->pointSize = 3.0f;
                                 return points;
                               }},
                      ItemCase{"Polyline",
                               [] {
                                 const float points[] = {-0.8f, -0.8f, 0, 0.8f, 0.8f, 0, 0.8f, -0.8f, 0};
                                 auto polyline = std::make_unique<GeometryItemPolylineGL>(1, points, 9);
                                 polyline->lineWidth = 2.0f;
                                 polyline->stipplePattern = 0xF0F0;
                                 polyline->SetColor({220, 0, 0, 255});
                                 return polyline;
                               }},
                      ItemCase{"SolidPolyline",
                               [] {
                                 const float points[] = {-0.8f, -0.8f, 0, 0.8f, 0.8f, 0};
                                 return std::make_unique<GeometryItemPolylineGL>(1, points, 6);
                               }},
                      ItemCase{"Circle",
                               [] {
                                 auto circle = std::make_unique<GeometryItemCircle2DGL>(1);
                                 circle->radius = 0.6f;
                                 circle->SetColor({0, 0, 0, 255});
                                 return circle;
                               }},
                      ItemCase{"Axis",
                               [] {
                                 auto axis = std::make_unique<GeometryItemAxisGL>(1, 16, 3, 0.8f, 0.5f, 0.2f, 0.4f,
                                                                                  L"Z");
                                 axis->SetColor({0, 0, 255, 200});
                                 return axis;
                               }}),
    [](const auto& info) { return info.param.name; });

}  // namespace
