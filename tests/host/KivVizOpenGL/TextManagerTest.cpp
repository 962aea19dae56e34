// Bitmap text of TextManagerGL in real contexts: the fallback glyph and the
// display lists each context gets (where text lands is pinned by the axis label).
#include "ItemFixture.h"
#include "KivVizOpenGL/TextManagerGL.h"

namespace {

constexpr NimboTest::Rgb kGreen = {0, 255, 0};

// Display lists that exist among the first names.
int CountLists() {
  int lists = 0;
  for (GLuint name = 1; name < 2000; ++name) lists += glIsList(name) ? 1 : 0;
  return lists;
}

class TextManagerTest : public NimboTest::ItemFixture {
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

TEST_F(TextManagerTest, CharactersWithoutAGlyphShowAsQuestionMarksAndBlanksDrawNothing) {
  const platform::Image question = Draw(-0.5f, 0.0f, L"?");
  EXPECT_GT(Count(question, kGreen), 5);
  EXPECT_TRUE(question.rgba == Draw(-0.5f, 0.0f, L"\u00e9").rgba);
  EXPECT_EQ(CountDrawn(Draw(-0.5f, 0.0f, L"")), 0);
  EXPECT_EQ(CountDrawn(Draw(-0.5f, 0.0f, L"  ")), 0);
}

TEST_F(TextManagerTest, EachContextGetsItsOwnListsWhichLiveWithTheManager) {
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
  ASSERT_TRUE(wglMakeCurrent(DeviceContext(), context));
  EXPECT_EQ(CountLists(), 0);

  EXPECT_GT(Count(Draw(-0.5f, 0.0f, L"H"), kGreen), 5);
  // Another context replaces this one; the manager outlives both.
  RenewContext();
  glViewport(0, 0, Size, Size);
  EXPECT_EQ(CountLists(), 0);
  const platform::Image image = Draw(-0.5f, 0.0f, L"H");
  EXPECT_GT(Count(image, kGreen), 5) << SavePicture(image, "second context");
  EXPECT_EQ(CountLists(), 96);
}

}  // namespace
