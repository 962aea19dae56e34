// Font display lists need a current context; GDI font objects' failures.

#include "GLFixture.h"
#include "Win32Expect.h"

namespace {

HFONT MakeFont(int height) {
  return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, OEM_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, 0, L"DejaVu Sans");
}

using FontListTest = NimboTest::GLFixture;

TEST_F(FontListTest, WithoutACurrentContextFontListsAreNotBuilt) {
  HDC dc = DeviceContext();
  HFONT font = MakeFont(-20);
  HGDIOBJ previous = SelectObject(dc, font);
  const HGLRC context = wglGetCurrentContext();
  ASSERT_TRUE(wglMakeCurrent(nullptr, nullptr));
  EXPECT_EQ(glGenLists(96), 0u) << "GL calls without a context do nothing";
  // The lists are for "the current OpenGL rendering context": without one
  // the call fails, except on Wine, which returns TRUE having built nothing.
  if (!NimboTest::RunsOnWine()) {
    EXPECT_FAILS_WITH_EGL_CODE(wglUseFontBitmapsW(dc, 32, 96, 0), ERROR_INVALID_HANDLE);
  }
  ASSERT_TRUE(wglMakeCurrent(dc, context));
  const GLuint base = glGenLists(96);
  EXPECT_TRUE(wglUseFontBitmapsW(dc, 32, 96, base)) << "with one they are";
  glDeleteLists(base, 96);
  SelectObject(dc, previous);
  EXPECT_TRUE(DeleteObject(font));
}

TEST(FontObjectTest, SelectedFontsCannotBeDeletedAndBadHandlesAreRefused) {
  platform::Window window = platform::Window::CreateOffscreen(8, 8);
  HDC dc = GetDC(window.Handle());
  HFONT font = MakeFont(-12);
  HGDIOBJ original = SelectObject(dc, font);
  ASSERT_NE(original, nullptr);
  // Win32 documents zero for a font still selected into a DC; Wine returns
  // TRUE and deletes it once it is deselected.
  if (!NimboTest::RunsOnWine()) {
    EXPECT_FALSE(DeleteObject(font)) << "still selected into a device context";
  }
  EXPECT_EQ(SelectObject(dc, original), font);
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_FAILS_WITH_EGL_CODE(DeleteObject(font), ERROR_INVALID_HANDLE);  // already deleted
  EXPECT_TRUE(DeleteObject(original)) << "stock objects may be deleted harmlessly";
  EXPECT_EQ(SelectObject(dc, original), original) << "and stay usable";
  int notAnObject = 0;
  EXPECT_FAILS_WITH_EGL_CODE(SelectObject(dc, &notAnObject), ERROR_INVALID_HANDLE);
  EXPECT_EQ(SelectObject(nullptr, original), nullptr);
}

}  // namespace
