// Scene items in a real context: own colours, unlit lines and points, sizes,
// and the GL state items leave. The overlay items, with the view's lights on:
// the circle, the polyline's width and stipple, and the lit axis with its
// label; the label's bitmap text: the fallback glyph and the glyphs per
// context.
#include "ItemFixture.h"
#include "KivVizCore/ITextManagerProvider.h"
#include "KivVizOpenGL/GeometryItemAxisGL.h"
#include "KivVizOpenGL/GeometryItemCircle2DGL.h"
#include "KivVizOpenGL/GeometryItemLinesGL.h"
#include "KivVizOpenGL/GeometryItemPointsGL.h"
#include "KivVizOpenGL/GeometryItemPolylineGL.h"
#include "KivVizOpenGL/TextManagerGL.h"
#include "TestView.h"

namespace {

using NimboTest::Rgb;
using SceneItemsTest = NimboTest::ItemFixture;

// Every item draws into a caller's odd state (lighting, widths, stipple, current
// values, list base, projection mode, client arrays) without a GL error and
// leaves it as it was.
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
  // Sizes GL would refuse draw at GL's default instead.
  GeometryItemPointsGL unsized(1, {0, 0, 0, 0.5f, 0.5f, 0});
  unsized.pointSize = 0.0f;
  GeometryItemPolylineGL unwidened(1, corners, 9);
  unwidened.lineWidth = -2.0f;
  GeometryItemCircle2DGL circle(1);
  circle.radius = 0.6f;
  circle.SetColor({0, 0, 0, 255});
  GeometryItemAxisGL axis(1, 16, 3, 0.8f, 0.5f, 0.2f, 0.4f, L"Z");
  axis.SetColor({0, 0, 255, 200});
  // What each item shows where it shows a plain colour: its own, or the caller's
  // (points), lit or not; a point of size 3 covers 3 x 3 pixels, of size 1 one.
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
               {"PointsOfSize0", &unsized, kCallers, 2},
               {"Polyline", &polyline, std::nullopt},
               {"PolylineOfNegativeWidth", &unwidened, std::nullopt},
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
      EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
      glPopClientAttrib();
      glPopAttrib();
      const platform::Image image = Present();
      const int shown = Count(image, colour);
      EXPECT_TRUE(exactly > 0 ? shown == exactly : shown >= 4) << shown << " pixels; " << SavePicture(image, name);
    }
  }
}

constexpr Rgb kYellow = {255, 255, 0};
constexpr Rgb kRed = {255, 0, 0};

using OverlayItemsTest = NimboTest::ItemFixture;

TEST_F(OverlayItemsTest, TheCircleIsAnUnlitLoopOfItsRadiusAndThePolylineHasWidthAndStipple) {
  Light();
  GeometryItemCircle2DGL circle(1);
  circle.SetColor({255, 255, 0, 255});
  circle.radius = 0.5f;
  circle.Display(nullptr);
  platform::Image image = Present();
  // x = 0.5 falls on columns 47/48.
  EXPECT_GT(Count(image, kYellow, 46, 49, 32, 32), 0) << SavePicture(image, "radius0.5");
  EXPECT_EQ(Count(image, kYellow, 18, 45, 32, 32), 0) << "a loop, not a disc";

  Clear();
  // Along row 31, under a caller's stipple that must not leak into a solid polyline.
  constexpr float kRow31 = 1.0f - 31.5f / 32.0f;
  const float across[] = {-1, kRow31, 0, 0, kRow31, 0, 1, kRow31, 0};
  GeometryItemPolylineGL polyline(1, across, 9);
  polyline.SetColor({255, 255, 0, 255});
  glEnable(GL_LINE_STIPPLE);
  glLineStipple(1, 0x0101);
  polyline.Display(nullptr);
  image = Present();
  EXPECT_EQ(Count(image, kYellow, 2, 61, 31, 31), 60);

  Clear();
  polyline.lineWidth = 5.0f;
  polyline.stipplePattern = 0xF0F0;
  polyline.Display(nullptr);
  image = Present();
  EXPECT_EQ(Count(image, kYellow, 2, 61, 31, 31), 30) << "four pixels on, four off";
  EXPECT_EQ(Count(image, kYellow), 5 * Count(image, kYellow, 0, 63, 31, 31)) << SavePicture(image, "wide, stippled");
  glDisable(GL_LINE_STIPPLE);
}

// Arrow from y = -0.8 up the screen: shaft radius 0.1 to y = -0.1, cone of
// radius 0.3 to the tip at y = 0.4; the label starts just above it.
TEST_F(OverlayItemsTest, TheAxisIsALitArrowAlongPlusZLabelledWithTheViewsTextManager) {
  Light();
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
  EXPECT_GT(centre[0], 200) << SavePicture(image, "axis");
  EXPECT_LT(centre[1], 40);
  EXPECT_GT(centre[0], image.At(29, 48)[0] + 40) << "lit by its normals: x = -0.08 is turned away";
  EXPECT_EQ(Count(image, {}, 37, 37, 48, 48), 0) << "x = 0.17 is beyond the shaft";
  EXPECT_GT(image.At(37, 30)[0], 100) << "but within the cone";
  EXPECT_EQ(Count(image, {}, 32, 32, 12, 12), 0) << "above the tip";
  EXPECT_EQ(Count(image, kRed, 0, 63, 0, 16), 0) << "no label without a text manager";

  // Seen from below with back faces culled, the shaft's cap and the cone's
  // base ring must face the viewer: their winding agrees with their normals.
  Clear();
  glEnable(GL_CULL_FACE);
  glRotatef(180.0f, 1.0f, 0.0f, 0.0f);
  axis.Display(nullptr);
  image = Present();
  EXPECT_GT(image.At(32, 32)[0], 200) << "the cap, x = 0.02; " << SavePicture(image, "from below");
  EXPECT_GT(image.At(38, 32)[0], 200) << "the ring, x = 0.2";
  EXPECT_GT(image.At(39, 31)[0], 200) << "and where its last slice closes it, just short of +x";
  glDisable(GL_CULL_FACE);

  Clear();
  glTranslatef(0.0f, -0.8f, 0.0f);
  glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
  const std::string before = NimboTest::GLState();
  axis.Display(&view);
  EXPECT_EQ(NimboTest::GLState(), before);
  image = Present();
  EXPECT_GT(Count(image, kRed, 0, 63, 0, 16), 15) << SavePicture(image, "label");
  EXPECT_EQ(Count(image, {}, 0, 29, 0, 16), 0) << "the label starts at the axis";
}

constexpr Rgb kGreen = {0, 255, 0};

using TextManagerTest = NimboTest::ItemFixture;

// The glyphs belong to a context: none without one, and a context that
// replaces the first gets its own.
TEST_F(TextManagerTest, TextShowsInEveryContextWithAFallbackGlyphAndNothingWithoutOne) {
  TextManagerGL manager(nullptr);
  const float position[3] = {-0.5f, 0.0f, 0.0f};
  const auto Draw = [&](const std::wstring& text) {
    Clear();
    glColor3ub(0, 255, 0);
    manager.RenderText(position, text);
    return Present();
  };
  const HGLRC context = wglGetCurrentContext();
  ASSERT_TRUE(wglMakeCurrent(nullptr, nullptr));
  EXPECT_FALSE(manager.IsFontAvailable());
  manager.RenderText(position, L"A");
  ASSERT_TRUE(wglMakeCurrent(DeviceContext(), context));
  EXPECT_GT(Count(Draw(L"H"), kGreen), 5);
  RenewContext();
  glViewport(0, 0, Size, Size);
  const platform::Image image = Draw(L"H");
  EXPECT_GT(Count(image, kGreen), 5) << SavePicture(image, "second context");
  // Characters without a glyph show as question marks; blanks draw nothing.
  const platform::Image question = Draw(L"?");
  EXPECT_GT(Count(question, kGreen), 5);
  EXPECT_TRUE(question.rgba == Draw(L"\u00e9").rgba);
  EXPECT_EQ(Count(Draw(L""), {}), 0);
  EXPECT_EQ(Count(Draw(L"  "), {}), 0);
}

}  // namespace
