// Bitmap text of TextManagerGL in real contexts.
#include <algorithm>

#include "ItemGLTest.h"
#include "KivVizOpenGL/TextManagerGL.h"

namespace {

struct InkBox {
  int count = 0;
  int left = 1000;
  int bottom = -1;
};

// Where the green pixels are.
InkBox Ink(const platform::Image& image) {
  InkBox box;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const auto pixel = image.At(x, y);
      if (pixel[0] == 0 && pixel[1] == 255 && pixel[2] == 0) {
        ++box.count;
        box.left = std::min(box.left, x);
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

TEST_F(TextManagerGLTest, TextStartsAtThePositionInTheCurrentColourAndLeavesTheState) {
  // Lit, the raster colour would not be the current colour.
  glEnable(GL_LIGHTING);
  glListBase(9);
  const platform::Image two = Draw(-0.5f, 0.0f, L"HH");
  const InkBox ink = Ink(two);
  EXPECT_GE(ink.left, 16) << "x = -0.5 is column 16; " << Save(two, "text");
  EXPECT_LE(ink.left, 19);
  EXPECT_LE(ink.bottom, 32) << "above the baseline at row 32";
  EXPECT_GE(ink.bottom, 29);
  const InkBox one = Ink(Draw(-0.5f, 0.0f, L"H"));
  EXPECT_GT(one.count, 10);
  EXPECT_EQ(ink.count, 2 * one.count) << "two letters side by side";
  const InkBox moved = Ink(Draw(0.0f, -0.5f, L"H"));
  EXPECT_EQ(moved.left - one.left, 16);
  EXPECT_EQ(moved.bottom - one.bottom, 16);

  glRasterPos2f(0.25f, 0.25f);
  glColor4f(0.0f, 1.0f, 0.0f, 0.5f);
  const std::string before = NimboTest::GLState();
  const float position[3] = {-0.5f, 0.0f, 0.0f};
  manager.RenderText(position, L"A");
  EXPECT_EQ(NimboTest::GLState(), before);
  glDisable(GL_LIGHTING);
  glListBase(0);
}

TEST_F(TextManagerGLTest, CharactersWithoutAGlyphShowAsQuestionMarksAndBlanksDrawNothing) {
  const platform::Image question = Draw(-0.5f, 0.0f, L"?");
  EXPECT_GT(Ink(question).count, 5);
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

  EXPECT_GT(Ink(Draw(-0.5f, 0.0f, L"H")).count, 5);
  // Another context replaces this one; the manager outlives both.
  gl.reset();
  gl.emplace(Size, Size);
  glViewport(0, 0, Size, Size);
  EXPECT_EQ(CountLists(), 0);
  const platform::Image image = Draw(-0.5f, 0.0f, L"H");
  EXPECT_GT(Ink(image).count, 5) << Save(image, "second context");
  EXPECT_EQ(CountLists(), 96);
}

}  // namespace
