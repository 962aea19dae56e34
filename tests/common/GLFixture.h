// The one fixture of tests that need GL: an offscreen window and, unless the
// code under test makes its own, a context current on it. After each test
// glGetError must be clean, and when the test failed, what the window shows
// is written next to its output as <suite>.<test>.png for a person to look at.
#ifndef NIMBO_TESTS_COMMON_GLFIXTURE_H
#define NIMBO_TESTS_COMMON_GLFIXTURE_H

#include <windows.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <iostream>
#include <optional>
#include <string>

#include "WhichWin32.h"
#include "platform/Image.h"
#include "platform/OffscreenContext.h"
#include "platform/Window.h"

namespace NimboTest {

class GLFixture : public ::testing::Test {
 protected:
  // Context::OfSubject leaves the window bare, for code (a view) that sets
  // its pixel format and makes its context itself.
  enum class Context { Own, OfSubject };

  explicit GLFixture(int width = 64, int height = 48, Context context = Context::Own) {
    if (context == Context::Own) {
      own.emplace(width, height);
    } else {
      bare.emplace(platform::Window::CreateOffscreen(width, height));
    }
  }
  // Checks the error state and saves the picture; the window and context go
  // with the fixture, after whatever a derived fixture's TearDown released.
  void TearDown() override {
    if (wglGetCurrentContext() != nullptr) {
      EXPECT_EQ(GlErrorBesidesWineFonts(), static_cast<GLenum>(GL_NO_ERROR));
    }
    const platform::Image shown = HasFailure() ? Window().PresentedImage() : platform::Image{};
    if (!shown.Empty()) std::cout << "What the window shows: " << SavePicture(shown) << '\n';
  }

  platform::Window& Window() { return own ? own->Window() : *bare; }
  HDC DeviceContext() { return own ? own->DeviceContext() : GetDC(bare->Handle()); }
  // Replaces the own window and context with new ones.
  void RenewContext() {
    const int width = own->Window().Width(), height = own->Window().Height();
    own.reset();
    own.emplace(width, height);
  }

  // Writes the image as <suite>.<test>[.<tag>].png in the working directory
  // and returns the file's name.
  static std::string SavePicture(const platform::Image& image, const std::string& tag = "") {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name =
        std::string(info->test_suite_name()) + "." + info->name() + (tag.empty() ? "" : "." + tag) + ".png";
    for (char& c : name) c = c == '/' ? '_' : c;
    platform::WritePng(name, image);
    return name;
  }

 private:
  std::optional<platform::OffscreenContext> own;
  std::optional<platform::Window> bare;
};

}  // namespace NimboTest

#endif
