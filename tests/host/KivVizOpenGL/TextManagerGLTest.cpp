// Bitmap text of TextManagerGL in real contexts.
#include <windows.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "GLStateSnapshot.h"
#include "ItemGLTest.h"
#include "KivVizOpenGL/TextManagerGL.h"

namespace {

using NimboTest::Rgb;

struct InkBox {
  int count = 0;
  int left = 1000;
  int right = -1;
  int top = 1000;
  int bottom = -1;
};

// Where pixels of the colour are.
InkBox Ink(const platform::Image& image, const Rgb& rgb) {
  InkBox box;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const auto pixel = image.At(x, y);
      if (pixel[0] == rgb[0] && pixel[1] == rgb[1] && pixel[2] == rgb[2]) {
        ++box.count;
        box.left = std::min(box.left, x);
        box.right = std::max(box.right, x);
        box.top = std::min(box.top, y);
        box.bottom = std::max(box.bottom, y);
      }
    }
  }
  return box;
}

// Display lists that exist among the first names.
int CountLists() {
  int lists = 0;
  for (GLuint name = 1; name < 2000; ++name) lists += glIsList(name) ? 1 : 0;
  return lists;
}

constexpr Rgb Green = {0, 255, 0};

class TextManagerGLTest : public NimboTest::ItemGLTest {
 protected:
  platform::Image Draw(const float (&position)[3], const std::wstring& text) {
    Clear();
    glColor3ub(0, 255, 0);
    manager.RenderText(position, text);
    return Present();
  }

  TextManagerGL manager{nullptr};
};

TEST_F(TextManagerGLTest, TextStartsAtThePositionInTheCurrentColour) {
  // Lit, the raster colour would not be the current colour.
  glEnable(GL_LIGHTING);
  const platform::Image image = Draw({-0.5f, 0.0f, 0.0f}, L"HH");
  const InkBox ink = Ink(image, Green);
  EXPECT_GT(ink.count, 20) << Save(image, "text");
  EXPECT_GE(ink.left, 16) << "x = -0.5 is column 16";
  EXPECT_LE(ink.left, 19);
  EXPECT_LE(ink.bottom, 32) << "above the baseline at row 32";
  EXPECT_GE(ink.bottom, 29);
  EXPECT_GT(ink.right - ink.left, 10) << "two letters side by side";
  glDisable(GL_LIGHTING);
}

TEST_F(TextManagerGLTest, ThePositionMovesTheText) {
  const InkBox first = Ink(Draw({-0.5f, 0.0f, 0.0f}, L"H"), Green);
  const InkBox moved = Ink(Draw({0.0f, -0.5f, 0.0f}, L"H"), Green);
  EXPECT_EQ(moved.left - first.left, 16);
  EXPECT_EQ(moved.bottom - first.bottom, 16);
  EXPECT_EQ(moved.count, first.count);
}

TEST_F(TextManagerGLTest, CharactersWithoutAGlyphShowAsQuestionMarks) {
  const platform::Image question = Draw({-0.5f, 0.0f, 0.0f}, L"?");
  const platform::Image accented = Draw({-0.5f, 0.0f, 0.0f}, L"\u00e9");
  EXPECT_GT(Ink(question, Green).count, 5);
  EXPECT_TRUE(question.rgba == accented.rgba);
  EXPECT_EQ(CountDrawn(Draw({-0.5f, 0.0f, 0.0f}, L"")), 0);
  EXPECT_EQ(CountDrawn(Draw({-0.5f, 0.0f, 0.0f}, L"  ")), 0);
}

TEST_F(TextManagerGLTest, LeavesTheStateAsItFoundIt) {
  glEnable(GL_LIGHTING);
  glListBase(9);
  glRasterPos2f(0.25f, 0.25f);
  glColor4f(0.0f, 1.0f, 0.0f, 0.5f);
  const NimboTest::GLStateSnapshot before = NimboTest::GLStateSnapshot::Capture();
  const float position[3] = {-0.5f, 0.0f, 0.0f};
  manager.RenderText(position, L"A");
  EXPECT_EQ(NimboTest::GLStateSnapshot::Capture(), before);
  glDisable(GL_LIGHTING);
  glListBase(0);
}

TEST_F(TextManagerGLTest, TheListsLiveWithTheManager) {
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
}

TEST_F(TextManagerGLTest, WithoutACurrentContextThereIsNoFont) {
  const HGLRC context = wglGetCurrentContext();
  ASSERT_TRUE(wglMakeCurrent(nullptr, nullptr));
  EXPECT_FALSE(manager.IsFontAvailable());
  const float position[3] = {0, 0, 0};
  manager.RenderText(position, L"A");
  ASSERT_TRUE(wglMakeCurrent(gl->DeviceContext(), context));
  EXPECT_EQ(CountLists(), 0) << "nothing was made for this context";
  EXPECT_TRUE(manager.IsFontAvailable());
}

TEST_F(TextManagerGLTest, ANewContextGetsItsOwnLists) {
  const float position[3] = {-0.5f, 0.0f, 0.0f};
  EXPECT_GT(Ink(Draw({-0.5f, 0.0f, 0.0f}, L"H"), Green).count, 5);
  // Another context replaces this one; the manager outlives both.
  gl.reset();
  gl.emplace(Size, Size);
  glViewport(0, 0, Size, Size);
  EXPECT_EQ(CountLists(), 0);
  const platform::Image image = Draw(position, L"H");
  EXPECT_GT(Ink(image, Green).count, 5) << Save(image, "second context");
  EXPECT_EQ(CountLists(), 96);
}

}  // namespace
