// GL item fixture: a 64 x 64 context viewing [-1, 1]^2 orthographically (pixel
// column c at x = (c + 0.5) / 32 - 1).
#ifndef NIMBO_TESTS_HOST_KIVVIZOPENGL_ITEMFIXTURE_H
#define NIMBO_TESTS_HOST_KIVVIZOPENGL_ITEMFIXTURE_H

#include <windows.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "GLFixture.h"
#include "KivVizOpenGL/GeometryItemTrianglesGL.h"
#include "platform/Image.h"

namespace NimboTest {

using Rgb = std::array<int, 3>;

// The GL state an item may touch while drawing, as text, so that a test can
// tell (and show) whether an item left everything as it found it.
inline std::string GLState() {
  std::ostringstream out;
  out.precision(9);
  for (const GLenum capability : {GL_LIGHTING, GL_LINE_STIPPLE, GL_CULL_FACE, GL_TEXTURE_2D, GL_VERTEX_ARRAY,
                                  GL_NORMAL_ARRAY, GL_COLOR_ARRAY, GL_TEXTURE_COORD_ARRAY}) {
    out << int{glIsEnabled(capability)} << ' ';
  }
  const std::pair<GLenum, int> values[] = {{GL_CULL_FACE_MODE, 1},
                                           {GL_MATRIX_MODE, 1},
                                           {GL_LINE_STIPPLE_PATTERN, 1},
                                           {GL_LINE_STIPPLE_REPEAT, 1},
                                           {GL_LIST_BASE, 1},
                                           {GL_LINE_WIDTH, 1},
                                           {GL_POINT_SIZE, 1},
                                           {GL_CURRENT_COLOR, 4},
                                           {GL_CURRENT_NORMAL, 3},
                                           {GL_CURRENT_RASTER_POSITION, 4},
                                           {GL_MODELVIEW_MATRIX, 16},
                                           {GL_PROJECTION_MATRIX, 16},
                                           {GL_MODELVIEW_STACK_DEPTH, 1},
                                           {GL_ATTRIB_STACK_DEPTH, 1},
                                           {GL_CLIENT_ATTRIB_STACK_DEPTH, 1}};
  for (const auto& [name, count] : values) {
    double value[16];
    glGetDoublev(name, value);
    out << "\n0x" << std::hex << name << std::dec << ':';
    for (int i = 0; i < count; ++i) out << ' ' << value[i];
  }
  for (const GLenum parameter : {GL_AMBIENT, GL_DIFFUSE}) {
    float material[4];
    glGetMaterialfv(GL_FRONT, parameter, material);
    out << "\nmaterial 0x" << std::hex << parameter << std::dec << ':';
    for (const float value : material) out << ' ' << value;
  }
  for (const GLenum pointer : {GL_VERTEX_ARRAY_POINTER, GL_COLOR_ARRAY_POINTER}) {
    GLvoid* value = nullptr;
    glGetPointerv(pointer, &value);
    out << "\npointer " << value;
  }
  return out.str();
}

// An n x n grid of 2 n^2 triangles over [x0, x0 + size] x [y0, y0 + size], wavy
// in z, with leaning normals so that lighting draws a pattern.
inline std::unique_ptr<GeometryItemTrianglesGL> Grid(int n, float x0, float y0, float size) {
  std::vector<float> vertices;
  std::vector<float> normals;
  std::vector<std::uint32_t> indices;
  for (int row = 0; row <= n; ++row) {
    for (int column = 0; column <= n; ++column) {
      const float x = x0 + size * static_cast<float>(column) / static_cast<float>(n);
      const float y = y0 + size * static_cast<float>(row) / static_cast<float>(n);
      const float nx = 0.8f * std::sin(3.0f * x);
      const float ny = 0.8f * std::cos(2.0f * y);
      vertices.insert(vertices.end(), {x, y, 0.3f * std::sin(2.0f * x) * std::cos(3.0f * y)});
      normals.insert(normals.end(), {nx, ny, std::sqrt(std::max(0.05f, 1.0f - nx * nx - ny * ny))});
    }
  }
  const auto stride = static_cast<std::uint32_t>(n + 1);
  for (std::uint32_t row = 0; row < static_cast<std::uint32_t>(n); ++row) {
    for (std::uint32_t column = 0; column < static_cast<std::uint32_t>(n); ++column) {
      const std::uint32_t a = row * stride + column;
      indices.insert(indices.end(), {a, a + 1, a + stride + 1, a, a + stride + 1, a + stride});
    }
  }
  return std::make_unique<GeometryItemTrianglesGL>(1, vertices, normals, indices);
}

class ItemFixture : public GLFixture {
 protected:
  static constexpr int Size = 64;
  static constexpr Rgb Background = {20, 30, 40};

  ItemFixture() : GLFixture(Size, Size) {}
  void SetUp() override {
    glViewport(0, 0, Size, Size);
    Clear();
  }
  // Clears colour and depth and loads the orthographic view.
  void Clear() {
    glClearColor(Background[0] / 255.0f, Background[1] / 255.0f, Background[2] / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1.0, 1.0, -1.0, 1.0, -10.0, 10.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  }
  // Finishes, swaps and returns what the window shows.
  platform::Image Present() {
    glFinish();
    SwapBuffers(DeviceContext());
    return Window().PresentedImage();
  }
  // Whether every colour channel of the pixel is within `tolerance` of rgb.
  static bool Within(const std::array<std::uint8_t, 4>& pixel, const Rgb& rgb, int tolerance) {
    for (int channel = 0; channel < 3; ++channel) {
      if (std::abs(pixel[channel] - rgb[channel]) > tolerance) return false;
    }
    return true;
  }
  // Whether pixel (x, y from the top) is within `tolerance` of rgb in every channel.
  ::testing::AssertionResult PixelIs(const platform::Image& image, int x, int y, const Rgb& rgb,
                                     int tolerance = 2) const {
    const auto pixel = image.At(x, y);
    if (Within(pixel, rgb, tolerance)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << int{pixel[0]} << ","
                                         << int{pixel[1]} << "," << int{pixel[2]} << "; picture in "
                                         << SavePicture(image, "pixel");
  }
  static bool IsBackground(const std::array<std::uint8_t, 4>& pixel) { return Within(pixel, Background, 8); }
  static int CountDrawn(const platform::Image& image) {
    int drawn = 0;
    for (int y = 0; y < image.height; ++y) {
      for (int x = 0; x < image.width; ++x) drawn += IsBackground(image.At(x, y)) ? 0 : 1;
    }
    return drawn;
  }
};

}  // namespace NimboTest

#endif
