// Fixture of the GL item tests: a 64 x 64 offscreen window with a current
// context, an orthographic view of [-1, 1] x [-1, 1] (so pixel column c
// shows x = (c + 0.5) / 32 - 1, and row r from the top y = 1 - (r + 0.5) /
// 32), and pixel checks that write the picture next to the test's output
// when they fail. glGetError must be clean after every test.
#ifndef NIMBO_TESTS_KIVVIZOPENGL_ITEMGLTEST_H
#define NIMBO_TESTS_KIVVIZOPENGL_ITEMGLTEST_H

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/Image.h"
#include "platform/OffscreenContext.h"

namespace NimboTest {

using Rgb = std::array<int, 3>;

class ItemGLTest : public ::testing::Test {
 protected:
  static constexpr int Size = 64;

  void SetUp() override;
  void TearDown() override;

  // Clears to the background colour, depth to 1, and loads the
  // orthographic view with an identity modelview.
  void Clear();
  // Finishes, swaps and returns what the window shows.
  platform::Image Present();

  // Whether the pixel (column x, row y from the top) is within `tolerance`
  // of rgb in every channel; on failure the image is written as a PNG.
  ::testing::AssertionResult PixelIs(const platform::Image& image, int x, int y, const Rgb& rgb,
                                     int tolerance = 2) const;
  // Pixels that differ from the background by more than a little.
  static int CountDrawn(const platform::Image& image);
  static bool IsBackground(const std::array<std::uint8_t, 4>& pixel);
  // Writes the image as <suite>.<test>.<tag>.png in the working directory.
  std::string Save(const platform::Image& image, const std::string& tag) const;

  static constexpr Rgb Background = {20, 30, 40};

  std::optional<platform::OffscreenContext> gl;
};

}  // namespace NimboTest

#endif
