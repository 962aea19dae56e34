// Pixel formats and rendering contexts on offscreen windows: what is offered
// and chosen, where a context may be current, and the Win32 codes of failures.
#include <windows.h>

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include "OffscreenGLFixture.h"
#include "platform/Window.h"

namespace {

struct PreparedWindow {
  platform::Window window = platform::Window::CreateOffscreen(32, 32);
  HDC dc = GetDC(window.Handle());
  int format = SetStandardFormat(dc);
};

class PixelFormatGLTest : public ::testing::Test {
 protected:
  platform::Window window = platform::Window::CreateOffscreen(32, 32);
  HDC dc = GetDC(window.Handle());
  const int count = DescribePixelFormat(dc, 1, 0, nullptr);
};

TEST_F(PixelFormatGLTest, EveryFormatIsAnOpenGLWindowFormatThatAnExactRequestGets) {
  ASSERT_GT(count, 0);
  std::vector<PIXELFORMATDESCRIPTOR> formats(static_cast<std::size_t>(count));
  for (int i = 1; i <= count; ++i) EXPECT_EQ(DescribePixelFormat(dc, i, sizeof formats[0], &formats[i - 1]), count);
  for (const auto& offered : formats) {
    EXPECT_EQ(offered.nSize, sizeof(PIXELFORMATDESCRIPTOR));
    EXPECT_EQ(offered.iPixelType, PFD_TYPE_RGBA);
    EXPECT_TRUE(offered.dwFlags & PFD_SUPPORT_OPENGL);
    EXPECT_TRUE(offered.dwFlags & PFD_DRAW_TO_WINDOW);
    EXPECT_EQ(offered.cColorBits, offered.cRedBits + offered.cGreenBits + offered.cBlueBits)
        << "colour bits exclude alpha";
    PIXELFORMATDESCRIPTOR request = RgbaRequest(offered.cColorBits, offered.cDepthBits);
    request.cAlphaBits = offered.cAlphaBits;
    request.cStencilBits = offered.cStencilBits;
    const int chosen = ChoosePixelFormat(dc, &request);
    ASSERT_NE(chosen, 0);
    const auto& got = formats[static_cast<std::size_t>(chosen - 1)];
    EXPECT_EQ(got.cColorBits, offered.cColorBits);
    EXPECT_EQ(got.cDepthBits, offered.cDepthBits);
    EXPECT_EQ(got.cAlphaBits, offered.cAlphaBits);
    EXPECT_EQ(got.cStencilBits, offered.cStencilBits);
  }
}

TEST_F(PixelFormatGLTest, ImpossibleRequestsAndBadArgumentsFailWithWin32Codes) {
  PIXELFORMATDESCRIPTOR request = RgbaRequest(8, 16);
  request.iPixelType = PFD_TYPE_COLORINDEX;
  EXPECT_FAILS_WITH(ChoosePixelFormat(dc, &request), ERROR_INVALID_PIXEL_FORMAT);
  request = RgbaRequest(24, 24);
  request.dwFlags |= PFD_DRAW_TO_BITMAP;
  EXPECT_EQ(ChoosePixelFormat(dc, &request), 0) << "no format draws to bitmaps";
  request = RgbaRequest(24, 24);
  EXPECT_FAILS_WITH(ChoosePixelFormat(nullptr, &request), ERROR_INVALID_HANDLE);
  EXPECT_FAILS_WITH(ChoosePixelFormat(dc, nullptr), ERROR_INVALID_PARAMETER);
  PIXELFORMATDESCRIPTOR out{};
  EXPECT_FAILS_WITH(DescribePixelFormat(dc, 0, sizeof out, &out), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(DescribePixelFormat(dc, count + 1, sizeof out, &out), 0);
  std::memset(&out, 0xAB, sizeof out);
  EXPECT_EQ(DescribePixelFormat(dc, 1, 4, &out), count) << "a short buffer is filled only as far as it reaches";
  EXPECT_EQ(out.nSize, sizeof(PIXELFORMATDESCRIPTOR));
  EXPECT_EQ(out.dwFlags, 0xABABABABu);
}

TEST_F(PixelFormatGLTest, AWindowTakesOneFormatOnceAndTheScreenNone) {
  EXPECT_FAILS_WITH(SetPixelFormat(dc, 0, nullptr), ERROR_INVALID_PIXEL_FORMAT);
  EXPECT_FALSE(SetPixelFormat(dc, count + 1, nullptr));
  const PIXELFORMATDESCRIPTOR request = RgbaRequest(24, 24);
  const int chosen = ChoosePixelFormat(dc, &request);
  EXPECT_TRUE(SetPixelFormat(dc, chosen, &request)) << "failed attempts do not use up the window";
  EXPECT_FAILS_WITH(SetPixelFormat(dc, chosen, &request), ERROR_INVALID_PIXEL_FORMAT);
  HGLRC context = wglCreateContext(dc);
  EXPECT_NE(context, nullptr) << "the first format stays";
  wglDeleteContext(context);
  HDC screen = GetDC(nullptr);
  EXPECT_NE(ChoosePixelFormat(screen, &request), 0) << "the screen can still be asked";
  EXPECT_FAILS_WITH(SetPixelFormat(screen, 1, &request), ERROR_INVALID_PIXEL_FORMAT);
}

TEST_F(PixelFormatGLTest, DeviceContextBelongsToItsWindow) {
  EXPECT_EQ(GetDC(window.Handle()), dc) << "a window keeps one device context";
  EXPECT_EQ(ReleaseDC(window.Handle(), dc), 1);
  EXPECT_EQ(GetDC(window.Handle()), dc);
  platform::Window other = platform::Window::CreateOffscreen(8, 8);
  EXPECT_EQ(ReleaseDC(other.Handle(), dc), 0);
  HWND stale = platform::Window::CreateOffscreen(8, 8).Handle();  // destroyed at once
  EXPECT_FAILS_WITH(GetDC(stale), ERROR_INVALID_WINDOW_HANDLE);
}

TEST(ContextGLTest, AContextIsCurrentOnlyOnItsThreadFromMakeCurrentToDeletion) {
  PreparedWindow target;
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  HGLRC context = wglCreateContext(target.dc);
  ASSERT_NE(context, nullptr);
  EXPECT_EQ(wglGetCurrentContext(), nullptr) << "creating a context does not make it current";
  ASSERT_TRUE(wglMakeCurrent(target.dc, context));
  EXPECT_EQ(wglGetCurrentContext(), context);
  EXPECT_EQ(wglGetCurrentDC(), target.dc);
  HGLRC seenElsewhere = context;
  std::thread([&] {
    seenElsewhere = wglGetCurrentContext();
    EXPECT_FAILS_WITH(wglDeleteContext(context), ERROR_BUSY);
    EXPECT_FAILS_WITH(wglMakeCurrent(target.dc, context), ERROR_BUSY);
  }).join();
  EXPECT_EQ(seenElsewhere, nullptr);
  EXPECT_EQ(wglGetCurrentContext(), context) << "the owning thread keeps its context";
  EXPECT_TRUE(wglDeleteContext(context));
  EXPECT_EQ(wglGetCurrentContext(), nullptr) << "deleting the current context leaves none current";
  EXPECT_EQ(wglGetCurrentDC(), nullptr);
  EXPECT_FAILS_WITH(wglDeleteContext(context), ERROR_INVALID_HANDLE);
}

TEST(ContextGLTest, TwoContextsKeepTheirOwnStateAndShareWindowsOfTheirFormat) {
  PreparedWindow first, second;
  HGLRC a = wglCreateContext(first.dc);
  HGLRC b = wglCreateContext(second.dc);
  ASSERT_TRUE(wglMakeCurrent(first.dc, a));
  glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
  ASSERT_TRUE(wglMakeCurrent(second.dc, b));
  GLfloat clear[4] = {};
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_EQ(clear[0], 0.0f);
  ASSERT_TRUE(wglMakeCurrent(second.dc, a)) << "a context draws into another window of its format";
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_EQ(clear[0], 1.0f);
  EXPECT_TRUE(wglMakeCurrent(nullptr, nullptr));
  EXPECT_TRUE(wglDeleteContext(a));
  EXPECT_TRUE(wglDeleteContext(b));
}

TEST(ContextGLTest, ContextsNeedWindowsWithTheirPixelFormatAndFailuresLeaveNoneCurrent) {
  platform::Window bare = platform::Window::CreateOffscreen(16, 16);
  HDC bareDc = GetDC(bare.Handle());
  EXPECT_FAILS_WITH(wglCreateContext(bareDc), ERROR_INVALID_PIXEL_FORMAT);
  EXPECT_EQ(wglCreateContext(GetDC(nullptr)), nullptr) << "the screen has no OpenGL format";
  EXPECT_FAILS_WITH(wglCreateContext(nullptr), ERROR_INVALID_HANDLE);
  PreparedWindow target;
  HGLRC context = wglCreateContext(target.dc);
  ASSERT_TRUE(wglMakeCurrent(target.dc, context));
  EXPECT_FAILS_WITH(wglMakeCurrent(bareDc, context), ERROR_INVALID_PIXEL_FORMAT);
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  ASSERT_TRUE(wglMakeCurrent(target.dc, context));
  EXPECT_FAILS_WITH(wglMakeCurrent(target.dc, reinterpret_cast<HGLRC>(&target)), ERROR_INVALID_HANDLE);
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  ASSERT_GT(DescribePixelFormat(bareDc, 1, 0, nullptr), 1);
  ASSERT_TRUE(SetPixelFormat(bareDc, target.format == 1 ? 2 : 1, nullptr));
  EXPECT_FAILS_WITH(wglMakeCurrent(bareDc, context), ERROR_INVALID_PIXEL_FORMAT);  // another format
  EXPECT_TRUE(wglDeleteContext(context));
}

TEST_F(OffscreenGLTest, ContextIsACompatibilityProfileWithFixedFunctionAndGlu) {
  const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  ASSERT_NE(version, nullptr);
  EXPECT_GE(version[0], '2') << version;
  GLint profile = 0;
  glGetIntegerv(0x9126 /* GL_CONTEXT_PROFILE_MASK */, &profile);
  glGetError();  // not an error on contexts before 3.2
  EXPECT_EQ(profile & 0x1 /* core */, 0);
  const GLuint list = glGenLists(1);
  ASSERT_NE(list, 0u);
  glNewList(list, GL_COMPILE);
  glColor3f(0.0f, 1.0f, 0.0f);
  glEndList();
  glCallList(list);
  GLfloat colour[4] = {};
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_EQ(colour[1], 1.0f) << "display lists run";
  glDeleteLists(list, 1);
  glMatrixMode(GL_PROJECTION);
  gluPerspective(45.0, 1.0, 1.0, 10.0);
  GLdouble projection[16] = {};
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  EXPECT_NEAR(projection[0], 1.0 / std::tan(22.5 * 3.14159265358979 / 180.0), 1e-6);
  EXPECT_DOUBLE_EQ(projection[11], -1.0);
  glLoadIdentity();
}

}  // namespace
