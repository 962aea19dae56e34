// Presenting frames: the picture a window shows, top row first, through
// offscreen and native X11 windows, resizing, failures, and PNG files.
#include <windows.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

#include "OffscreenGLFixture.h"
#include "XvfbServer.h"
#include "platform/Image.h"

namespace {

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
  GLint alignment = 0;
  GLint rowLength = 0;
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

TEST_F(OffscreenGLTest, ResizingKeepsTheContextAndDestroyingTheWindowReleasesIt) {
  DrawQuarter(kBlue, kYellow);
  window->Resize(100, 30);
  EXPECT_EQ(window->Width(), 100);
  EXPECT_EQ(wglGetCurrentContext(), context);
  EXPECT_EQ(wglGetCurrentDC(), dc);
  DrawQuarter(kYellow, kBlue);
  const platform::Image image = window->PresentedImage();
  ASSERT_EQ(image.width, 100);
  ASSERT_EQ(image.height, 30);
  EXPECT_EQ(image.At(1, 29), kBlueRgba);
  EXPECT_EQ(image.At(99, 0), kYellowRgba) << "the new surface covers the new size";

  window.reset();
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  EXPECT_EQ(wglGetCurrentDC(), nullptr);
  platform::Window again = platform::Window::CreateOffscreen(kWidth, kHeight);
  HDC againDc = GetDC(again.Handle());
  ASSERT_TRUE(SetPixelFormat(againDc, format, nullptr));
  EXPECT_TRUE(wglMakeCurrent(againDc, context)) << "the context survives its window";
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  wglMakeCurrent(nullptr, nullptr);
}

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
  EXPECT_FAILS_WITH(wglMakeCurrent(dc, offscreenContext), ERROR_INVALID_PIXEL_FORMAT);
  EXPECT_TRUE(wglDeleteContext(offscreenContext));
}

TEST(PngTest, WrittenImageReadsBackUnchangedAndFailuresNameTheFile) {
  platform::Image image;
  image.width = 3;
  image.height = 2;
  image.rgba = {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
  const std::string path = ::testing::TempDir() + "/png-roundtrip.png";
  platform::WritePng(path, image);
  const platform::Image back = platform::ReadPng(path);
  EXPECT_EQ(back.width, 3);
  EXPECT_EQ(back.height, 2);
  EXPECT_EQ(back.rgba, image.rgba);
  const platform::Image empty;
  try {
    platform::WritePng("/nonexistent-dir/x.png", empty);
    ADD_FAILURE() << "an empty image must not be written";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find("/nonexistent-dir/x.png"), std::string::npos);
  }
  EXPECT_THROW(platform::ReadPng("/nonexistent-dir/x.png"), std::runtime_error);
  const std::string notPng = ::testing::TempDir() + "/not-a-png.png";
  std::FILE* file = std::fopen(notPng.c_str(), "wb");
  std::fputs("hello, not a png at all", file);
  std::fclose(file);
  EXPECT_THROW(platform::ReadPng(notPng), std::runtime_error);
  EXPECT_THROW(empty.At(0, 0), std::out_of_range);
}

}  // namespace
