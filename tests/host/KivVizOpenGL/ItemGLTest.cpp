#include "ItemGLTest.h"

#include <windows.h>

#include <GL/gl.h>

#include <cstdlib>

namespace NimboTest {

void ItemGLTest::SetUp() {
  gl.emplace(Size, Size);
  glViewport(0, 0, Size, Size);
  Clear();
}

void ItemGLTest::TearDown() {
  if (wglGetCurrentContext() != nullptr) {
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }
  gl.reset();
}

void ItemGLTest::Clear() {
  glClearColor(Background[0] / 255.0f, Background[1] / 255.0f, Background[2] / 255.0f, 1.0f);
  glClearDepth(1.0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-1.0, 1.0, -1.0, 1.0, -10.0, 10.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

platform::Image ItemGLTest::Present() {
  glFinish();
  SwapBuffers(gl->DeviceContext());
  return gl->Window().PresentedImage();
}

::testing::AssertionResult ItemGLTest::PixelIs(const platform::Image& image, int x, int y, const Rgb& rgb,
                                               int tolerance) const {
  const auto pixel = image.At(x, y);
  for (int channel = 0; channel < 3; ++channel) {
    if (std::abs(pixel[channel] - rgb[channel]) > tolerance) {
      return ::testing::AssertionFailure()
             << "pixel (" << x << ", " << y << ") is " << int{pixel[0]} << "," << int{pixel[1]} << ","
             << int{pixel[2]} << ", expected " << rgb[0] << "," << rgb[1] << "," << rgb[2]
             << "; picture in " << Save(image, "pixel");
    }
  }
  return ::testing::AssertionSuccess();
}

int ItemGLTest::CountDrawn(const platform::Image& image) {
  int drawn = 0;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      drawn += IsBackground(image.At(x, y)) ? 0 : 1;
    }
  }
  return drawn;
}

bool ItemGLTest::IsBackground(const std::array<std::uint8_t, 4>& pixel) {
  for (int channel = 0; channel < 3; ++channel) {
    if (std::abs(pixel[channel] - Background[channel]) > 8) {
      return false;
    }
  }
  return true;
}

std::string ItemGLTest::Save(const platform::Image& image, const std::string& tag) const {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "." + info->name() + "." + tag + ".png";
  for (char& c : name) {
    if (c == '/') {
      c = '_';
    }
  }
  platform::WritePng(name, image);
  return name;
}

}  // namespace NimboTest
