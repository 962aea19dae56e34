// An offscreen window with a pixel format and a current rendering context, for
// tests that draw; checks glGetError after each test.
#ifndef NIMBO_TESTS_PLATFORM_OFFSCREEN_GL_FIXTURE_H
#define NIMBO_TESTS_PLATFORM_OFFSCREEN_GL_FIXTURE_H

#include <windows.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <optional>

#include "platform/Window.h"
#include "WhichWin32.h"

// Expects the call to fail (return zero, false or null) with the Win32 error code.
#define EXPECT_FAILS_WITH(call, code)                    \
  do {                                                   \
    SetLastError(ERROR_SUCCESS);                         \
    EXPECT_FALSE(call);                                  \
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(code)); \
  } while (false)

// Expects the call to fail; where Win32 documents no error code, the EGL
// layer's own is checked over EGL only.
#define EXPECT_FAILS_WITH_EGL_CODE(call, code)                                    \
  do {                                                                            \
    SetLastError(ERROR_SUCCESS);                                                  \
    EXPECT_FALSE(call);                                                           \
    if (NimboTest::kEglLayer) {                                                   \
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(code));                        \
    }                                                                             \
  } while (false)

inline PIXELFORMATDESCRIPTOR RgbaRequest(BYTE colourBits, BYTE depthBits) {
  PIXELFORMATDESCRIPTOR pfd{};
  pfd.nSize = sizeof pfd;
  pfd.nVersion = 1;
  pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = colourBits;
  pfd.cDepthBits = depthBits;
  return pfd;
}

// Chooses and sets a 24-bit colour, 24-bit depth format; returns its index.
inline int SetStandardFormat(HDC dc) {
  const PIXELFORMATDESCRIPTOR request = RgbaRequest(24, 24);
  const int format = ChoosePixelFormat(dc, &request);
  EXPECT_NE(format, 0);
  EXPECT_TRUE(SetPixelFormat(dc, format, &request));
  return format;
}

class OffscreenGLTest : public ::testing::Test {
 protected:
  static constexpr int kWidth = 64;
  static constexpr int kHeight = 48;

  void SetUp() override {
    window.emplace(platform::Window::CreateOffscreen(kWidth, kHeight));
    dc = GetDC(window->Handle());
    format = SetStandardFormat(dc);
    context = wglCreateContext(dc);
    ASSERT_NE(context, nullptr);
    ASSERT_TRUE(wglMakeCurrent(dc, context));
  }

  void TearDown() override {
    if (wglGetCurrentContext() != nullptr) {
      EXPECT_EQ(NimboTest::GlErrorBesidesWineFonts(), static_cast<GLenum>(GL_NO_ERROR));
    }
    wglMakeCurrent(nullptr, nullptr);
    if (context != nullptr) wglDeleteContext(context);
    window.reset();
  }

  // Clears to `background`, fills the lower-left quarter with `fill`, presents.
  void DrawQuarter(const float (&background)[3], const float (&fill)[3]) {
    glViewport(0, 0, window->Width(), window->Height());
    glClearColor(background[0], background[1], background[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3fv(fill);
    glRectf(-1.0f, -1.0f, 0.0f, 0.0f);
    glFinish();
    ASSERT_TRUE(SwapBuffers(dc));
  }

  std::optional<platform::Window> window;
  HDC dc = nullptr;
  int format = 0;
  HGLRC context = nullptr;
};

#endif
