// Scene items in a real context: own colours, unlit lines and points, chunked
// big meshes lit by their normals as drawn whole, and the GL state items leave.
#include <array>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ItemFixture.h"
#include "KivVizOpenGL/GeometryItemAxisGL.h"
#include "KivVizOpenGL/GeometryItemCircle2DGL.h"
#include "KivVizOpenGL/GeometryItemLinesGL.h"
#include "KivVizOpenGL/GeometryItemPointsGL.h"
#include "KivVizOpenGL/GeometryItemPolylineGL.h"
#include "KivVizOpenGL/GeometryItemTrianglesGL.h"

namespace {

// Rectangles of two triangles each in z = 0, normals `nz` along Z.
std::unique_ptr<GeometryItemTrianglesGL> Rectangles(std::initializer_list<std::array<float, 5>> rectangles) {
  std::vector<float> vertices;
  std::vector<float> normals;
  std::vector<std::uint32_t> indices;
  for (const auto& [x0, y0, x1, y1, nz] : rectangles) {
    const auto first = static_cast<std::uint32_t>(vertices.size() / 3);
    vertices.insert(vertices.end(), {x0, y0, 0, x1, y0, 0, x1, y1, 0, x0, y1, 0});
    for (int i = 0; i < 4; ++i) normals.insert(normals.end(), {0, 0, nz});
    indices.insert(indices.end(), {first, first + 1, first + 2, first, first + 2, first + 3});
  }
  return std::make_unique<GeometryItemTrianglesGL>(1, vertices, normals, indices);
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

class SceneItemsTest : public NimboTest::ItemFixture {};

TEST_F(SceneItemsTest, TrianglesTakeTheirOwnColourAndLeaveTheCurrentColour) {
  auto item = Rectangles({{-1, -1, 0, 1, 1}});
  item->SetColor({10, 220, 30, 255});
  glColor3ub(200, 100, 50);
  item->Display(nullptr);
  const platform::Image image = Present();
  EXPECT_TRUE(PixelIs(image, 8, 32, {10, 220, 30}));
  EXPECT_TRUE(PixelIs(image, 34, 32, Background));
  float color[4];
  glGetFloatv(GL_CURRENT_COLOR, color);
  EXPECT_NEAR(color[0] * 255.0f, 200.0f, 0.5f);
}

TEST_F(SceneItemsTest, LinesAndPointsIgnoreLighting) {
  UseWhiteLightFromTheViewer();
  glColor3ub(250, 40, 40);
  // Row 31 has its centre at y = 1 - 31.5 / 32; column 48 at x = 48.5 / 32 - 1.
  const float row31 = 1.0f - 31.5f / 32.0f;
  GeometryItemLinesGL(1, {-0.9f, row31, 0, 0.9f, row31, 0}, {0, 1}).Display(nullptr);
  GeometryItemPointsGL points(2, {48.5f / 32.0f - 1.0f, 1.0f - 10.5f / 32.0f, 0});
  points.pointSize = 5.0f;
  points.Display(nullptr);
  platform::Image image = Present();
  EXPECT_TRUE(PixelIs(image, 32, 31, {250, 40, 40}));
  EXPECT_TRUE(PixelIs(image, 32, 29, Background));
  EXPECT_TRUE(PixelIs(image, 50, 12, {250, 40, 40})) << "a point of size 5 spans two pixels each way";
  EXPECT_TRUE(PixelIs(image, 52, 10, Background));

  glDisable(GL_LIGHTING);
}

// Chunked drawing must show exactly what drawing everything at once shows, also
// when only part is in view: a lit big mesh, and over it a big line set and
// cloud in a translucent colour, so that a primitive drawn twice would show too.
TEST_F(SceneItemsTest, BigItemsLookAsDrawnWhole) {
  auto grid = NimboTest::Grid(80, -2.0f, -2.0f, 4.0f);
  ASSERT_GT(grid->Indices().size() / 3, 10000u);
  std::vector<float> spiral;
  std::vector<std::uint32_t> segments;
  for (std::uint32_t i = 0; i < 4000; ++i) {
    const float angle = 0.01f * static_cast<float>(i);
    const float radius = 0.2f + 0.0004f * static_cast<float>(i);
    spiral.insert(spiral.end(), {radius * std::cos(angle), radius * std::sin(angle), 0.0f});
    if (i > 0) segments.insert(segments.end(), {i - 1, i});
  }
  GeometryItemLinesGL lines(1, spiral, segments);
  GeometryItemPointsGL points(2, spiral);
  points.pointSize = 3.0f;
  ASSERT_GT(segments.size() / 2, 2048u);
  UseWhiteLightFromTheViewer();
  const auto draw = [&](const std::function<void()>& drawMesh, const std::function<void()>& drawLinesAndPoints) {
    Clear();
    glTranslatef(0.9f, -0.7f, 0);
    glPushMatrix();
    glRotatef(25, 0, 0, 1);
    glColor3ub(180, 160, 140);
    drawMesh();
    glPopMatrix();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4ub(200, 60, 40, 120);
    drawLinesAndPoints();
    glDisable(GL_BLEND);
    return Present();
  };
  const platform::Image chunked = draw([&] { grid->Display(nullptr); },
                                       [&] {
                                         lines.Display(nullptr);
                                         points.Display(nullptr);
                                       });
  const platform::Image whole = draw(
      [&] {
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_NORMAL_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, grid->Vertices().data());
        glNormalPointer(GL_FLOAT, 0, grid->Normals().data());
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(grid->Indices().size()), GL_UNSIGNED_INT,
                       grid->Indices().data());
        glDisableClientState(GL_NORMAL_ARRAY);
      },
      [&] {
        glDisable(GL_LIGHTING);
        glVertexPointer(3, GL_FLOAT, 0, spiral.data());
        glDrawElements(GL_LINES, static_cast<GLsizei>(segments.size()), GL_UNSIGNED_INT, segments.data());
        glPointSize(3.0f);
        glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(spiral.size() / 3));
        glPointSize(1.0f);
        glDisableClientState(GL_VERTEX_ARRAY);
      });
  EXPECT_GT(CountDrawn(whole), 1000);
  EXPECT_GT(Size * Size - CountDrawn(whole), 100) << "part of the grid is out of view";
  EXPECT_TRUE(chunked.rgba == whole.rgba)
      << "pictures in " << SavePicture(chunked, "chunked") << " and " << SavePicture(whole, "whole");
}

TEST_F(SceneItemsTest, SizesGLWouldRefuseDrawAtGLsDefault) {
  const float corners[] = {-0.8f, -0.8f, 0, 0.8f, 0.8f, 0};
  GeometryItemPolylineGL polyline(1, corners, 6);
  GeometryItemPointsGL points(1, {0, 0, 0});
  for (const float size : {0.0f, -2.0f, std::nanf("")}) {
    polyline.lineWidth = size;
    points.pointSize = size;
    polyline.Display(nullptr);
    points.Display(nullptr);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << size;
  }
}

// Every item draws into a caller's odd state (lighting, widths, stipple, current
// values, list base, projection mode, client arrays) and leaves it as it was.
TEST_F(SceneItemsTest, EveryItemDrawsAndLeavesTheStateAsItFoundIt) {
  auto lines = std::make_unique<GeometryItemLinesGL>(1, std::vector<float>{-0.8f, 0.1f, 0, 0.8f, 0.1f, 0, 0, -0.8f, 0},
                                                     std::vector<std::uint32_t>{0, 1, 1, 2});
  lines->SetColor({255, 255, 0, 255});
  auto points = std::make_unique<GeometryItemPointsGL>(1, std::vector<float>{0, 0, 0, 0.5f, 0.5f, 0});
  points->pointSize = 3.0f;
  const float corners[] = {-0.8f, -0.8f, 0, 0.8f, 0.8f, 0, 0.8f, -0.8f, 0};
  auto polyline = std::make_unique<GeometryItemPolylineGL>(1, corners, 9);
  polyline->lineWidth = 2.0f;
  polyline->stipplePattern = 0xF0F0;
  auto circle = std::make_unique<GeometryItemCircle2DGL>(1);
  circle->radius = 0.6f;
  circle->SetColor({0, 0, 0, 255});
  auto axis = std::make_unique<GeometryItemAxisGL>(1, 16, 3, 0.8f, 0.5f, 0.2f, 0.4f, L"Z");
  axis->SetColor({0, 0, 255, 200});
  std::vector<std::pair<const char*, std::unique_ptr<AGeometryItem>>> items;
  items.emplace_back("Triangles", Rectangles({{-0.5f, -0.5f, 0.5f, 0.5f, 1}}));
  items.emplace_back("TrianglesWithoutNormals", std::make_unique<GeometryItemTrianglesGL>(
                                                    1, std::vector<float>{-0.5f, -0.5f, 0, 0.5f, -0.5f, 0, 0, 0.5f, 0},
                                                    std::vector<float>{}, std::vector<std::uint32_t>{0, 1, 2}));
  items.emplace_back("ChunkedTriangles", NimboTest::Grid(50, -0.8f, -0.8f, 1.6f));
  items.emplace_back("Lines", std::move(lines));
  items.emplace_back("Points", std::move(points));
  items.emplace_back("Polyline", std::move(polyline));
  items.emplace_back("Circle", std::move(circle));
  items.emplace_back("Axis", std::move(axis));
  // One entry only: an item that read the caller's colour array for more
  // vertices would read past its end.
  const float colorArray[4] = {1, 0, 1, 1};
  for (const auto& [name, item] : items) {
    for (const bool lighting : {false, true}) {
      SCOPED_TRACE(std::string(name) + (lighting ? ", lighting on" : ", lighting off"));
      Clear();
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
      const std::string before = NimboTest::GLState();
      item->Display(nullptr);
      EXPECT_EQ(NimboTest::GLState(), before);
      glDisableClientState(GL_COLOR_ARRAY);
      glDisableClientState(GL_TEXTURE_COORD_ARRAY);
      glDisable(GL_LINE_STIPPLE);
      glMatrixMode(GL_MODELVIEW);
      EXPECT_GT(CountDrawn(Present()), 3) << "the item is in view";
    }
  }
  glDisable(GL_LIGHTING);
  glLineWidth(1.0f);
  glPointSize(1.0f);
  glListBase(0);
}

}  // namespace
