#include <windows.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>

#include "FontBitmaps.h"
#include "OffscreenGLFixture.h"
#include "platform/Image.h"

namespace {

HFONT MakeFont(int height, const wchar_t* face) {
  return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, OEM_CHARSET, OUT_TT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, 0, face);
}

int CountLitPixels(const platform::Image& image) {
  int lit = 0;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      if (image.At(x, y)[0] > 128) ++lit;
  return lit;
}

class FontGLTest : public OffscreenGLTest {
 protected:
  // Draws `text` in white at the lower left with the lists from `base`.
  platform::Image DrawText(GLuint base, const std::string& text) {
    glViewport(0, 0, window->Width(), window->Height());
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, window->Width(), 0.0, window->Height(), -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3f(1.0f, 1.0f, 1.0f);
    glRasterPos2i(4, 10);
    glListBase(base - 32);
    glCallLists(static_cast<GLsizei>(text.size()), GL_UNSIGNED_BYTE, text.data());
    glListBase(0);
    glFinish();
    SwapBuffers(dc);
    return window->PresentedImage();
  }
};

TEST_F(FontGLTest, FontListsDrawVisibleGlyphs) {
  const GLuint base = glGenLists(96);
  ASSERT_NE(base, 0u);
  HFONT font = MakeFont(-20, L"Tarvo ISO 1");
  ASSERT_NE(font, nullptr);
  HGDIOBJ previous = SelectObject(dc, font);
  ASSERT_NE(previous, nullptr);
  ASSERT_TRUE(wglUseFontBitmapsW(dc, 32, 96, base));
  EXPECT_EQ(SelectObject(dc, previous), font);
  EXPECT_TRUE(DeleteObject(font));

  EXPECT_EQ(CountLitPixels(DrawText(base, " ")), 0) << "a space draws nothing";
  const int oneGlyph = CountLitPixels(DrawText(base, "H"));
  EXPECT_GT(oneGlyph, 20);
  // A glyph 20 pixels high stays within 20 rows above the baseline.
  const platform::Image image = DrawText(base, "HH");
  EXPECT_GT(CountLitPixels(image), oneGlyph * 3 / 2) << "the raster position advances";
  for (int y = 0; y < kHeight - 10 - 21; ++y)
    for (int x = 0; x < kWidth; ++x) EXPECT_LT(image.At(x, y)[0], 128) << x << "," << y;
  glDeleteLists(base, 96);
}

TEST_F(FontGLTest, BiggerFontsDrawBiggerGlyphs) {
  const GLuint small = glGenLists(96);
  const GLuint large = glGenLists(96);
  HFONT smallFont = MakeFont(-10, L"DejaVu Sans");
  HFONT largeFont = MakeFont(-24, L"DejaVu Sans");
  HGDIOBJ previous = SelectObject(dc, smallFont);
  ASSERT_TRUE(wglUseFontBitmapsW(dc, 32, 96, small));
  SelectObject(dc, largeFont);
  ASSERT_TRUE(wglUseFontBitmapsW(dc, 32, 96, large));
  SelectObject(dc, previous);
  EXPECT_GT(CountLitPixels(DrawText(large, "W")), 2 * CountLitPixels(DrawText(small, "W")));
  DeleteObject(smallFont);
  DeleteObject(largeFont);
  glDeleteLists(small, 96);
  glDeleteLists(large, 96);
}

TEST_F(FontGLTest, WithoutACurrentContextTheListsAreNotBuilt) {
  HFONT font = MakeFont(-20, L"Tarvo ISO 1");
  HGDIOBJ previous = SelectObject(dc, font);
  ASSERT_TRUE(wglMakeCurrent(nullptr, nullptr));
  EXPECT_EQ(glGenLists(96), 0u) << "GL calls without a context do nothing";
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(wglUseFontBitmapsW(dc, 32, 96, 0));
  EXPECT_NE(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  ASSERT_TRUE(wglMakeCurrent(dc, context));
  SelectObject(dc, previous);
  EXPECT_TRUE(DeleteObject(font));
}

TEST(FontObjectTest, SelectedFontsCannotBeDeleted) {
  platform::Window window = platform::Window::CreateOffscreen(8, 8);
  HDC dc = GetDC(window.Handle());
  HFONT font = MakeFont(-12, L"DejaVu Sans");
  HGDIOBJ original = SelectObject(dc, font);
  ASSERT_NE(original, nullptr);
  EXPECT_FALSE(DeleteObject(font)) << "still selected into a device context";
  EXPECT_EQ(SelectObject(dc, original), font);
  EXPECT_TRUE(DeleteObject(font));
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(DeleteObject(font)) << "already deleted";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_TRUE(DeleteObject(original)) << "stock objects may be deleted harmlessly";
  EXPECT_EQ(SelectObject(dc, original), original) << "and stay usable";
}

TEST(FontObjectTest, SelectObjectRejectsBadHandles) {
  platform::Window window = platform::Window::CreateOffscreen(8, 8);
  HDC dc = GetDC(window.Handle());
  int notAnObject = 0;
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(SelectObject(dc, &notAnObject), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  HFONT font = MakeFont(-12, L"DejaVu Sans");
  EXPECT_EQ(SelectObject(nullptr, font), nullptr);
  EXPECT_TRUE(DeleteObject(font));
}

TEST(FontObjectTest, UnknownFaceFallsBackToTheDefaultFace) {
  HFONT__ unknown;
  unknown.faceName = L"Tarvo ISO 1";
  HFONT__ known;
  known.faceName = L"DejaVu Sans";
  int index = -1;
  const std::string fallback = platform::detail::FontBitmaps::MatchFile(unknown, index);
  EXPECT_FALSE(fallback.empty());
  EXPECT_GE(index, 0);
  EXPECT_NE(platform::detail::FontBitmaps::MatchFile(known, index).find("DejaVuSans"),
            std::string::npos);
}

}  // namespace
