#include <windows.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "OffscreenGLFixture.h"
#include "XvfbServer.h"
#include "platform/Window.h"

namespace {

using Rgba = std::array<std::uint8_t, 4>;

class NativeWindowGLTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server = std::make_unique<XvfbServer>(); }
  static void TearDownTestSuite() { server.reset(); }

  void SetUp() override {
    if (!server->Unavailable().empty()) GTEST_SKIP() << server->Unavailable();
  }

  static void Fill(int width, int height, float r, float g, float b) {
    glViewport(0, 0, width, height);
    glClearColor(r, g, b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glFinish();
  }

  static inline std::unique_ptr<XvfbServer> server;
};

TEST_F(NativeWindowGLTest, DrawsAndPresentsThroughAnX11WindowButNotWithAnOffscreenContext) {
  platform::Window window = platform::Window::CreateNative(80, 60, "native test");
  HDC dc = GetDC(window.Handle());
  ASSERT_NE(SetStandardFormat(dc), 0);
  HGLRC context = wglCreateContext(dc);
  ASSERT_TRUE(wglMakeCurrent(dc, context));
  Fill(80, 60, 1.0f, 0.0f, 0.0f);
  EXPECT_TRUE(SwapBuffers(dc));
  EXPECT_EQ(window.PresentedImage().At(40, 30), (Rgba{255, 0, 0, 255}));
  // The window surface follows a resize while the context stays current.
  window.Resize(120, 40);
  EXPECT_EQ(wglGetCurrentContext(), context);
  Fill(120, 40, 0.0f, 1.0f, 0.0f);
  EXPECT_TRUE(SwapBuffers(dc));
  const platform::Image image = window.PresentedImage();
  EXPECT_EQ(image.width, 120);
  EXPECT_EQ(image.height, 40);
  EXPECT_EQ(image.At(100, 5), (Rgba{0, 255, 0, 255}));
  EXPECT_TRUE(wglMakeCurrent(nullptr, nullptr));
  EXPECT_TRUE(wglDeleteContext(context));

  platform::Window offscreen = platform::Window::CreateOffscreen(32, 32);
  HDC offscreenDc = GetDC(offscreen.Handle());
  SetStandardFormat(offscreenDc);
  HGLRC offscreenContext = wglCreateContext(offscreenDc);
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(wglMakeCurrent(dc, offscreenContext));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PIXEL_FORMAT));
  EXPECT_TRUE(wglDeleteContext(offscreenContext));
}

}  // namespace
