#include "GLFixture.h"

#include <GL/gl.h>

#include <iostream>

#include "WhichWin32.h"

namespace NimboTest {

GLFixture::GLFixture(int width, int height, Context context) {
  if (context == Context::Own) {
    own.emplace(width, height);
  } else {
    bare.emplace(platform::Window::CreateOffscreen(width, height));
  }
}

void GLFixture::TearDown() {
  if (wglGetCurrentContext() != nullptr) {
    EXPECT_EQ(GlErrorBesidesWineFonts(), static_cast<GLenum>(GL_NO_ERROR));
  }
  if (!HasFailure()) return;
  const platform::Image shown = Window().PresentedImage();
  if (!shown.Empty()) std::cout << "What the window shows: " << SavePicture(shown) << '\n';
}

std::string GLFixture::SavePicture(const platform::Image& image, const std::string& tag) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name =
      std::string(info->test_suite_name()) + "." + info->name() + (tag.empty() ? "" : "." + tag) + ".png";
  for (char& c : name) c = c == '/' ? '_' : c;
  platform::WritePng(name, image);
  return name;
}

}  // namespace NimboTest
