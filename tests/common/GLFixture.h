// The one fixture of tests that need GL: an offscreen window and, unless the
// code under test makes its own, a context current on it. After each test
// glGetError must be clean, and when the test failed, what the window shows
// is written next to its output as <suite>.<test>.png for a person to look at.
#ifndef NIMBO_TESTS_COMMON_GLFIXTURE_H
#define NIMBO_TESTS_COMMON_GLFIXTURE_H

#include <windows.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/Image.h"
#include "platform/OffscreenContext.h"
#include "platform/Window.h"

namespace NimboTest {

class GLFixture : public ::testing::Test {
 protected:
  // Context::OfSubject leaves the window bare, for code (a view) that sets
  // its pixel format and makes its context itself.
  enum class Context { Own, OfSubject };

  explicit GLFixture(int width = 64, int height = 48, Context context = Context::Own);
  // Checks the error state and saves the picture; the window and context go
  // with the fixture, after whatever a derived fixture's TearDown released.
  void TearDown() override;

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
  static std::string SavePicture(const platform::Image& image, const std::string& tag = "");

 private:
  std::optional<platform::OffscreenContext> own;
  std::optional<platform::Window> bare;
};

}  // namespace NimboTest

#endif
