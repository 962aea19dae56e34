// Items in a real context: own colours, unlit lines and points, chunked big
// meshes as drawn whole, the GL state items leave; the overlay items with the
// view's lights on; and TextManagerGL's fallback glyph and display lists.
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ItemGLTest.h"
#include "KivVizCore/ITextManagerProvider.h"
#include "KivVizOpenGL/GeometryItemAxisGL.h"
#include "KivVizOpenGL/GeometryItemCircle2DGL.h"
#include "KivVizOpenGL/GeometryItemLinesGL.h"
#include "KivVizOpenGL/GeometryItemPointsGL.h"
#include "KivVizOpenGL/GeometryItemPolylineGL.h"
#include "KivVizOpenGL/GeometryItemTrianglesGL.h"
#include "KivVizOpenGL/TextManagerGL.h"
#include "TestView.h"

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

class SceneItemsGLTest : public NimboTest::ItemGLTest {};

TEST_F(SceneItemsGLTest, TrianglesTakeTheirOwnColourAndLeaveTheCurrentColour) {
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

TEST_F(SceneItemsGLTest, LinesAndPointsIgnoreLighting) {
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

// Chunked drawing must show exactly what drawing the whole mesh at once
// shows, also when only part of it is in view.
TEST_F(SceneItemsGLTest, ABigMeshLooksAsDrawnWhole) {
  auto grid = NimboTest::Grid(80, -2.0f, -2.0f, 4.0f);
  ASSERT_GT(grid->Indices().size() / 3, 10000u);
  UseWhiteLightFromTheViewer();
  const auto draw = [&](const std::function<void()>& drawMesh) {
    Clear();
    glTranslatef(0.9f, -0.7f, 0);
    glRotatef(25, 0, 0, 1);
    glColor3ub(180, 160, 140);
    drawMesh();
    return Present();
  };
  const platform::Image chunked = draw([&] { grid->Display(nullptr); });
  const platform::Image whole = draw([&] {
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, grid->Vertices().data());
    glNormalPointer(GL_FLOAT, 0, grid->Normals().data());
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(grid->Indices().size()), GL_UNSIGNED_INT, grid->Indices().data());
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
  });
  glDisable(GL_LIGHTING);
  EXPECT_GT(CountDrawn(whole), 1000);
  EXPECT_GT(Size * Size - CountDrawn(whole), 100) << "part of the grid is out of view";
  EXPECT_TRUE(chunked.rgba == whole.rgba) << "pictures in " << Save(chunked, "chunked") << " and "
                                          << Save(whole, "whole");
}

// Every item draws into a caller's odd state (lighting, widths, stipple, current
// values, list base, projection mode, client arrays) and leaves it as it was.
TEST_F(SceneItemsGLTest, EveryItemDrawsAndLeavesTheStateAsItFoundIt) {
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
  items.emplace_back("TrianglesWithoutNormals",
                     std::make_unique<GeometryItemTrianglesGL>(1, std::vector<float>{-0.5f, -0.5f, 0, 0.5f, -0.5f, 0, 0, 0.5f, 0},
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

using NimboTest::Rgb;

constexpr Rgb Yellow = {255, 255, 0};
constexpr Rgb Red = {255, 0, 0};

// The centre of pixel row `row` (from the top).
float RowY(int row) { return 1.0f - (static_cast<float>(row) + 0.5f) / 32.0f; }

// Pixels of exactly that colour in columns [x0, x1] and rows [y0, y1].
int Count(const platform::Image& image, int x0, int x1, int y0, int y1, const Rgb& rgb) {
  int count = 0;
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      const auto pixel = image.At(x, y);
      count += pixel[0] == rgb[0] && pixel[1] == rgb[1] && pixel[2] == rgb[2] ? 1 : 0;
    }
  }
  return count;
}

class OverlayItemsGLTest : public NimboTest::ItemGLTest {
 protected:
  void SetUp() override {
    ItemGLTest::SetUp();
    const float white[4] = {1, 1, 1, 1};
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
  }
};

TEST_F(OverlayItemsGLTest, TheCircleIsAnUnlitLoopOfItsRadius) {
  GeometryItemCircle2DGL circle(1);
  circle.SetColor({255, 255, 0, 255});
  circle.radius = 0.5f;
  circle.Display(nullptr);
  platform::Image image = Present();
  // x = +-0.5 falls on columns 47/48 and 15/16.
  EXPECT_GT(Count(image, 46, 49, 32, 32, Yellow), 0) << Save(image, "radius0.5");
  EXPECT_GT(Count(image, 14, 17, 32, 32, Yellow), 0);
  EXPECT_EQ(Count(image, 18, 45, 32, 32, Yellow), 0) << "a loop, not a disc";
}

TEST_F(OverlayItemsGLTest, ThePolylineHonoursWidthAndStipple) {
  // Along row 31, under a caller's stipple that must not leak into a solid polyline.
  const float across[] = {-1, RowY(31), 0, 0, RowY(31), 0, 1, RowY(31), 0};
  GeometryItemPolylineGL polyline(1, across, 9);
  polyline.SetColor({255, 255, 0, 255});
  glEnable(GL_LINE_STIPPLE);
  glLineStipple(1, 0x0101);
  polyline.Display(nullptr);
  platform::Image image = Present();
  EXPECT_EQ(Count(image, 2, 61, 31, 31, Yellow), 60);
  EXPECT_EQ(Count(image, 20, 20, 0, 63, Yellow), 1);

  Clear();
  polyline.lineWidth = 5.0f;
  polyline.stipplePattern = 0xF0F0;
  const std::string before = NimboTest::GLState();
  polyline.Display(nullptr);
  EXPECT_EQ(NimboTest::GLState(), before) << "the caller's stipple and width are put back";
  image = Present();
  int widest = 0;
  for (int x = 0; x < Size; ++x) widest = std::max(widest, Count(image, x, x, 0, 63, Yellow));
  EXPECT_EQ(widest, 5) << Save(image, "wide and stippled");
  EXPECT_EQ(Count(image, 2, 61, 31, 31, Yellow), 30) << "four pixels on, four off";
  int longestGap = 0;
  for (int x = 2, gap = 0; x < 62; ++x) {
    gap = Count(image, x, x, 31, 31, Yellow) > 0 ? 0 : gap + 1;
    longestGap = std::max(longestGap, gap);
  }
  EXPECT_EQ(longestGap, 4);
  glDisable(GL_LINE_STIPPLE);

}

// Arrow from y = -0.8 up the screen: shaft radius 0.1 to y = -0.1, cone of
// radius 0.3 to the tip at y = 0.4; the label starts just above it.
TEST_F(OverlayItemsGLTest, TheAxisIsALitArrowAlongPlusZLabelledWithTheViewsTextManager) {
  struct LabelView : NimboTest::TestView, ITextManagerProvider {
    ATextManager* GetTextManager() override { return &text; }
    TextManagerGL text{nullptr};
  } view;
  GeometryItemAxisGL axis{1, 24, 2, 1.2f, 0.7f, 0.1f, 0.3f, L"Z"};
  axis.SetColor({255, 0, 0, 255});
  glTranslatef(0.0f, -0.8f, 0.0f);
  glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
  axis.Display(nullptr);
  platform::Image image = Present();
  const auto centre = image.At(32, 48);  // shaft, y = -0.5
  EXPECT_GT(centre[0], 200) << Save(image, "axis");
  EXPECT_LT(centre[1], 40);
  EXPECT_GT(centre[0], image.At(29, 48)[0] + 40) << "lit by its normals: x = -0.08 is turned away";
  EXPECT_TRUE(PixelIs(image, 37, 48, Background)) << "x = 0.17 is beyond the shaft";
  EXPECT_GT(image.At(37, 30)[0], 100) << "but within the cone";
  EXPECT_TRUE(PixelIs(image, 32, 12, Background)) << "above the tip";
  EXPECT_TRUE(PixelIs(image, 32, 60, Background)) << "below the foot";
  EXPECT_EQ(Count(image, 0, 63, 0, 16, Red), 0) << "no label without a text manager";

  Clear();
  glTranslatef(0.0f, -0.8f, 0.0f);
  glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
  const std::string before = NimboTest::GLState();
  axis.Display(&view);
  EXPECT_EQ(NimboTest::GLState(), before);
  image = Present();
  EXPECT_GT(Count(image, 0, 63, 0, 16, Red), 15) << Save(image, "label");
  for (int y = 0; y < 17; ++y) {
    for (int x = 0; x < 30; ++x) {
      ASSERT_TRUE(IsBackground(image.At(x, y))) << "the label starts at the axis, at " << x << "," << y;
    }
  }
}

// Green pixels.
int Ink(const platform::Image& image) {
  int count = 0;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const auto pixel = image.At(x, y);
      count += pixel[0] == 0 && pixel[1] == 255 && pixel[2] == 0 ? 1 : 0;
    }
  }
  return count;
}

// Display lists that exist among the first names.
int CountLists() {
  int lists = 0;
  for (GLuint name = 1; name < 2000; ++name) lists += glIsList(name) ? 1 : 0;
  return lists;
}

class TextManagerGLTest : public NimboTest::ItemGLTest {
 protected:
  platform::Image Draw(float x, float y, const std::wstring& text) {
    Clear();
    glColor3ub(0, 255, 0);
    const float position[3] = {x, y, 0.0f};
    manager.RenderText(position, text);
    return Present();
  }

  TextManagerGL manager{nullptr};
};

TEST_F(TextManagerGLTest, CharactersWithoutAGlyphShowAsQuestionMarksAndBlanksDrawNothing) {
  const platform::Image question = Draw(-0.5f, 0.0f, L"?");
  EXPECT_GT(Ink(question), 5);
  EXPECT_TRUE(question.rgba == Draw(-0.5f, 0.0f, L"\u00e9").rgba);
  EXPECT_EQ(CountDrawn(Draw(-0.5f, 0.0f, L"")), 0);
  EXPECT_EQ(CountDrawn(Draw(-0.5f, 0.0f, L"  ")), 0);
}

TEST_F(TextManagerGLTest, EachContextGetsItsOwnListsWhichLiveWithTheManager) {
  EXPECT_EQ(CountLists(), 0);
  {
    TextManagerGL own(nullptr);
    EXPECT_TRUE(own.IsFontAvailable());
    EXPECT_EQ(CountLists(), 96) << "one per printable character, made once";
    const float position[3] = {0, 0, 0};
    own.RenderText(position, L"x");
    EXPECT_EQ(CountLists(), 96);
  }
  EXPECT_EQ(CountLists(), 0);

  // Without a current context there is no font and nothing is made.
  const HGLRC context = wglGetCurrentContext();
  ASSERT_TRUE(wglMakeCurrent(nullptr, nullptr));
  EXPECT_FALSE(manager.IsFontAvailable());
  const float position[3] = {0, 0, 0};
  manager.RenderText(position, L"A");
  ASSERT_TRUE(wglMakeCurrent(gl->DeviceContext(), context));
  EXPECT_EQ(CountLists(), 0);

  EXPECT_GT(Ink(Draw(-0.5f, 0.0f, L"H")), 5);
  // Another context replaces this one; the manager outlives both.
  gl.reset();
  gl.emplace(Size, Size);
  glViewport(0, 0, Size, Size);
  EXPECT_EQ(CountLists(), 0);
  const platform::Image image = Draw(-0.5f, 0.0f, L"H");
  EXPECT_GT(Ink(image), 5) << Save(image, "second context");
  EXPECT_EQ(CountLists(), 96);
}

}  // namespace
