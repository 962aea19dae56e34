// Items in a real context: own colours, unlit lines and points, chunked big
// meshes as drawn whole, the GL state items leave; the overlay items with the
// view's lights on; TextManagerGL's fallback glyph and display lists; and
// selection through a small pick box, culled, matching drawing everything.
#define GL_GLEXT_PROTOTYPES
#include <windows.h>

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "KivVizCore/ITextManagerProvider.h"
#include "KivVizOpenGL/GeometryItemAxisGL.h"
#include "KivVizOpenGL/GeometryItemCircle2DGL.h"
#include "KivVizOpenGL/GeometryItemLinesGL.h"
#include "KivVizOpenGL/GeometryItemPointsGL.h"
#include "KivVizOpenGL/GeometryItemPolylineGL.h"
#include "KivVizOpenGL/GeometryItemTrianglesGL.h"
#include "KivVizOpenGL/TextManagerGL.h"
#include "TestView.h"
#include "platform/Image.h"
#include "platform/OffscreenContext.h"

namespace {

using Rgb = std::array<int, 3>;

// The GL state an item may touch while drawing, as text, so that a test can
// tell (and show) whether an item left everything as it found it.
inline std::string GLState() {
  std::ostringstream out;
  out.precision(9);
  for (const GLenum capability : {GL_LIGHTING, GL_LINE_STIPPLE, GL_CULL_FACE, GL_TEXTURE_2D, GL_VERTEX_ARRAY,
                                  GL_NORMAL_ARRAY, GL_COLOR_ARRAY, GL_TEXTURE_COORD_ARRAY}) {
    out << int{glIsEnabled(capability)} << ' ';
  }
  const std::pair<GLenum, int> values[] = {
      {GL_CULL_FACE_MODE, 1}, {GL_MATRIX_MODE, 1}, {GL_LINE_STIPPLE_PATTERN, 1}, {GL_LINE_STIPPLE_REPEAT, 1},
      {GL_LIST_BASE, 1}, {GL_LINE_WIDTH, 1}, {GL_POINT_SIZE, 1}, {GL_CURRENT_COLOR, 4}, {GL_CURRENT_NORMAL, 3},
      {GL_CURRENT_RASTER_POSITION, 4}, {GL_MODELVIEW_MATRIX, 16}, {GL_PROJECTION_MATRIX, 16},
      {GL_MODELVIEW_STACK_DEPTH, 1}, {GL_ATTRIB_STACK_DEPTH, 1}, {GL_CLIENT_ATTRIB_STACK_DEPTH, 1}};
  for (const auto& [name, count] : values) {
    double value[16];
    glGetDoublev(name, value);
    out << "\n0x" << std::hex << name << std::dec << ':';
    for (int i = 0; i < count; ++i) out << ' ' << value[i];
  }
  for (const GLenum pointer : {GL_VERTEX_ARRAY_POINTER, GL_COLOR_ARRAY_POINTER}) {
    GLvoid* value = nullptr;
    glGetPointerv(pointer, &value);
    out << "\npointer " << value;
  }
  return out.str();
}

// An n x n grid of 2 n^2 triangles over [x0, x0 + size] x [y0, y0 + size], wavy
// in z, with leaning normals so that lighting draws a pattern.
inline std::unique_ptr<GeometryItemTrianglesGL> Grid(int n, float x0, float y0, float size) {
  std::vector<float> vertices, normals;
  std::vector<std::uint32_t> indices;
  for (int row = 0; row <= n; ++row) {
    for (int column = 0; column <= n; ++column) {
      const float x = x0 + size * static_cast<float>(column) / static_cast<float>(n);
      const float y = y0 + size * static_cast<float>(row) / static_cast<float>(n);
      const float nx = 0.8f * std::sin(3.0f * x);
      const float ny = 0.8f * std::cos(2.0f * y);
      vertices.insert(vertices.end(), {x, y, 0.3f * std::sin(2.0f * x) * std::cos(3.0f * y)});
      normals.insert(normals.end(), {nx, ny, std::sqrt(std::max(0.05f, 1.0f - nx * nx - ny * ny))});
    }
  }
  const auto stride = static_cast<std::uint32_t>(n + 1);
  for (std::uint32_t row = 0; row < static_cast<std::uint32_t>(n); ++row) {
    for (std::uint32_t column = 0; column < static_cast<std::uint32_t>(n); ++column) {
      const std::uint32_t a = row * stride + column;
      indices.insert(indices.end(), {a, a + 1, a + stride + 1, a, a + stride + 1, a + stride});
    }
  }
  return std::make_unique<GeometryItemTrianglesGL>(1, vertices, normals, indices);
}

class ItemGLTest : public ::testing::Test {
 protected:
  static constexpr int Size = 64;
  static constexpr Rgb Background = {20, 30, 40};

  void SetUp() override {
    gl.emplace(Size, Size);
    glViewport(0, 0, Size, Size);
    Clear();
  }
  void TearDown() override {
    if (wglGetCurrentContext() != nullptr) {
      EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    gl.reset();
  }
  // Clears colour and depth and loads the orthographic view.
  void Clear() {
    glClearColor(Background[0] / 255.0f, Background[1] / 255.0f, Background[2] / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1.0, 1.0, -1.0, 1.0, -10.0, 10.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  }
  // Finishes, swaps and returns what the window shows.
  platform::Image Present() {
    glFinish();
    SwapBuffers(gl->DeviceContext());
    return gl->Window().PresentedImage();
  }
  // Whether pixel (x, y from the top) is within `tolerance` of rgb in every channel.
  ::testing::AssertionResult PixelIs(const platform::Image& image, int x, int y, const Rgb& rgb,
                                     int tolerance = 2) const {
    const auto pixel = image.At(x, y);
    for (int channel = 0; channel < 3; ++channel) {
      if (std::abs(pixel[channel] - rgb[channel]) > tolerance) {
        return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << int{pixel[0]} << ","
                                             << int{pixel[1]} << "," << int{pixel[2]} << "; picture in "
                                             << Save(image, "pixel");
      }
    }
    return ::testing::AssertionSuccess();
  }
  static bool IsBackground(const std::array<std::uint8_t, 4>& pixel) {
    for (int channel = 0; channel < 3; ++channel) {
      if (std::abs(pixel[channel] - Background[channel]) > 8) return false;
    }
    return true;
  }
  static int CountDrawn(const platform::Image& image) {
    int drawn = 0;
    for (int y = 0; y < image.height; ++y) {
      for (int x = 0; x < image.width; ++x) drawn += IsBackground(image.At(x, y)) ? 0 : 1;
    }
    return drawn;
  }
  // Writes the image as <suite>.<test>.<tag>.png in the working directory.
  std::string Save(const platform::Image& image, const std::string& tag) const {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name() + "." + tag + ".png";
    for (char& c : name) c = c == '/' ? '_' : c;
    platform::WritePng(name, image);
    return name;
  }

  std::optional<platform::OffscreenContext> gl;
};

// Rectangles of two triangles each in z = 0, normals `nz` along Z.
std::unique_ptr<GeometryItemTrianglesGL> Rectangles(std::initializer_list<std::array<float, 5>> rectangles) {
  std::vector<float> vertices, normals;
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

class SceneItemsGLTest : public ItemGLTest {};

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
  auto grid = Grid(80, -2.0f, -2.0f, 4.0f);
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
  items.emplace_back("ChunkedTriangles", Grid(50, -0.8f, -0.8f, 1.6f));
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
      const std::string before = GLState();
      item->Display(nullptr);
      EXPECT_EQ(GLState(), before);
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

class OverlayItemsGLTest : public ItemGLTest {
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
  const std::string before = GLState();
  polyline.Display(nullptr);
  EXPECT_EQ(GLState(), before) << "the caller's stipple and width are put back";
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
  const std::string before = GLState();
  axis.Display(&view);
  EXPECT_EQ(GLState(), before);
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

class TextManagerGLTest : public ItemGLTest {
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

// The scene: a big wavy grid, a small raised square, a line set, a point
// cloud, and a mesh far outside the view; each under its own name.
struct Scene {
  Scene() {
    grid = Grid(120, -3.0f, -3.0f, 6.0f);
    square = std::make_unique<GeometryItemTrianglesGL>(
        2, std::vector<float>{0.2f, 0.2f, 0.5f, 0.8f, 0.2f, 0.5f, 0.8f, 0.8f, 0.5f, 0.2f, 0.8f, 0.5f},
        std::vector<float>{}, std::vector<std::uint32_t>{0, 1, 2, 0, 2, 3});
    lines = std::make_unique<GeometryItemLinesGL>(
        3, std::vector<float>{-1.5f, -1, 0.8f, 1.5f, -1, 0.8f, -1, -1.5f, 0.9f, -1, 1.5f, 0.9f},
        std::vector<std::uint32_t>{0, 1, 2, 3});
    std::vector<float> cloud;
    for (int i = 0; i < 200; ++i) {
      cloud.insert(cloud.end(), {-2.0f + 0.02f * static_cast<float>(i), 1.2f, 1.0f});
    }
    points = std::make_unique<GeometryItemPointsGL>(4, cloud);
    faraway = Grid(4, 50.0f, 50.0f, 2.0f);
  }

  // Names 1 to 5 in this order; a node transform on the faraway mesh and on
  // the square.
  template <typename DrawTriangles, typename DrawLines, typename DrawPoints>
  void Draw(DrawTriangles&& triangles, DrawLines&& lineSet, DrawPoints&& pointCloud) const {
    glPushName(1);
    triangles(*grid);
    glLoadName(2);
    glPushMatrix();
    glTranslatef(0.1f, -0.1f, 0.0f);
    glRotatef(10.0f, 0.0f, 0.0f, 1.0f);
    triangles(*square);
    glPopMatrix();
    glLoadName(3);
    lineSet(*lines);
    glLoadName(4);
    pointCloud(*points);
    glLoadName(5);
    triangles(*faraway);
    glPopName();
  }

  std::unique_ptr<GeometryItemTrianglesGL> grid, square;
  std::unique_ptr<GeometryItemLinesGL> lines;
  std::unique_ptr<GeometryItemPointsGL> points;
  std::unique_ptr<GeometryItemTrianglesGL> faraway;
};

void DrawBare(GLenum mode, const std::vector<float>& vertices, const std::vector<std::uint32_t>& indices) {
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, vertices.data());
  if (indices.empty()) {
    glDrawArrays(mode, 0, static_cast<GLsizei>(vertices.size() / 3));
  } else {
    glDrawElements(mode, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_INT, indices.data());
  }
  glDisableClientState(GL_VERTEX_ARRAY);
}

struct PickCase {
  std::string name;
  int x;
  int y;  // window pixels, origin top left
  bool cameraOnProjection;
};

void PrintTo(const PickCase& c, std::ostream* out) { *out << c.name; }

struct Selection {
  GLint hits = 0;
  std::vector<GLuint> records;
};

class SelectionCullingGLTest : public ItemGLTest, public ::testing::WithParamInterface<PickCase> {
 protected:
  // Perspective camera; with cameraOnProjection the view transform goes on
  // the projection matrix as a view's selection pass puts it, otherwise on
  // the modelview.
  static void SetUpCamera(bool cameraOnProjection) {
    gluPerspective(40.0, 1.0, 0.5, 50.0);
    if (!cameraOnProjection) {
      glMatrixMode(GL_MODELVIEW);
      glLoadIdentity();
    }
    gluLookAt(0.4, -0.7, 7.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glMatrixMode(GL_MODELVIEW);
    if (cameraOnProjection) glLoadIdentity();
  }

  template <typename DrawScene>
  Selection Select(const PickCase& pick, DrawScene&& drawScene) {
    Selection selection;
    selection.records.assign(4096, 0xDEADBEEF);
    glSelectBuffer(static_cast<GLsizei>(selection.records.size()), selection.records.data());
    glRenderMode(GL_SELECT);
    glInitNames();
    glPushName(0);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    GLint viewport[4] = {0, 0, Size, Size};
    gluPickMatrix(pick.x, Size - pick.y, 4.0, 4.0, viewport);
    SetUpCamera(pick.cameraOnProjection);
    drawScene();
    glPopName();
    selection.hits = glRenderMode(GL_RENDER);
    return selection;
  }

  Scene scene;
};

TEST_P(SelectionCullingGLTest, HitRecordsAreThoseOfDrawingEverything) {
  const Selection culled = Select(GetParam(), [this] {
    const auto display = [](AGeometryItem& item) { item.Display(nullptr); };
    scene.Draw(display, display, display);
  });
  const Selection whole = Select(GetParam(), [this] {
    scene.Draw([](const GeometryItemTrianglesGL& item) { DrawBare(GL_TRIANGLES, item.Vertices(), item.Indices()); },
               [](const GeometryItemLinesGL& item) { DrawBare(GL_LINES, item.Vertices(), item.Indices()); },
               [](const GeometryItemPointsGL& item) {
                 glPointSize(item.pointSize);
                 DrawBare(GL_POINTS, item.Vertices(), {});
                 glPointSize(1.0f);
               });
  });
  EXPECT_EQ(culled.hits, whole.hits);
  EXPECT_EQ(culled.records, whole.records) << "same names, zmin and zmax, in the same order";
  // Every position lies over the grid, so there is something to compare;
  // names sit at word 4 (the bottom name 0, then the item's).
  ASSERT_GE(culled.hits, 1);
  EXPECT_EQ(culled.records[0], 2u);
  EXPECT_EQ(culled.records[4], 1u) << "the grid is the first hit";
  for (std::size_t word = 0, hit = 0; hit < static_cast<std::size_t>(culled.hits); ++hit) {
    EXPECT_NE(culled.records[word + 4], 5u) << "the faraway mesh is never hit";
    word += 3 + culled.records[word];
  }
}

INSTANTIATE_TEST_SUITE_P(
    Picks, SelectionCullingGLTest,
    ::testing::Values(PickCase{"Centre", 32, 32, true}, PickCase{"CentreCameraOnModelview", 32, 32, false},
                      PickCase{"RaisedSquare", 36, 26, true}, PickCase{"Line", 20, 45, true},
                      PickCase{"Points", 14, 17, true}, PickCase{"Corner", 1, 1, true},
                      PickCase{"Edge", 63, 30, true}),
    [](const auto& info) { return info.param.name; });

// Primitives that reach GL, counted before clipping.
GLuint PrimitivesSent(const std::function<void()>& draw) {
  GLuint query = 0;
  glGenQueries(1, &query);
  glBeginQuery(GL_PRIMITIVES_GENERATED, query);
  draw();
  glEndQuery(GL_PRIMITIVES_GENERATED);
  GLuint count = 0;
  glGetQueryObjectuiv(query, GL_QUERY_RESULT, &count);
  glDeleteQueries(1, &query);
  return count;
}

class ViewCullingGLTest : public ItemGLTest {};

TEST_F(ViewCullingGLTest, OnlyChunksInViewReachGL) {
  const Scene scene;
  const auto triangleCount = static_cast<GLuint>(scene.grid->Indices().size() / 3);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  // A corner of the grid, where a single chunk lies.
  glOrtho(-3.0, -2.6, -3.0, -2.6, -10.0, 10.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  EXPECT_EQ(PrimitivesSent([&] { DrawBare(GL_TRIANGLES, scene.grid->Vertices(), scene.grid->Indices()); }),
            triangleCount);
  const GLuint sent = PrimitivesSent([&] { scene.grid->Display(nullptr); });
  EXPECT_GT(sent, 0u);
  EXPECT_LE(sent, triangleCount / 8) << "a view of 1/225 of the grid, in rows of its own order";
  EXPECT_EQ(PrimitivesSent([&] { scene.faraway->Display(nullptr); }), 0u);
  EXPECT_EQ(PrimitivesSent([&] { scene.square->Display(nullptr); }), 0u);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0.0, 0.3, 0.0, 0.3, -10.0, 10.0);
  glMatrixMode(GL_MODELVIEW);
  EXPECT_EQ(PrimitivesSent([&] { scene.square->Display(nullptr); }), 2u) << "a small mesh in view is drawn whole";
}

}  // namespace
