#include <windows.h>

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "OffscreenGLFixture.h"
#include "platform/Image.h"

namespace {

using Rgba = std::array<std::uint8_t, 4>;

constexpr float kBlue[3] = {0.0f, 0.0f, 1.0f};
constexpr float kYellow[3] = {1.0f, 1.0f, 0.0f};

TEST_F(OffscreenGLTest, PresentedImageShowsTheFrameTopRowFirst) {
  EXPECT_TRUE(window->PresentedImage().Empty());
  EXPECT_EQ(window->PresentCount(), 0u);
  DrawQuarter(kBlue, kYellow);
  const platform::Image image = window->PresentedImage();
  ASSERT_EQ(image.width, kWidth);
  ASSERT_EQ(image.height, kHeight);
  EXPECT_EQ(window->PresentCount(), 1u);
  // The yellow quarter is the lower left one: bottom rows in a top-first image.
  EXPECT_EQ(image.At(2, kHeight - 3), (Rgba{255, 255, 0, 255}));
  EXPECT_EQ(image.At(kWidth - 3, kHeight - 3), (Rgba{0, 0, 255, 255}));
  EXPECT_EQ(image.At(2, 2), (Rgba{0, 0, 255, 255}));
}

TEST_F(OffscreenGLTest, PresentingCanBeSwitchedOff) {
  DrawQuarter(kBlue, kYellow);
  window->SetPresentEnabled(false);
  EXPECT_FALSE(window->IsPresentEnabled());
  DrawQuarter(kYellow, kBlue);
  EXPECT_EQ(window->PresentCount(), 1u);
  EXPECT_EQ(window->PresentedImage().At(kWidth - 3, 2), (Rgba{0, 0, 255, 255}))
      << "the window keeps showing the last presented frame";
  window->SetPresentEnabled(true);
  DrawQuarter(kYellow, kBlue);
  EXPECT_EQ(window->PresentedImage().At(kWidth - 3, 2), (Rgba{255, 255, 0, 255}));
}

TEST_F(OffscreenGLTest, SwapBuffersLeavesPixelPackStateAlone) {
  glPixelStorei(GL_PACK_ALIGNMENT, 8);
  glPixelStorei(GL_PACK_ROW_LENGTH, 3);
  DrawQuarter(kBlue, kYellow);
  GLint alignment = 0;
  GLint rowLength = 0;
  glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
  glGetIntegerv(GL_PACK_ROW_LENGTH, &rowLength);
  EXPECT_EQ(alignment, 8);
  EXPECT_EQ(rowLength, 3);
  EXPECT_EQ(window->PresentedImage().At(2, kHeight - 3), (Rgba{255, 255, 0, 255}));
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
}

TEST_F(OffscreenGLTest, SwapBuffersWithoutACurrentContextPresentsNothingNew) {
  DrawQuarter(kBlue, kYellow);
  ASSERT_TRUE(wglMakeCurrent(nullptr, nullptr));
  EXPECT_TRUE(SwapBuffers(dc));
  EXPECT_EQ(window->PresentCount(), 1u);
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(SwapBuffers(nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  platform::Window bare = platform::Window::CreateOffscreen(8, 8);
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(SwapBuffers(GetDC(bare.Handle())));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PIXEL_FORMAT));
}

TEST_F(OffscreenGLTest, DepthBufferReadsBack) {
  glViewport(0, 0, kWidth, kHeight);
  glClearDepth(1.0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-1.0, 1.0, -1.0, 1.0, 1.0, 3.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glBegin(GL_QUADS);  // z = -2 in eye space: halfway between near and far
  glVertex3f(-1.0f, -1.0f, -2.0f);
  glVertex3f(0.0f, -1.0f, -2.0f);
  glVertex3f(0.0f, 1.0f, -2.0f);
  glVertex3f(-1.0f, 1.0f, -2.0f);
  glEnd();
  GLfloat drawn = 0.0f;
  GLfloat empty = 0.0f;
  glReadPixels(kWidth / 4, kHeight / 2, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &drawn);
  glReadPixels(3 * kWidth / 4, kHeight / 2, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &empty);
  EXPECT_NEAR(drawn, 0.5f, 1e-4f);
  EXPECT_EQ(empty, 1.0f);
  GLint depthBits = 0;
  glGetIntegerv(GL_DEPTH_BITS, &depthBits);
  EXPECT_GE(depthBits, 24);
  glDisable(GL_DEPTH_TEST);
}

TEST_F(OffscreenGLTest, SelectionModeReportsHitsInsideThePickBox) {
  GLuint buffer[64] = {};
  glSelectBuffer(64, buffer);
  glRenderMode(GL_SELECT);
  glInitNames();
  glPushName(0);
  GLint viewport[4] = {0, 0, kWidth, kHeight};
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  // A 4 x 4 box over the left half of the window.
  gluPickMatrix(kWidth / 4.0, kHeight / 2.0, 4.0, 4.0, viewport);
  glOrtho(-1.0, 1.0, -1.0, 1.0, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glLoadName(7);
  glRectf(-1.0f, -1.0f, 0.0f, 1.0f);  // left half: under the box
  glLoadName(9);
  glRectf(0.0f, -1.0f, 1.0f, 1.0f);  // right half: outside it
  glPushName(11);
  glRectf(-0.6f, -0.2f, -0.4f, 0.2f);  // nested name, also under the box
  glPopName();
  const GLint hits = glRenderMode(GL_RENDER);
  ASSERT_EQ(hits, 2);
  EXPECT_EQ(buffer[0], 1u);  // names in the first record
  EXPECT_EQ(buffer[3], 7u);
  EXPECT_EQ(buffer[4], 2u);  // names in the second record
  EXPECT_EQ(buffer[7], 9u) << "the name stack is (9, 11) while drawing the nested rectangle";
  EXPECT_EQ(buffer[8], 11u);

  // A buffer too small for the records reports overflow as a negative count.
  GLuint tiny[3] = {};
  glSelectBuffer(3, tiny);
  glRenderMode(GL_SELECT);
  glInitNames();
  glPushName(1);
  glRectf(-1.0f, -1.0f, 0.0f, 1.0f);
  glLoadName(2);
  glRectf(-1.0f, -1.0f, 0.0f, 1.0f);
  EXPECT_LT(glRenderMode(GL_RENDER), 0);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
}

TEST_F(OffscreenGLTest, ResizingKeepsTheCurrentContextUsable) {
  DrawQuarter(kBlue, kYellow);
  window->Resize(100, 30);
  EXPECT_EQ(window->Width(), 100);
  EXPECT_EQ(window->Height(), 30);
  EXPECT_EQ(wglGetCurrentContext(), context);
  EXPECT_EQ(wglGetCurrentDC(), dc);
  GLint viewport[4] = {};
  DrawQuarter(kYellow, kBlue);
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 100);
  const platform::Image image = window->PresentedImage();
  ASSERT_EQ(image.width, 100);
  ASSERT_EQ(image.height, 30);
  EXPECT_EQ(image.At(1, 29), (Rgba{0, 0, 255, 255}));
  EXPECT_EQ(image.At(99, 0), (Rgba{255, 255, 0, 255})) << "the new surface covers the new size";
}

TEST_F(OffscreenGLTest, ContextSurvivesItsWindowBeingDestroyed) {
  window.reset();
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  EXPECT_EQ(wglGetCurrentDC(), nullptr);
  platform::Window again = platform::Window::CreateOffscreen(kWidth, kHeight);
  HDC againDc = GetDC(again.Handle());
  ASSERT_TRUE(SetPixelFormat(againDc, format, nullptr));
  EXPECT_TRUE(wglMakeCurrent(againDc, context));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  wglMakeCurrent(nullptr, nullptr);
}

TEST(PngTest, WrittenImageReadsBackUnchanged) {
  platform::Image image;
  image.width = 3;
  image.height = 2;
  image.rgba = {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0,
                10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
  const std::string path = ::testing::TempDir() + "/png-roundtrip.png";
  platform::WritePng(path, image);
  const platform::Image back = platform::ReadPng(path);
  EXPECT_EQ(back.width, 3);
  EXPECT_EQ(back.height, 2);
  EXPECT_EQ(back.rgba, image.rgba);
}

TEST(PngTest, FailuresNameTheFile) {
  platform::Image empty;
  try {
    platform::WritePng("/nonexistent-dir/x.png", empty);
    FAIL() << "an empty image must not be written";
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
