#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "OffscreenGLFixture.h"
#include "platform/Window.h"

namespace {

std::vector<PIXELFORMATDESCRIPTOR> AllFormats(HDC dc) {
  const int count = DescribePixelFormat(dc, 1, 0, nullptr);
  std::vector<PIXELFORMATDESCRIPTOR> formats(static_cast<std::size_t>(count));
  for (int i = 1; i <= count; ++i)
    EXPECT_EQ(DescribePixelFormat(dc, i, sizeof(PIXELFORMATDESCRIPTOR), &formats[i - 1]), count);
  return formats;
}

class PixelFormatGLTest : public ::testing::Test {
 protected:
  platform::Window window = platform::Window::CreateOffscreen(32, 32);
  HDC dc = GetDC(window.Handle());
};

TEST_F(PixelFormatGLTest, EveryFormatDescribesAnOpenGLWindowFormat) {
  const auto formats = AllFormats(dc);
  ASSERT_FALSE(formats.empty());
  for (const auto& pfd : formats) {
    EXPECT_EQ(pfd.nSize, sizeof(PIXELFORMATDESCRIPTOR));
    EXPECT_EQ(pfd.nVersion, 1);
    EXPECT_EQ(pfd.iPixelType, PFD_TYPE_RGBA);
    EXPECT_TRUE(pfd.dwFlags & PFD_SUPPORT_OPENGL);
    EXPECT_TRUE(pfd.dwFlags & PFD_DRAW_TO_WINDOW);
    EXPECT_EQ(pfd.cColorBits, pfd.cRedBits + pfd.cGreenBits + pfd.cBlueBits)
        << "colour bits exclude alpha";
  }
}

TEST_F(PixelFormatGLTest, ExactRequestGetsAFormatWithExactlyThoseBits) {
  const auto formats = AllFormats(dc);
  for (const auto& offered : formats) {
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

TEST_F(PixelFormatGLTest, ClosestFormatWhenNoneMatchesExactly) {
  const auto formats = AllFormats(dc);
  BYTE deepest = 0;
  for (const auto& pfd : formats) deepest = std::max(deepest, pfd.cDepthBits);

  // More depth than any format has: the deepest one wins, not a failure.
  PIXELFORMATDESCRIPTOR request = RgbaRequest(24, 64);
  int chosen = ChoosePixelFormat(dc, &request);
  ASSERT_NE(chosen, 0);
  EXPECT_EQ(formats[chosen - 1].cDepthBits, deepest);
  EXPECT_EQ(formats[chosen - 1].cColorBits, 24);

  // An odd colour depth lands on a real one at least as deep, if there is one.
  request = RgbaRequest(20, 16);
  chosen = ChoosePixelFormat(dc, &request);
  ASSERT_NE(chosen, 0);
  EXPECT_GE(formats[chosen - 1].cColorBits, 20);
  EXPECT_GT(formats[chosen - 1].cDepthBits, 0);
}

TEST_F(PixelFormatGLTest, NothingFitsAColourIndexRequest) {
  PIXELFORMATDESCRIPTOR request = RgbaRequest(8, 16);
  request.iPixelType = PFD_TYPE_COLORINDEX;
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(ChoosePixelFormat(dc, &request), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PIXEL_FORMAT));

  request = RgbaRequest(24, 24);
  request.dwFlags |= PFD_DRAW_TO_BITMAP;
  EXPECT_EQ(ChoosePixelFormat(dc, &request), 0) << "no format draws to bitmaps";
}

TEST_F(PixelFormatGLTest, BadArgumentsFailWithWin32Codes) {
  const PIXELFORMATDESCRIPTOR request = RgbaRequest(24, 24);
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(ChoosePixelFormat(nullptr, &request), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(ChoosePixelFormat(dc, nullptr), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

  PIXELFORMATDESCRIPTOR out{};
  const int count = DescribePixelFormat(dc, 1, 0, nullptr);
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(DescribePixelFormat(dc, 0, sizeof out, &out), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(DescribePixelFormat(dc, count + 1, sizeof out, &out), 0);

  // A short buffer is filled only as far as it reaches.
  std::memset(&out, 0xAB, sizeof out);
  EXPECT_EQ(DescribePixelFormat(dc, 1, 4, &out), count);
  EXPECT_EQ(out.nSize, sizeof(PIXELFORMATDESCRIPTOR));
  EXPECT_EQ(out.dwFlags, 0xABABABABu);
}

TEST_F(PixelFormatGLTest, PixelFormatIsSetOnlyOnce) {
  const PIXELFORMATDESCRIPTOR request = RgbaRequest(24, 24);
  const int chosen = ChoosePixelFormat(dc, &request);
  ASSERT_NE(chosen, 0);
  EXPECT_TRUE(SetPixelFormat(dc, chosen, &request));
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(SetPixelFormat(dc, chosen, &request));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PIXEL_FORMAT));
  // The first format stays: a context made now uses it.
  HGLRC context = wglCreateContext(dc);
  EXPECT_NE(context, nullptr);
  wglDeleteContext(context);
}

TEST_F(PixelFormatGLTest, OutOfRangeFormatsAndTheScreenAreRefused) {
  const int count = DescribePixelFormat(dc, 1, 0, nullptr);
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(SetPixelFormat(dc, 0, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PIXEL_FORMAT));
  EXPECT_FALSE(SetPixelFormat(dc, count + 1, nullptr));
  EXPECT_TRUE(SetPixelFormat(dc, count, nullptr)) << "failed attempts do not use up the window";

  HDC screen = GetDC(nullptr);
  ASSERT_NE(screen, nullptr);
  const PIXELFORMATDESCRIPTOR request = RgbaRequest(24, 24);
  EXPECT_NE(ChoosePixelFormat(screen, &request), 0) << "the screen can still be asked";
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(SetPixelFormat(screen, 1, &request));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PIXEL_FORMAT));
}

TEST_F(PixelFormatGLTest, DeviceContextBelongsToItsWindow) {
  EXPECT_EQ(GetDC(window.Handle()), dc) << "a window keeps one device context";
  EXPECT_EQ(ReleaseDC(window.Handle(), dc), 1);
  EXPECT_EQ(GetDC(window.Handle()), dc);
  platform::Window other = platform::Window::CreateOffscreen(8, 8);
  EXPECT_EQ(ReleaseDC(other.Handle(), dc), 0);

  HWND stale = nullptr;
  {
    platform::Window gone = platform::Window::CreateOffscreen(8, 8);
    stale = gone.Handle();
  }
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(GetDC(stale), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

}  // namespace
