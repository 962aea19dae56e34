// Big items skip what lies outside the view volume, yet pictures and the hit
// records of a small pick box must be exactly those of drawing everything.
#define GL_GLEXT_PROTOTYPES
#include <windows.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <stdexcept>

#include "ItemFixture.h"
#include "KivVizOpenGL/GeometryItemLinesGL.h"
#include "KivVizOpenGL/GeometryItemPointsGL.h"

namespace {

using NimboTest::DrawBare;

// The scene: a big wavy grid, a small raised square, a big line set, a big
// point cloud, and a mesh far outside the view; each under its own name.
struct Scene {
  Scene() {
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
    lines = std::make_unique<GeometryItemLinesGL>(3, ends, segments);
    points = std::make_unique<GeometryItemPointsGL>(4, cloud);
  }

  // Names 1 to 5 in this order; a node transform on the square. Whole: with
  // plain GL calls instead of the items, lines and points unlit as the items.
  void Draw(bool whole) const {
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
    triangles(*square);
    glPopMatrix();
    glLoadName(3);
    if (whole) glDisable(GL_LIGHTING);
    whole ? DrawBare(GL_LINES, lines->Vertices(), lines->Indices()) : lines->Display(nullptr);
    glLoadName(4);
    glPointSize(points->pointSize);
    whole ? DrawBare(GL_POINTS, points->Vertices(), {}) : points->Display(nullptr);
    glPointSize(1.0f);
    if (lit) glEnable(GL_LIGHTING);
    glLoadName(5);
    triangles(*faraway);
    glPopName();
  }

  std::unique_ptr<GeometryItemTrianglesGL> grid = NimboTest::Grid(120, -3.0f, -3.0f, 6.0f);
  std::unique_ptr<GeometryItemTrianglesGL> square = std::make_unique<GeometryItemTrianglesGL>(
      2, std::vector<float>{0.2f, 0.2f, 0.5f, 0.8f, 0.2f, 0.5f, 0.8f, 0.8f, 0.5f, 0.2f, 0.8f, 0.5f},
      std::vector<float>{}, std::vector<std::uint32_t>{0, 1, 2, 0, 2, 3});
  std::unique_ptr<GeometryItemLinesGL> lines;
  std::unique_ptr<GeometryItemPointsGL> points;
  std::unique_ptr<GeometryItemTrianglesGL> faraway = NimboTest::Grid(4, 50.0f, 50.0f, 2.0f);
};

using SelectionCullingTest = NimboTest::ItemFixture;

TEST_F(SelectionCullingTest, HitRecordsAreThoseOfDrawingEverything) {
  const Scene scene;
  // Hit count and records of a pick at window pixel (x, y from the top) with a
  // perspective camera; with cameraOnProjection the view transform goes on the
  // projection matrix as a view's selection pass puts it, else on the modelview.
  const auto select = [&](int x, int y, bool cameraOnProjection, bool whole) {
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
    if (!cameraOnProjection) {
      glMatrixMode(GL_MODELVIEW);
      glLoadIdentity();
    }
    gluLookAt(0.4, -0.7, 7.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glMatrixMode(GL_MODELVIEW);
    if (cameraOnProjection) glLoadIdentity();
    scene.Draw(whole);
    glPopName();
    const GLint hits = glRenderMode(GL_RENDER);
    return std::pair(hits, records);
  };
  const struct {
    const char* name;
    int x, y;
    bool cameraOnProjection = true;
  } picks[] = {{"Centre", 32, 32},       {"CentreCameraOnModelview", 32, 32, false},
               {"RaisedSquare", 36, 26}, {"Line", 20, 45},
               {"Points", 14, 17},       {"Corner", 1, 1}};
  for (const auto& pick : picks) {
    SCOPED_TRACE(pick.name);
    const auto [hits, records] = select(pick.x, pick.y, pick.cameraOnProjection, false);
    EXPECT_EQ(select(pick.x, pick.y, pick.cameraOnProjection, true), std::pair(hits, records))
        << "same names, zmin and zmax, in the same order";
    // Every position lies over the grid, so there is something to compare;
    // names sit at word 4 (the bottom name 0, then the item's).
    ASSERT_GE(hits, 1);
    EXPECT_EQ(records[0], 2u);
    EXPECT_EQ(records[4], 1u) << "the grid is the first hit";
    for (std::size_t word = 0, hit = 0; hit < static_cast<std::size_t>(hits); ++hit) {
      EXPECT_NE(records[word + 4], 5u) << "the faraway mesh is never hit";
      word += 3 + records[word];
    }
  }
}

// Lit, and translucent so that a primitive drawn twice would show; the grid
// reaches far out of view.
TEST_F(SelectionCullingTest, PicturesAreThoseOfDrawingEverything) {
  const Scene scene;
  Light();
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4ub(200, 60, 40, 120);
  const auto draw = [&](bool whole) {
    Clear();
    glRotatef(25, 0, 0, 1);
    scene.Draw(whole);
    return Present();
  };
  const platform::Image chunked = draw(false);
  const platform::Image whole = draw(true);
  EXPECT_GT(CountDrawn(whole), 1000);
  EXPECT_TRUE(chunked.rgba == whole.rgba)
      << "pictures in " << SavePicture(chunked, "chunked") << " and " << SavePicture(whole, "whole");
}

// An entry point beyond OpenGL 1.1 of the current context, which Windows'
// OpenGL library does not export.
template <typename Function>
Function Entry(const char* name) {
  const auto entry = reinterpret_cast<Function>(reinterpret_cast<void*>(wglGetProcAddress(name)));
  if (entry == nullptr) throw std::runtime_error(std::string("no OpenGL entry point ") + name);
  return entry;
}

// Primitives that reach GL, counted before clipping. The entry points are
// looked up each time: they belong to the context current now.
GLuint PrimitivesSent(const std::function<void()>& draw) {
  GLuint query = 0;
  GLuint count = 0;
  Entry<PFNGLGENQUERIESPROC>("glGenQueries")(1, &query);
  Entry<PFNGLBEGINQUERYPROC>("glBeginQuery")(GL_PRIMITIVES_GENERATED, query);
  draw();
  Entry<PFNGLENDQUERYPROC>("glEndQuery")(GL_PRIMITIVES_GENERATED);
  Entry<PFNGLGETQUERYOBJECTUIVPROC>("glGetQueryObjectuiv")(query, GL_QUERY_RESULT, &count);
  Entry<PFNGLDELETEQUERIESPROC>("glDeleteQueries")(1, &query);
  return count;
}

TEST_F(SelectionCullingTest, OnlyChunksInViewReachGL) {
  const Scene scene;
  const auto triangleCount = static_cast<GLuint>(scene.grid->Indices().size() / 3);
  const auto ortho = [](double x0, double y0, double size) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(x0, x0 + size, y0, y0 + size, -10.0, 10.0);
    glMatrixMode(GL_MODELVIEW);
  };
  // A corner of the grid, where a single chunk lies.
  ortho(-3.0, -3.0, 0.4);
  EXPECT_EQ(PrimitivesSent([&] { DrawBare(GL_TRIANGLES, scene.grid->Vertices(), scene.grid->Indices()); }),
            triangleCount);
  const GLuint sent = PrimitivesSent([&] { scene.grid->Display(nullptr); });
  EXPECT_GT(sent, 0u);
  EXPECT_LE(sent, triangleCount / 8) << "a view of 1/225 of the grid, in rows of its own order";
  EXPECT_EQ(PrimitivesSent([&] { scene.faraway->Display(nullptr); }), 0u);
  // Line sets and clouds as big go in runs of 256 the same way: the corner's
  // rows of the lattices lie in the first two runs (3,602 and 3,800 in all).
  for (AGeometryItem* item : std::initializer_list<AGeometryItem*>{scene.lines.get(), scene.points.get()}) {
    const GLuint primitives = PrimitivesSent([&] { item->Display(nullptr); });
    EXPECT_GT(primitives, 0u);
    EXPECT_LE(primitives, 512u);
  }
  EXPECT_EQ(PrimitivesSent([&] { scene.square->Display(nullptr); }), 0u);
  ortho(0.0, 0.0, 0.3);
  EXPECT_EQ(PrimitivesSent([&] { scene.square->Display(nullptr); }), 2u) << "a small mesh in view is drawn whole";
}

}  // namespace
