// Scene items in a real context: own colours, unlit lines and points, chunked
// big meshes lit by their normals as drawn whole, and the GL state items leave.
#include <utility>

#include "ItemFixture.h"
#include "KivVizOpenGL/GeometryItemAxisGL.h"
#include "KivVizOpenGL/GeometryItemCircle2DGL.h"
#include "KivVizOpenGL/GeometryItemLinesGL.h"
#include "KivVizOpenGL/GeometryItemPointsGL.h"
#include "KivVizOpenGL/GeometryItemPolylineGL.h"

namespace {

using NimboTest::DrawBare;
using SceneItemsTest = NimboTest::ItemFixture;

TEST_F(SceneItemsTest, TrianglesTakeTheirOwnColour) {
  GeometryItemTrianglesGL item(1, {-1, -1, 0, 0, -1, 0, 0, 1, 0, -1, 1, 0}, {}, {0, 1, 2, 0, 2, 3});
  item.SetColor({10, 220, 30, 255});
  glColor3ub(200, 100, 50);
  item.Display(nullptr);
  const platform::Image image = Present();
  EXPECT_TRUE(PixelIs(image, 8, 32, {10, 220, 30}));
  EXPECT_TRUE(PixelIs(image, 34, 32, Background));
}

TEST_F(SceneItemsTest, LinesAndPointsIgnoreLighting) {
  Light();
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
  Light();
  const auto draw = [&](bool whole) {
    Clear();
    glTranslatef(0.9f, -0.7f, 0);
    glPushMatrix();
    glRotatef(25, 0, 0, 1);
    glColor3ub(180, 160, 140);
    whole ? DrawBare(GL_TRIANGLES, grid->Vertices(), grid->Indices(), grid->Normals()) : grid->Display(nullptr);
    glPopMatrix();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4ub(200, 60, 40, 120);
    if (whole) {
      glDisable(GL_LIGHTING);
      DrawBare(GL_LINES, spiral, segments);
      glPointSize(3.0f);
      DrawBare(GL_POINTS, spiral, {});
      glPointSize(1.0f);
      glEnable(GL_LIGHTING);
    } else {
      lines.Display(nullptr);
      points.Display(nullptr);
    }
    glDisable(GL_BLEND);
    return Present();
  };
  const platform::Image chunked = draw(false);
  const platform::Image whole = draw(true);
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
  GeometryItemTrianglesGL triangles(1, {-0.5f, -0.5f, 0, 0.5f, -0.5f, 0, 0.5f, 0.5f, 0}, {0, 0, 1, 0, 0, 1, 0, 0, 1},
                                    {0, 1, 2});
  triangles.SetColor({10, 220, 30, 255});
  GeometryItemTrianglesGL bare(1, {-0.5f, -0.5f, 0, 0.5f, -0.5f, 0, 0, 0.5f, 0}, {}, {0, 1, 2});
  auto grid = NimboTest::Grid(50, -0.8f, -0.8f, 1.6f);
  GeometryItemLinesGL lines(1, {-0.8f, 0.1f, 0, 0.8f, 0.1f, 0, 0, -0.8f, 0}, {0, 1, 1, 2});
  lines.SetColor({255, 255, 0, 255});
  GeometryItemPointsGL points(1, {0, 0, 0, 0.5f, 0.5f, 0});
  points.pointSize = 3.0f;
  const float corners[] = {-0.8f, -0.8f, 0, 0.8f, 0.8f, 0, 0.8f, -0.8f, 0};
  GeometryItemPolylineGL polyline(1, corners, 9);
  polyline.lineWidth = 2.0f;
  polyline.stipplePattern = 0xF0F0;
  GeometryItemCircle2DGL circle(1);
  circle.radius = 0.6f;
  circle.SetColor({0, 0, 0, 255});
  GeometryItemAxisGL axis(1, 16, 3, 0.8f, 0.5f, 0.2f, 0.4f, L"Z");
  axis.SetColor({0, 0, 255, 200});
  const std::pair<const char*, AGeometryItem*> items[] = {{"Triangles", &triangles},
                                                          {"TrianglesWithoutNormals", &bare},
                                                          {"ChunkedTriangles", grid.get()},
                                                          {"Lines", &lines},
                                                          {"Points", &points},
                                                          {"Polyline", &polyline},
                                                          {"Circle", &circle},
                                                          {"Axis", &axis}};
  // One entry only: an item that read the caller's colour array for more
  // vertices would read past its end.
  const float colorArray[4] = {1, 0, 1, 1};
  for (const auto& [name, item] : items) {
    for (const bool lighting : {false, true}) {
      SCOPED_TRACE(std::string(name) + (lighting ? ", lighting on" : ", lighting off"));
      Clear();
      glPushAttrib(GL_ALL_ATTRIB_BITS);
      glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
      if (lighting) Light();
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
      glPopClientAttrib();
      glPopAttrib();
      EXPECT_GT(CountDrawn(Present()), 3) << "the item is in view";
    }
  }
}

}  // namespace
