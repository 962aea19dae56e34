// Pixel formats and rendering contexts on offscreen windows (where a context may
// be current, the Win32 codes of failures), font lists and GDI font objects,
// and presenting frames: the picture a window shows, top row first, and PNGs.
#include <windows.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <stdexcept>
#include <string>
#include <optional>
#include <thread>

#include "platform/Image.h"
#include "platform/Window.h"

namespace {

// Expects the call to fail (return zero, false or null) with the Win32 error code.
#define EXPECT_FAILS_WITH(call, code)                    \
  do {                                                   \
    SetLastError(ERROR_SUCCESS);                         \
    EXPECT_FALSE(call);                                  \
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(code)); \
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
      EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
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

HFONT MakeFont(int height) {
  return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, OEM_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, 0, L"DejaVu Sans");
}

TEST_F(OffscreenGLTest, WithoutACurrentContextFontListsAreNotBuilt) {
  HFONT font = MakeFont(-20);
  HGDIOBJ previous = SelectObject(dc, font);
  ASSERT_TRUE(wglMakeCurrent(nullptr, nullptr));
  EXPECT_EQ(glGenLists(96), 0u) << "GL calls without a context do nothing";
  EXPECT_FAILS_WITH(wglUseFontBitmapsW(dc, 32, 96, 0), ERROR_INVALID_HANDLE);
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
  EXPECT_FALSE(DeleteObject(font)) << "still selected into a device context";
  EXPECT_EQ(SelectObject(dc, original), font);
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_FAILS_WITH(DeleteObject(font), ERROR_INVALID_HANDLE);  // already deleted
  EXPECT_TRUE(DeleteObject(original)) << "stock objects may be deleted harmlessly";
  EXPECT_EQ(SelectObject(dc, original), original) << "and stay usable";
  int notAnObject = 0;
  EXPECT_FAILS_WITH(SelectObject(dc, &notAnObject), ERROR_INVALID_HANDLE);
  HFONT other = MakeFont(-12);
  EXPECT_EQ(SelectObject(nullptr, other), nullptr);
  EXPECT_TRUE(DeleteObject(other));
}

using Rgba = std::array<std::uint8_t, 4>;

constexpr float kBlue[3] = {0.0f, 0.0f, 1.0f};
constexpr float kYellow[3] = {1.0f, 1.0f, 0.0f};
constexpr Rgba kBlueRgba{0, 0, 255, 255};
constexpr Rgba kYellowRgba{255, 255, 0, 255};

TEST_F(OffscreenGLTest, SwapBuffersPresentsTheFrameTopRowFirstUnlessSwitchedOff) {
  EXPECT_TRUE(window->PresentedImage().Empty());
  glPixelStorei(GL_PACK_ALIGNMENT, 8);
  glPixelStorei(GL_PACK_ROW_LENGTH, 3);
  DrawQuarter(kBlue, kYellow);
  const platform::Image image = window->PresentedImage();
  ASSERT_EQ(image.width, kWidth);
  ASSERT_EQ(image.height, kHeight);
  EXPECT_EQ(window->PresentCount(), 1u);
  // The yellow quarter is the lower left one: bottom rows in a top-first image.
  EXPECT_EQ(image.At(2, kHeight - 3), kYellowRgba);
  EXPECT_EQ(image.At(kWidth - 3, kHeight - 3), kBlueRgba);
  EXPECT_EQ(image.At(2, 2), kBlueRgba);
  GLint alignment = 0, rowLength = 0;
  glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
  glGetIntegerv(GL_PACK_ROW_LENGTH, &rowLength);
  EXPECT_EQ(alignment, 8) << "the read-back leaves pixel pack state alone";
  EXPECT_EQ(rowLength, 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);

  window->SetPresentEnabled(false);
  DrawQuarter(kYellow, kBlue);
  EXPECT_EQ(window->PresentCount(), 1u);
  EXPECT_EQ(window->PresentedImage().At(kWidth - 3, 2), kBlueRgba) << "the last presented frame stays";
  window->SetPresentEnabled(true);
  DrawQuarter(kYellow, kBlue);
  EXPECT_EQ(window->PresentedImage().At(kWidth - 3, 2), kYellowRgba);
}

TEST_F(OffscreenGLTest, SwapBuffersFailuresPresentNothing) {
  DrawQuarter(kBlue, kYellow);
  ASSERT_TRUE(wglMakeCurrent(nullptr, nullptr));
  EXPECT_TRUE(SwapBuffers(dc));
  EXPECT_EQ(window->PresentCount(), 1u) << "without a current context";
  EXPECT_FAILS_WITH(SwapBuffers(nullptr), ERROR_INVALID_HANDLE);
  platform::Window bare = platform::Window::CreateOffscreen(8, 8);
  EXPECT_FAILS_WITH(SwapBuffers(GetDC(bare.Handle())), ERROR_INVALID_PIXEL_FORMAT);
}

TEST(PngTest, FailuresNameTheFile) {
  const platform::Image empty;
  try {
    platform::WritePng("/nonexistent-dir/x.png", empty);
    ADD_FAILURE() << "an empty image must not be written";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find("/nonexistent-dir/x.png"), std::string::npos);
  }
  EXPECT_THROW(platform::ReadPng("/nonexistent-dir/x.png"), std::runtime_error);
  EXPECT_THROW(empty.At(0, 0), std::out_of_range);
}

}  // namespace
