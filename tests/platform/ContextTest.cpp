// Pixel formats and rendering contexts on offscreen windows: where a context
// may be current, and the Win32 codes of failures.

#include <algorithm>
#include <cstring>
#include <thread>

#include "Win32Expect.h"
#include "platform/Window.h"

namespace {

class PixelFormatTest : public ::testing::Test {
 protected:
  // Chooses and sets a 24-bit colour, 24-bit depth format; returns its index.
  int SetStandardFormat() {
    const PIXELFORMATDESCRIPTOR request = RgbaRequest(24, 24);
    const int format = ChoosePixelFormat(dc, &request);
    EXPECT_TRUE(SetPixelFormat(dc, format, &request));
    return format;
  }

  platform::Window window = platform::Window::CreateOffscreen(32, 32);
  HDC dc = GetDC(window.Handle());
  const int count = DescribePixelFormat(dc, 1, 0, nullptr);
};
using ContextTest = PixelFormatTest;

TEST_F(PixelFormatTest, ImpossibleRequestsAndBadArgumentsFailWithWin32Codes) {
  PIXELFORMATDESCRIPTOR request = RgbaRequest(8, 16);
  request.iPixelType = PFD_TYPE_COLORINDEX;
  EXPECT_FAILS_WITH_EGL_CODE(ChoosePixelFormat(dc, &request), ERROR_INVALID_PIXEL_FORMAT);
  // Win32 does not say what a null descriptor does (Wine reads through it).
  if (NimboTest::kEglLayer) EXPECT_FAILS_WITH(ChoosePixelFormat(dc, nullptr), ERROR_INVALID_PARAMETER);
  request = RgbaRequest(24, 24);
  EXPECT_FAILS_WITH(ChoosePixelFormat(nullptr, &request), ERROR_INVALID_HANDLE);
  PIXELFORMATDESCRIPTOR out{};
  EXPECT_FAILS_WITH_EGL_CODE(DescribePixelFormat(dc, 0, sizeof out, &out), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(DescribePixelFormat(dc, count + 1, sizeof out, &out), 0);
  // Win32 "stores no more than nBytes bytes"; Wine refuses a short buffer.
  if (NimboTest::RunsOnWine()) return;
  std::memset(&out, 0xAB, sizeof out);
  EXPECT_EQ(DescribePixelFormat(dc, 1, 4, &out), count) << "a short buffer is filled only as far as it reaches";
  EXPECT_EQ(out.nSize, sizeof(PIXELFORMATDESCRIPTOR));
  EXPECT_EQ(out.dwFlags, 0xABABABABu);
}

TEST_F(PixelFormatTest, OfferedFormatsAreDistinctEightBitOnesAndThirtyTwoBitsGetsOne) {
  std::vector<std::array<int, 5>> seen;
  for (int index = 1; index <= count; ++index) {
    PIXELFORMATDESCRIPTOR format{};
    ASSERT_EQ(DescribePixelFormat(dc, index, sizeof format, &format), count);
    EXPECT_LE(std::max(format.cRedBits, format.cBlueBits), 8) << "format " << index;
    seen.push_back({format.cColorBits, format.cAlphaBits, format.cDepthBits, format.cStencilBits, format.cRedBits});
  }
  std::sort(seen.begin(), seen.end());
  // The EGL layer's own promise; Win32 lists formats that differ in more
  // (accumulation, swap method) and Wine repeats even those.
  if (NimboTest::kEglLayer) {
    EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end()) << "two formats a caller cannot tell apart";
  }
  const PIXELFORMATDESCRIPTOR request = RgbaRequest(32, 24);
  PIXELFORMATDESCRIPTOR chosen{};
  DescribePixelFormat(dc, ChoosePixelFormat(dc, &request), sizeof chosen, &chosen);
  EXPECT_EQ(chosen.cRedBits, 8) << "the usual 32-bit request gets 8 bits a channel";
  // Colour bits exclude alpha, as Win32 documents; Wine counts alpha in.
  if (!NimboTest::RunsOnWine()) {
    EXPECT_EQ(chosen.cColorBits, 24);
  }
}

TEST_F(PixelFormatTest, AWindowTakesOneFormatOnceAndTheScreenNone) {
  EXPECT_FAILS_WITH_EGL_CODE(SetPixelFormat(dc, 0, nullptr), ERROR_INVALID_PIXEL_FORMAT);
  EXPECT_FALSE(SetPixelFormat(dc, count + 1, nullptr));
  const PIXELFORMATDESCRIPTOR request = RgbaRequest(24, 24);
  // Failed attempts do not use up the window.
  const int chosen = SetStandardFormat();
  // A window's format is set once (Wine accepts the same one again, Win32 no second call at all).
  EXPECT_FAILS_WITH_EGL_CODE(SetPixelFormat(dc, chosen == 1 ? 2 : 1, &request), ERROR_INVALID_PIXEL_FORMAT);
  HGLRC context = wglCreateContext(dc);
  EXPECT_NE(context, nullptr) << "the first format stays";
  wglDeleteContext(context);
  HDC screen = GetDC(nullptr);
  EXPECT_NE(ChoosePixelFormat(screen, &request), 0) << "the screen can still be asked";
  EXPECT_FAILS_WITH_EGL_CODE(SetPixelFormat(screen, 1, &request), ERROR_INVALID_PIXEL_FORMAT);
}

TEST_F(PixelFormatTest, DeviceContextBelongsToItsWindow) {
  EXPECT_EQ(GetDC(window.Handle()), dc) << "a window keeps one device context";
  EXPECT_EQ(ReleaseDC(window.Handle(), dc), 1);
  platform::Window other = platform::Window::CreateOffscreen(8, 8);
  // Win32 does not say what releasing a window's own DC through another window gives.
  if (NimboTest::kEglLayer) {
    EXPECT_EQ(ReleaseDC(other.Handle(), dc), 0);
  }
  HWND stale = platform::Window::CreateOffscreen(8, 8).Handle();  // destroyed at once
  EXPECT_FAILS_WITH(GetDC(stale), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(ContextTest, AContextIsCurrentOnlyOnItsThreadFromMakeCurrentToDeletion) {
  SetStandardFormat();
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  HGLRC context = wglCreateContext(dc);
  ASSERT_NE(context, nullptr);
  EXPECT_EQ(wglGetCurrentContext(), nullptr) << "creating a context does not make it current";
  EXPECT_EQ(wglGetProcAddress("glGenQueries"), nullptr) << "entry points belong to a current context";
  ASSERT_TRUE(wglMakeCurrent(dc, context));
  EXPECT_EQ(wglGetCurrentContext(), context);
  EXPECT_EQ(wglGetCurrentDC(), dc);
  EXPECT_NE(wglGetProcAddress("glGenQueries"), nullptr);
  HGLRC seenElsewhere = context;
  std::thread([&] {
    seenElsewhere = wglGetCurrentContext();
    EXPECT_FAILS_WITH(wglDeleteContext(context), ERROR_BUSY);
    EXPECT_FAILS_WITH(wglMakeCurrent(dc, context), ERROR_BUSY);
  }).join();
  EXPECT_EQ(seenElsewhere, nullptr);
  EXPECT_EQ(wglGetCurrentContext(), context) << "the owning thread keeps its context";
  EXPECT_TRUE(wglDeleteContext(context));
  EXPECT_EQ(wglGetCurrentContext(), nullptr) << "deleting the current context leaves none current";
  EXPECT_EQ(wglGetCurrentDC(), nullptr);
  EXPECT_FAILS_WITH(wglDeleteContext(context), ERROR_INVALID_HANDLE);

  // A thread that ends with a context current leaves it free over EGL; Win32
  // does not say, and Wine keeps it bound to the ended thread.
  if (!NimboTest::kEglLayer) return;
  HGLRC orphan = nullptr;
  std::thread([&] {
    orphan = wglCreateContext(dc);
    EXPECT_TRUE(wglMakeCurrent(dc, orphan));
  }).join();
  EXPECT_TRUE(wglMakeCurrent(dc, orphan));
  EXPECT_TRUE(wglDeleteContext(orphan));
}

TEST_F(ContextTest, ContextsNeedWindowsWithTheirPixelFormatAndFailuresLeaveNoneCurrent) {
  platform::Window bare = platform::Window::CreateOffscreen(16, 16);
  HDC bareDc = GetDC(bare.Handle());
  EXPECT_FAILS_WITH(wglCreateContext(bareDc), ERROR_INVALID_PIXEL_FORMAT);
  EXPECT_EQ(wglCreateContext(GetDC(nullptr)), nullptr) << "the screen has no OpenGL format";
  EXPECT_FAILS_WITH(wglCreateContext(nullptr), ERROR_INVALID_HANDLE);
  const int format = SetStandardFormat();
  HGLRC context = wglCreateContext(dc);
  // Win32: "If an error occurs, the wglMakeCurrent function makes the
  // thread's current rendering context not current"; Wine leaves it current.
  const bool failuresRelease = !NimboTest::RunsOnWine();
  ASSERT_TRUE(wglMakeCurrent(dc, context));
  EXPECT_FAILS_WITH_EGL_CODE(wglMakeCurrent(bareDc, context), ERROR_INVALID_PIXEL_FORMAT);
  EXPECT_TRUE(!failuresRelease || wglGetCurrentContext() == nullptr) << "a failure leaves no context current";
  ASSERT_TRUE(wglMakeCurrent(dc, context));
  EXPECT_FAILS_WITH(wglMakeCurrent(dc, reinterpret_cast<HGLRC>(&bare)), ERROR_INVALID_HANDLE);
  EXPECT_TRUE(!failuresRelease || wglGetCurrentContext() == nullptr) << "a failure leaves no context current";
  ASSERT_GT(DescribePixelFormat(bareDc, 1, 0, nullptr), 1);
  ASSERT_TRUE(SetPixelFormat(bareDc, format == 1 ? 2 : 1, nullptr));
  EXPECT_FAILS_WITH_EGL_CODE(wglMakeCurrent(bareDc, context), ERROR_INVALID_PIXEL_FORMAT);  // another format
  EXPECT_TRUE(wglDeleteContext(context));
}

}  // namespace
