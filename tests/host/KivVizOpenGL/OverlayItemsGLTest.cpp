// The overlay items in a real context: the circle, the polyline's width,
// stipple and points, and the lit axis arrow with its label.
#include <windows.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

#include "GLStateSnapshot.h"
#include "ItemGLTest.h"
#include "KivVizOpenGL/GeometryItemAxisGL.h"
#include "KivVizOpenGL/GeometryItemCircle2DGL.h"
#include "KivVizOpenGL/GeometryItemPolylineGL.h"
#include "LabelView.h"

namespace {

using NimboTest::Rgb;

constexpr Rgb Yellow = {255, 255, 0};

// The centre of pixel row `row` (from the top) in the fixture's view.
float RowY(int row) { return 1.0f - (static_cast<float>(row) + 0.5f) / 32.0f; }

bool IsColour(const std::array<std::uint8_t, 4>& pixel, const Rgb& rgb) {
  return pixel[0] == rgb[0] && pixel[1] == rgb[1] && pixel[2] == rgb[2];
}

// Whether any pixel of row y, columns [x0, x1], has the colour.
bool RowHas(const platform::Image& image, int y, int x0, int x1, const Rgb& rgb) {
  for (int x = x0; x <= x1; ++x) {
    if (IsColour(image.At(x, y), rgb)) return true;
  }
  return false;
}

class OverlayItemsGLTest : public NimboTest::ItemGLTest {
 protected:
  void SetUp() override {
    ItemGLTest::SetUp();
    // Overlays are drawn with the view's lights on; unlit items must not care.
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
  // x = +-0.5 falls on columns 47/48 and 15/16; y = +-0.5 on rows 15/16 and 47/48.
  EXPECT_TRUE(RowHas(image, 32, 46, 49, Yellow)) << Save(image, "radius0.5");
  EXPECT_TRUE(RowHas(image, 32, 14, 17, Yellow));
  EXPECT_TRUE(PixelIs(image, 32, 32, Background)) << "a loop, not a disc";
  EXPECT_FALSE(RowHas(image, 32, 51, 63, Yellow));
  EXPECT_FALSE(RowHas(image, 32, 18, 45, Yellow));

  Clear();
  circle.radius = 0.75f;
  circle.Display(nullptr);
  image = Present();
  EXPECT_TRUE(RowHas(image, 32, 54, 57, Yellow)) << Save(image, "radius0.75");
  EXPECT_FALSE(RowHas(image, 32, 46, 49, Yellow));
}

TEST_F(OverlayItemsGLTest, TheCircleHasItsNumberOfSegments) {
  GeometryItemCircle2DGL circle(1);
  circle.SetColor({255, 255, 0, 255});
  circle.radius = 0.75f;
  circle.segments = 4;
  circle.Display(nullptr);
  const platform::Image image = Present();
  // A square on its corner: its side passes (0.375, 0.375), where a round
  // circle would be at (0.53, 0.53).
  EXPECT_TRUE(RowHas(image, 20, 42, 46, Yellow)) << Save(image, "square");
  EXPECT_FALSE(RowHas(image, 15, 47, 51, Yellow));
}

// Yellow pixels in column x.
int ColumnCount(const platform::Image& image, int x) {
  int count = 0;
  for (int y = 0; y < image.height; ++y) count += IsColour(image.At(x, y), Yellow) ? 1 : 0;
  return count;
}

// Yellow pixels in row y, and the longest run of others between them.
int RowCount(const platform::Image& image, int y, int& longestGap) {
  int count = 0;
  int gap = 0;
  longestGap = 0;
  for (int x = 2; x < image.width - 2; ++x) {
    if (IsColour(image.At(x, y), Yellow)) {
      ++count;
      gap = 0;
    } else {
      longestGap = std::max(longestGap, ++gap);
    }
  }
  return count;
}

class PolylineGLTest : public OverlayItemsGLTest {
 protected:
  void SetUp() override {
    OverlayItemsGLTest::SetUp();
    polyline.SetColor({255, 255, 0, 255});
  }

  // A horizontal line across the view along row 31.
  static constexpr float AcrossRow31[] = {-1, 1 - 31.5f / 32, 0, 0, 1 - 31.5f / 32, 0, 1, 1 - 31.5f / 32, 0};
  GeometryItemPolylineGL polyline{1, AcrossRow31, 9};
};

TEST_F(PolylineGLTest, LineWidthWidensTheLine) {
  polyline.Display(nullptr);
  EXPECT_EQ(ColumnCount(Present(), 20), 1);
  Clear();
  polyline.lineWidth = 5.0f;
  polyline.Display(nullptr);
  const platform::Image image = Present();
  EXPECT_EQ(ColumnCount(image, 20), 5) << Save(image, "wide");
  float width = 0.0f;
  glGetFloatv(GL_LINE_WIDTH, &width);
  EXPECT_EQ(width, 1.0f);
}

TEST_F(PolylineGLTest, StipplePatternLeavesGaps) {
  // A caller's stipple does not leak into a solid polyline.
  glEnable(GL_LINE_STIPPLE);
  glLineStipple(1, 0x0101);
  polyline.Display(nullptr);
  int gap = 0;
  EXPECT_EQ(RowCount(Present(), 31, gap), 60);
  EXPECT_EQ(gap, 0);

  Clear();
  polyline.stipplePattern = 0xF0F0;
  polyline.Display(nullptr);
  const platform::Image image = Present();
  EXPECT_EQ(RowCount(image, 31, gap), 30) << Save(image, "stippled");
  EXPECT_EQ(gap, 4) << "four pixels on, four off";
  EXPECT_TRUE(glIsEnabled(GL_LINE_STIPPLE));
  GLint pattern = 0;
  glGetIntegerv(GL_LINE_STIPPLE_PATTERN, &pattern);
  EXPECT_EQ(pattern, 0x0101);
  glDisable(GL_LINE_STIPPLE);
}

TEST_F(PolylineGLTest, UpdateMovesTheLine) {
  const float points[] = {-1, RowY(10), 0, 1, RowY(10), 0};
  polyline.Update(points, 6);
  polyline.Display(nullptr);
  const platform::Image image = Present();
  int gap = 0;
  EXPECT_EQ(RowCount(image, 31, gap), 0);
  EXPECT_EQ(RowCount(image, 10, gap), 60);
}

TEST_F(PolylineGLTest, ASinglePointDrawsNothing) {
  const float point[] = {0, 0, 0};
  polyline.Update(point, 3);
  polyline.Display(nullptr);
  EXPECT_EQ(CountDrawn(Present()), 0);
}

class AxisGLTest : public OverlayItemsGLTest {
 protected:
  // Arrow from y = -0.8 up the screen: shaft radius 0.1 to y = -0.1, cone
  // of radius 0.3 to the tip at y = 0.4; the label starts just above it.
  void SetUp() override {
    OverlayItemsGLTest::SetUp();
    axis.SetColor({255, 0, 0, 255});
    glTranslatef(0.0f, -0.8f, 0.0f);
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
  }

  // Pure red pixels (the unlit label) in the rows above the tip.
  static int LabelPixels(const platform::Image& image) {
    int count = 0;
    for (int y = 0; y < 17; ++y)
      for (int x = 0; x < image.width; ++x) count += IsColour(image.At(x, y), {255, 0, 0}) ? 1 : 0;
    return count;
  }

  GeometryItemAxisGL axis{1, 24, 2, 1.2f, 0.7f, 0.1f, 0.3f, L"Z"};
};

TEST_F(AxisGLTest, ShaftAndConeAreLitAlongPlusZ) {
  axis.Display(nullptr);
  const platform::Image image = Present();
  const auto centre = image.At(32, 48);  // shaft, y = -0.5
  const auto side = image.At(29, 48);    // x = -0.08, a surface turned away
  EXPECT_GT(centre[0], 200) << Save(image, "axis");
  EXPECT_LT(centre[1], 40);
  EXPECT_GT(centre[0], side[0] + 40) << "lit by its normals";
  EXPECT_TRUE(PixelIs(image, 37, 48, Background)) << "x = 0.17 is beyond the shaft";
  EXPECT_GT(image.At(37, 30)[0], 100) << "but within the cone";
  EXPECT_TRUE(PixelIs(image, 32, 12, Background)) << "above the tip";
  EXPECT_TRUE(PixelIs(image, 32, 60, Background)) << "below the foot";
  EXPECT_EQ(LabelPixels(image), 0) << "no text manager to draw the label with";
}

TEST_F(AxisGLTest, TheLabelIsDrawnAtTheTipWithTheViewsTextManager) {
  NimboTest::LabelView view;
  const NimboTest::GLStateSnapshot before = NimboTest::GLStateSnapshot::Capture();
  axis.Display(&view);
  EXPECT_EQ(NimboTest::GLStateSnapshot::Capture(), before);
  const platform::Image image = Present();
  EXPECT_GT(LabelPixels(image), 15) << Save(image, "label");
  for (int y = 0; y < 17; ++y) {
    for (int x = 0; x < 30; ++x) {
      ASSERT_TRUE(IsBackground(image.At(x, y))) << "the label starts at the axis, at " << x << "," << y;
    }
  }
}

}  // namespace
