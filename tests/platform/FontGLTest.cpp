// Bitmap font display lists on a real context, the face fallback, and GDI font
// objects' failures.
#include <windows.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>

#include "FontBitmaps.h"
#include "OffscreenGLFixture.h"
#include "platform/Image.h"

namespace {

HFONT MakeFont(int height, const wchar_t* face) {
  return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, OEM_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, 0, face);
}

int CountLitPixels(const platform::Image& image) {
  int lit = 0;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) lit += image.At(x, y)[0] > 128 ? 1 : 0;
  }
  return lit;
}

class FontGLTest : public OffscreenGLTest {
 protected:
  // Display lists for the printable characters of the font.
  GLuint Lists(int height, const wchar_t* face) {
    const GLuint base = glGenLists(96);
    HFONT font = MakeFont(height, face);
    HGDIOBJ previous = SelectObject(dc, font);
    EXPECT_TRUE(wglUseFontBitmapsW(dc, 32, 96, base));
    EXPECT_EQ(SelectObject(dc, previous), font);
    EXPECT_TRUE(DeleteObject(font));
    return base;
  }
  // Draws `text` in white at the lower left with the lists from `base`.
  platform::Image DrawText(GLuint base, const std::string& text) {
    glViewport(0, 0, kWidth, kHeight);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, kWidth, 0.0, kHeight, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
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

TEST_F(FontGLTest, FontListsDrawGlyphsThatAdvanceTheRasterPositionInTheFallbackFace) {
  // An unknown face falls back to the default face.
  const GLuint base = Lists(-20, L"Tarvo ISO 1");
  EXPECT_EQ(CountLitPixels(DrawText(base, " ")), 0) << "a space draws nothing";
  const int oneGlyph = CountLitPixels(DrawText(base, "H"));
  EXPECT_GT(oneGlyph, 20);
  const platform::Image image = DrawText(base, "HH");
  EXPECT_GT(CountLitPixels(image), oneGlyph * 3 / 2) << "the raster position advances";
  // A glyph 20 pixels high stays within 20 rows above the baseline.
  for (int y = 0; y < kHeight - 10 - 21; ++y) {
    for (int x = 0; x < kWidth; ++x) ASSERT_LT(image.At(x, y)[0], 128) << x << "," << y;
  }
  glDeleteLists(base, 96);

  HFONT__ unknown;
  unknown.faceName = L"Tarvo ISO 1";
  HFONT__ known;
  known.faceName = L"DejaVu Sans";
  int index = -1;
  EXPECT_FALSE(platform::detail::FontBitmaps::MatchFile(unknown, index).empty());
  EXPECT_GE(index, 0);
  EXPECT_NE(platform::detail::FontBitmaps::MatchFile(known, index).find("DejaVuSans"), std::string::npos);
}

TEST_F(FontGLTest, WithoutACurrentContextTheListsAreNotBuilt) {
  HFONT font = MakeFont(-20, L"DejaVu Sans");
  HGDIOBJ previous = SelectObject(dc, font);
  ASSERT_TRUE(wglMakeCurrent(nullptr, nullptr));
  EXPECT_EQ(glGenLists(96), 0u) << "GL calls without a context do nothing";
  EXPECT_FAILS_WITH(wglUseFontBitmapsW(dc, 32, 96, 0), ERROR_INVALID_HANDLE);
  ASSERT_TRUE(wglMakeCurrent(dc, context));
  SelectObject(dc, previous);
  EXPECT_TRUE(DeleteObject(font));
}

TEST(FontObjectTest, SelectedFontsCannotBeDeletedAndBadHandlesAreRefused) {
  platform::Window window = platform::Window::CreateOffscreen(8, 8);
  HDC dc = GetDC(window.Handle());
  HFONT font = MakeFont(-12, L"DejaVu Sans");
  HGDIOBJ original = SelectObject(dc, font);
  ASSERT_NE(original, nullptr);
  EXPECT_FALSE(DeleteObject(font)) << "still selected into a device context";
  EXPECT_EQ(SelectObject(dc, original), font);
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_FAILS_WITH(DeleteObject(font), ERROR_INVALID_HANDLE);  // already deleted
  EXPECT_TRUE(DeleteObject(original)) << "stock objects may be deleted harmlessly";
  EXPECT_EQ(SelectObject(dc, original), original) << "and stay usable";
  int notAnObject = 0;
  EXPECT_FAILS_WITH(SelectObject(dc, &notAnObject), ERROR_INVALID_HANDLE);
  HFONT other = MakeFont(-12, L"DejaVu Sans");
  EXPECT_EQ(SelectObject(nullptr, other), nullptr);
  EXPECT_TRUE(DeleteObject(other));
}

}  // namespace
