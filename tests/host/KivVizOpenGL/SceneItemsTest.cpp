// Scene items in a real context: own colours, unlit lines and points, sizes,
// and the GL state items leave.
#include "ItemFixture.h"
#include "KivVizOpenGL/GeometryItemAxisGL.h"
#include "KivVizOpenGL/GeometryItemCircle2DGL.h"
#include "KivVizOpenGL/GeometryItemLinesGL.h"
#include "KivVizOpenGL/GeometryItemPointsGL.h"
#include "KivVizOpenGL/GeometryItemPolylineGL.h"

namespace {

using NimboTest::Rgb;
using SceneItemsTest = NimboTest::ItemFixture;

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
  // What each item shows where it shows a plain colour: its own, or the caller's
  // (points), lit or not; a point of size 3 covers 3 x 3 pixels.
  constexpr Rgb kCallers = {25, 180, 75};
  const struct {
    const char* name;
    AGeometryItem* item;
    std::optional<Rgb> colour;
    int exactly = 0;  // pixels; otherwise some
  } items[] = {{"Triangles", &triangles, Rgb{10, 220, 30}},
               {"TrianglesWithoutNormals", &bare, std::nullopt},
               {"ChunkedTriangles", grid.get(), std::nullopt},
               {"Lines", &lines, Rgb{255, 255, 0}},
               {"Points", &points, kCallers, 18},
               {"Polyline", &polyline, std::nullopt},
               {"Circle", &circle, Rgb{0, 0, 0}},
               {"Axis", &axis, std::nullopt}};
  // One entry only: an item that read the caller's colour array for more
  // vertices would read past its end.
  const float colorArray[4] = {1, 0, 1, 1};
  for (const auto& [name, item, colour, exactly] : items) {
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
      glColor4ub(kCallers[0], kCallers[1], kCallers[2], 230);
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
      const platform::Image image = Present();
      const int shown = colour ? Count(image, *colour) : CountDrawn(image);
      EXPECT_TRUE(exactly > 0 ? shown == exactly : shown >= 4) << shown << " pixels; " << SavePicture(image, name);
    }
  }
}

}  // namespace
