#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "OffscreenGLFixture.h"
#include "platform/Window.h"

namespace {

class PixelFormatGLTest : public ::testing::Test {
 protected:
  std::vector<PIXELFORMATDESCRIPTOR> AllFormats() {
    const int count = DescribePixelFormat(dc, 1, 0, nullptr);
    std::vector<PIXELFORMATDESCRIPTOR> formats(static_cast<std::size_t>(count));
    for (int i = 1; i <= count; ++i) {
      EXPECT_EQ(DescribePixelFormat(dc, i, sizeof(PIXELFORMATDESCRIPTOR), &formats[i - 1]), count);
    }
    return formats;
  }

  platform::Window window = platform::Window::CreateOffscreen(32, 32);
  HDC dc = GetDC(window.Handle());
};

TEST_F(PixelFormatGLTest, EveryFormatIsAnOpenGLWindowFormatThatAnExactRequestGets) {
  const auto formats = AllFormats();
  ASSERT_FALSE(formats.empty());
  for (const auto& offered : formats) {
    EXPECT_EQ(offered.nSize, sizeof(PIXELFORMATDESCRIPTOR));
    EXPECT_EQ(offered.iPixelType, PFD_TYPE_RGBA);
    EXPECT_TRUE(offered.dwFlags & PFD_SUPPORT_OPENGL);
    EXPECT_TRUE(offered.dwFlags & PFD_DRAW_TO_WINDOW);
    EXPECT_EQ(offered.cColorBits, offered.cRedBits + offered.cGreenBits + offered.cBlueBits) << "colour bits exclude alpha";
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
  // More depth than any format has: the deepest one wins, not a failure.
  BYTE deepest = 0;
  for (const auto& pfd : formats) deepest = std::max(deepest, pfd.cDepthBits);
  const PIXELFORMATDESCRIPTOR deep = RgbaRequest(24, 64);
  const int chosen = ChoosePixelFormat(dc, &deep);
  ASSERT_NE(chosen, 0);
  EXPECT_EQ(formats[chosen - 1].cDepthBits, deepest);
  EXPECT_EQ(formats[chosen - 1].cColorBits, 24);
}

TEST_F(PixelFormatGLTest, ImpossibleRequestsAndBadArgumentsFailWithWin32Codes) {
  PIXELFORMATDESCRIPTOR request = RgbaRequest(8, 16);
  request.iPixelType = PFD_TYPE_COLORINDEX;
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(ChoosePixelFormat(dc, &request), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PIXEL_FORMAT));
  request = RgbaRequest(24, 24);
  request.dwFlags |= PFD_DRAW_TO_BITMAP;
  EXPECT_EQ(ChoosePixelFormat(dc, &request), 0) << "no format draws to bitmaps";
  request = RgbaRequest(24, 24);
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
  std::memset(&out, 0xAB, sizeof out);
  EXPECT_EQ(DescribePixelFormat(dc, 1, 4, &out), count) << "a short buffer is filled only as far as it reaches";
  EXPECT_EQ(out.nSize, sizeof(PIXELFORMATDESCRIPTOR));
  EXPECT_EQ(out.dwFlags, 0xABABABABu);
}

TEST_F(PixelFormatGLTest, AWindowTakesOneFormatOnceAndTheScreenNone) {
  const int count = DescribePixelFormat(dc, 1, 0, nullptr);
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(SetPixelFormat(dc, 0, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PIXEL_FORMAT));
  EXPECT_FALSE(SetPixelFormat(dc, count + 1, nullptr));
  const PIXELFORMATDESCRIPTOR request = RgbaRequest(24, 24);
  const int chosen = ChoosePixelFormat(dc, &request);
  EXPECT_TRUE(SetPixelFormat(dc, chosen, &request)) << "failed attempts do not use up the window";
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(SetPixelFormat(dc, chosen, &request));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PIXEL_FORMAT));
  HGLRC context = wglCreateContext(dc);
  EXPECT_NE(context, nullptr) << "the first format stays";
  wglDeleteContext(context);

  HDC screen = GetDC(nullptr);
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
