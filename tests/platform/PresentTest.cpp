// Presenting frames: the picture a window shows, top row first, failures,
// and PNG files.
// GLFixture.h's GL/gl.h brings in glext.h, with the framebuffer functions' prototypes.
#define GL_GLEXT_PROTOTYPES
#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "GLFixture.h"
#include "Win32Expect.h"

namespace {

using Rgba = std::array<std::uint8_t, 4>;

constexpr float kBlue[3] = {0.0f, 0.0f, 1.0f};
constexpr float kYellow[3] = {1.0f, 1.0f, 0.0f};
constexpr Rgba kBlueRgba{0, 0, 255, 255};
constexpr Rgba kYellowRgba{255, 255, 0, 255};
constexpr int kWidth = 64;  // the fixture's window
constexpr int kHeight = 48;

// Clears to `background`, fills the lower-left quarter with `fill`, presents.
void DrawQuarter(HDC dc, const float (&background)[3], const float (&fill)[3], int width = kWidth,
                 int height = kHeight) {
  glViewport(0, 0, width, height);
  glClearColor(background[0], background[1], background[2], 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glColor3fv(fill);
  glRectf(-1.0f, -1.0f, 0.0f, 0.0f);
  glFinish();
  ASSERT_TRUE(SwapBuffers(dc));
}

using PresentTest = NimboTest::GLFixture;

TEST_F(PresentTest, SwapBuffersPresentsTheFrameTopRowFirstAtItsSizeUnlessSwitchedOff) {
  EXPECT_TRUE(Window().PresentedImage().Empty());
  glPixelStorei(GL_PACK_ROW_LENGTH, 3);
  DrawQuarter(DeviceContext(), kBlue, kYellow);
  const platform::Image image = Window().PresentedImage();
  ASSERT_EQ(std::pair(image.width, image.height), std::pair(kWidth, kHeight));
  EXPECT_EQ(Window().PresentCount(), 1u);
  // The yellow quarter is the lower left one: bottom rows in a top-first image.
  EXPECT_EQ(image.At(2, kHeight - 3), kYellowRgba);
  EXPECT_EQ(image.At(kWidth - 3, kHeight - 3), kBlueRgba);
  GLint rowLength = 0;
  glGetIntegerv(GL_PACK_ROW_LENGTH, &rowLength);
  EXPECT_EQ(rowLength, 3) << "the read-back leaves pixel pack state alone";
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);

  Window().SetPresentEnabled(false);
  DrawQuarter(DeviceContext(), kYellow, kBlue);
  EXPECT_EQ(Window().PresentCount(), 1u);
  EXPECT_EQ(Window().PresentedImage().At(kWidth - 3, 2), kBlueRgba) << "the last presented frame stays";
  Window().SetPresentEnabled(true);
  DrawQuarter(DeviceContext(), kYellow, kBlue);
  EXPECT_EQ(Window().PresentedImage().At(kWidth - 3, 2), kYellowRgba);

  // A pbuffer's size is fixed: a resize makes a new one, of the window's
  // format, and moves the current context onto it.
  Window().Resize(2 * kWidth, kHeight + 8);
  DrawQuarter(DeviceContext(), kBlue, kYellow, 2 * kWidth, kHeight + 8);
  const platform::Image resized = Window().PresentedImage();
  ASSERT_EQ(std::pair(resized.width, resized.height), std::pair(2 * kWidth, kHeight + 8));
  EXPECT_EQ(resized.At(2, kHeight + 5), kYellowRgba);

  // A framebuffer object left bound is not what the window shows.
  GLuint framebuffer = 0, colour = 0;
  glGenFramebuffers(1, &framebuffer);
  glGenRenderbuffers(1, &colour);
  glBindRenderbuffer(GL_RENDERBUFFER, colour);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, 2 * kWidth, kHeight + 8);  // as big as the window
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
  glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  ASSERT_TRUE(SwapBuffers(DeviceContext()));
  EXPECT_EQ(Window().PresentedImage().At(2 * kWidth - 3, 2), kBlueRgba);
  GLint bound = 0;
  glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &bound);
  EXPECT_EQ(static_cast<GLuint>(bound), framebuffer) << "and stays bound";
}

TEST_F(PresentTest, SwapBuffersFailuresPresentNothing) {
  HDC dc = DeviceContext();
  DrawQuarter(DeviceContext(), kBlue, kYellow);
  ASSERT_TRUE(wglMakeCurrent(nullptr, nullptr));
  EXPECT_TRUE(SwapBuffers(dc));
  EXPECT_EQ(Window().PresentCount(), 1u) << "without a current context";
  EXPECT_FAILS_WITH(SwapBuffers(nullptr), ERROR_INVALID_HANDLE);
  platform::Window bare = platform::Window::CreateOffscreen(8, 8);
  EXPECT_FAILS_WITH(SwapBuffers(GetDC(bare.Handle())), ERROR_INVALID_PIXEL_FORMAT);
}

TEST(PngTest, InterlacedImagesReadAndFailuresNameTheFileLeavingNothing) {
  const platform::Image empty;
  EXPECT_THAT([&] { platform::WritePng("/nonexistent-dir/x.png", empty); },
              ::testing::ThrowsMessage<std::runtime_error>(::testing::HasSubstr("/nonexistent-dir/x.png")))
      << "an empty image is not written";
  EXPECT_THROW(platform::ReadPng("/nonexistent-dir/x.png"), std::runtime_error);
  EXPECT_THROW(empty.At(0, 0), std::out_of_range);

  // An interlaced 2 x 2 image: red, green / blue, white.
  const unsigned char interlaced[] = {
      0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00, 0x00,
      0x02, 0x00, 0x00, 0x00, 0x02, 0x08, 0x06, 0x00, 0x00, 0x01, 0x05, 0xb1, 0x3d, 0xb2, 0x00, 0x00, 0x00, 0x13, 0x49,
      0x44, 0x41, 0x54, 0x78, 0x9c, 0x63, 0xf8, 0xcf, 0xc0, 0x00, 0x46, 0x40, 0x82, 0xe1, 0x3f, 0x18, 0x00, 0x00, 0x4b,
      0xc7, 0x09, 0xf7, 0x41, 0xa9, 0xbf, 0x18, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "png-test-interlaced.png";
  std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(interlaced), sizeof interlaced);
  const platform::Image read = platform::ReadPng(file.string());
  std::filesystem::remove(file);
  EXPECT_EQ(read.width, 2);
  EXPECT_EQ(read.rgba, (std::vector<std::uint8_t>{255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255}));

  // A write that cannot complete (a folder stands where the file would go)
  // leaves nothing behind and the folder as it was.
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "png-test-folder.png";
  std::filesystem::create_directories(folder);
  const platform::Image pixel{1, 1, {1, 2, 3, 255}};
  EXPECT_THROW(platform::WritePng(folder.string(), pixel), std::runtime_error);
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  EXPECT_FALSE(std::filesystem::exists(folder.string() + ".part"));
  std::filesystem::remove(folder);
}

}  // namespace
