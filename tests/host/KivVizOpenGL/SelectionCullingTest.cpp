// Big items skip what lies outside the view volume, yet pictures and the hit
// records of a small pick box must be exactly those of drawing everything.
#include <windows.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include "ItemFixture.h"
#include "KivVizOpenGL/GeometryItemLinesGL.h"
#include "KivVizOpenGL/GeometryItemPointsGL.h"

namespace {

using NimboTest::DrawBare;

using SelectionCullingTest = NimboTest::ItemFixture;

// The scene: a big wavy grid, a small raised square, a big line set and a big
// point cloud, each under its own name.
TEST_F(SelectionCullingTest, HitRecordsAndPicturesAreThoseOfDrawingEverything) {
  // Two long lines crossing the view, then short strokes over all of it.
  std::vector<float> ends{-1.5f, -1, 0.8f, 1.5f, -1, 0.8f, -1, -1.5f, 0.9f, -1, 1.5f, 0.9f};
  std::vector<std::uint32_t> segments{0, 1, 2, 3};
  // A cloud along a row, then a lattice over all of the view.
  std::vector<float> cloud;
  for (int i = 0; i < 200; ++i) cloud.insert(cloud.end(), {-2.0f + 0.02f * static_cast<float>(i), 1.2f, 1.0f});
  for (int row = 0; row < 60; ++row) {
    for (int column = 0; column < 60; ++column) {
      const float x = -2.9f + 0.097f * static_cast<float>(column);
      const float y = -2.9f + 0.097f * static_cast<float>(row);
      const auto first = static_cast<std::uint32_t>(ends.size() / 3);
      ends.insert(ends.end(), {x, y, 0.85f, x + 0.05f, y + 0.03f, 0.85f});
      segments.insert(segments.end(), {first, first + 1});
      cloud.insert(cloud.end(), {x + 0.03f, y + 0.05f, 1.0f});
    }
  }
  GeometryItemLinesGL lines(3, ends, segments);
  GeometryItemPointsGL points(4, cloud);
  const auto grid = NimboTest::Grid(120, -3.0f, -3.0f, 6.0f);
  GeometryItemTrianglesGL square(2, {0.2f, 0.2f, 0.5f, 0.8f, 0.2f, 0.5f, 0.8f, 0.8f, 0.5f, 0.2f, 0.8f, 0.5f}, {},
                                 {0, 1, 2, 0, 2, 3});
  // Names 1 to 4 in this order; a node transform on the square. Whole: with
  // plain GL calls instead of the items, lines and points unlit as the items.
  const auto drawScene = [&](bool whole) {
    const auto triangles = [whole](GeometryItemTrianglesGL& item) {
      whole ? DrawBare(GL_TRIANGLES, item.Vertices(), item.Indices(), item.Normals()) : item.Display(nullptr);
    };
    const GLboolean lit = glIsEnabled(GL_LIGHTING);
    glPushName(1);
    triangles(*grid);
    glLoadName(2);
    glPushMatrix();
    glTranslatef(0.1f, -0.1f, 0.0f);
    glRotatef(10.0f, 0.0f, 0.0f, 1.0f);
    triangles(square);
    glPopMatrix();
    glLoadName(3);
    if (whole) glDisable(GL_LIGHTING);
    whole ? DrawBare(GL_LINES, lines.Vertices(), lines.Indices()) : lines.Display(nullptr);
    glLoadName(4);
    glPointSize(points.pointSize);
    whole ? DrawBare(GL_POINTS, points.Vertices(), {}) : points.Display(nullptr);
    glPointSize(1.0f);
    if (lit) glEnable(GL_LIGHTING);
    glPopName();
  };
  // Hit count and records of a pick at window pixel (x, y from the top) with a
  // perspective camera whose view transform goes on the projection matrix, as
  // a view's selection pass puts it.
  const auto select = [&](int x, int y, bool whole) {
    std::vector<GLuint> records(4096, 0xDEADBEEF);
    glSelectBuffer(static_cast<GLsizei>(records.size()), records.data());
    glRenderMode(GL_SELECT);
    glInitNames();
    glPushName(0);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    GLint viewport[4] = {0, 0, Size, Size};
    gluPickMatrix(x, Size - y, 4.0, 4.0, viewport);
    gluPerspective(40.0, 1.0, 0.5, 50.0);
    gluLookAt(0.4, -0.7, 7.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    drawScene(whole);
    glPopName();
    const GLint hits = glRenderMode(GL_RENDER);
    return std::pair(hits, records);
  };
  // The centre, the raised square, a line, the points, a corner.
  for (const auto& [x, y] : {std::pair{32, 32}, {36, 26}, {20, 45}, {14, 17}, {1, 1}}) {
    SCOPED_TRACE(testing::Message() << "pixel " << x << ", " << y);
    const auto [hits, records] = select(x, y, false);
    EXPECT_EQ(select(x, y, true), std::pair(hits, records)) << "same names, zmin and zmax, in the same order";
  }

  // Pictures: lit, and translucent so that a primitive drawn twice would
  // show; the grid reaches far out of view.
  Light();
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4ub(200, 60, 40, 120);
  platform::Image pictures[2];  // chunked, whole
  for (const bool whole : {false, true}) {
    Clear();
    glRotatef(25, 0, 0, 1);
    drawScene(whole);
    pictures[whole] = Present();
  }
  EXPECT_GT(Count(pictures[1], {}), 1000);
  EXPECT_TRUE(pictures[0].rgba == pictures[1].rgba)
      << SavePicture(pictures[0], "chunked") << " and " << SavePicture(pictures[1], "whole");

  // Culling at all: over a corner of the grid, few of its triangles reach GL.
  // The query's entry points lie beyond OpenGL 1.1, which Windows exports.
  const auto entry = [](const char* name) { return reinterpret_cast<void*>(wglGetProcAddress(name)); };
  const auto begin = reinterpret_cast<PFNGLBEGINQUERYPROC>(entry("glBeginQuery"));
  const auto end = reinterpret_cast<PFNGLENDQUERYPROC>(entry("glEndQuery"));
  const auto result = reinterpret_cast<PFNGLGETQUERYOBJECTUIVPROC>(entry("glGetQueryObjectuiv"));
  ASSERT_TRUE(begin && end && result);
  Clear();
  glScalef(5.0f, 5.0f, 1.0f);  // [-3, -2.6]^2 fills the view
  glTranslatef(2.8f, 2.8f, 0.0f);
  GLuint query = 0, sent = 0;
  reinterpret_cast<PFNGLGENQUERIESPROC>(entry("glGenQueries"))(1, &query);
  begin(GL_PRIMITIVES_GENERATED, query);
  grid->Display(nullptr);
  end(GL_PRIMITIVES_GENERATED);
  result(query, GL_QUERY_RESULT, &sent);
  reinterpret_cast<PFNGLDELETEQUERIESPROC>(entry("glDeleteQueries"))(1, &query);
  EXPECT_GT(sent, 0u);
  EXPECT_LE(sent, grid->Indices().size() / 3 / 8) << "a view of 1/225 of the grid, in rows of its own order";
}

}  // namespace
