// GL item fixture: a 64 x 64 context viewing [-1, 1]^2 orthographically (pixel
// column c at x = (c + 0.5) / 32 - 1).
#ifndef NIMBO_TESTS_HOST_KIVVIZOPENGL_ITEMFIXTURE_H
#define NIMBO_TESTS_HOST_KIVVIZOPENGL_ITEMFIXTURE_H

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "GLFixture.h"
#include "KivVizOpenGL/GeometryItemTrianglesGL.h"

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
  // Up to 16 values each; those GL does not write stay 0.
  for (const GLenum name :
       {GL_CULL_FACE_MODE, GL_MATRIX_MODE, GL_LINE_STIPPLE_PATTERN, GL_LINE_STIPPLE_REPEAT, GL_LIST_BASE, GL_LINE_WIDTH,
        GL_POINT_SIZE, GL_CURRENT_COLOR, GL_CURRENT_NORMAL, GL_CURRENT_RASTER_POSITION, GL_MODELVIEW_MATRIX,
        GL_PROJECTION_MATRIX, GL_MODELVIEW_STACK_DEPTH, GL_ATTRIB_STACK_DEPTH, GL_CLIENT_ATTRIB_STACK_DEPTH}) {
    double value[16] = {};
    glGetDoublev(name, value);
    out << "\n0x" << std::hex << name << std::dec << ':';
    for (const double v : value) out << ' ' << v;
  }
  float material[8];
  glGetMaterialfv(GL_FRONT, GL_AMBIENT, material);
  glGetMaterialfv(GL_FRONT, GL_DIFFUSE, material + 4);
  out << "\nmaterial ambient, diffuse:";
  for (const float value : material) out << ' ' << value;
  GLvoid* pointers[2] = {};
  glGetPointerv(GL_VERTEX_ARRAY_POINTER, &pointers[0]);
  glGetPointerv(GL_COLOR_ARRAY_POINTER, &pointers[1]);
  out << "\nvertex and colour array pointers: " << pointers[0] << ' ' << pointers[1];
  return out.str();
}

// An n x n grid of 2 n^2 triangles over [x0, x0 + size] x [y0, y0 + size], wavy
// in z, with leaning normals so that lighting draws a pattern.
inline std::unique_ptr<GeometryItemTrianglesGL> Grid(int n, float x0, float y0, float size) {
  std::vector<float> vertices;
  std::vector<float> normals;
  std::vector<std::uint32_t> indices;
  const auto stride = static_cast<std::uint32_t>(n + 1);
  for (std::uint32_t a = 0; a < stride * stride; ++a) {
    const float x = x0 + size * static_cast<float>(a % stride) / static_cast<float>(n);
    const float y = y0 + size * static_cast<float>(a / stride) / static_cast<float>(n);
    const float nx = 0.8f * std::sin(3.0f * x);
    const float ny = 0.8f * std::cos(2.0f * y);
    vertices.insert(vertices.end(), {x, y, 0.3f * std::sin(2.0f * x) * std::cos(3.0f * y)});
    normals.insert(normals.end(), {nx, ny, std::sqrt(std::max(0.05f, 1.0f - nx * nx - ny * ny))});
    // The square above and to the right of each vertex but the last row's and column's.
    if (a % stride == stride - 1 || a / stride == stride - 1) continue;
    indices.insert(indices.end(), {a, a + 1, a + stride + 1, a, a + stride + 1, a + stride});
  }
  return std::make_unique<GeometryItemTrianglesGL>(1, vertices, normals, indices);
}

// Draws the arrays with plain GL calls, all of them at once: what the items'
// chunked and culled drawing must match. No indices draws every vertex.
inline void DrawBare(GLenum mode, const std::vector<float>& vertices, const std::vector<std::uint32_t>& indices,
                     const std::vector<float>& normals = {}) {
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, vertices.data());
  if (!normals.empty()) glEnableClientState(GL_NORMAL_ARRAY);
  glNormalPointer(GL_FLOAT, 0, normals.data());
  indices.empty() ? glDrawArrays(mode, 0, static_cast<GLsizei>(vertices.size() / 3))
                  : glDrawElements(mode, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_INT, indices.data());
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
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
  // A white directional light from the viewer, with colour tracking.
  static void Light() {
    const float none[4] = {0, 0, 0, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);  // light 0 is white from the viewer at first
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
  }
  // Finishes, swaps and returns what the window shows.
  platform::Image Present() {
    glFinish();
    SwapBuffers(DeviceContext());
    return Window().PresentedImage();
  }
  // Pixels in columns [x0, x1] and rows [y0, y1] of exactly that colour or,
  // with no colour, drawn: off the background by more than 8 in some channel.
  static int Count(const platform::Image& image, std::optional<Rgb> rgb, int x0 = 0, int x1 = Size - 1, int y0 = 0,
                   int y1 = Size - 1) {
    int count = 0;
    for (int y = y0; y <= y1; ++y) {
      for (int x = x0; x <= x1; ++x) {
        const auto pixel = image.At(x, y);
        int off = 0;
        for (int c = 0; c < 3; ++c) off = std::max(off, std::abs(pixel[c] - rgb.value_or(Background)[c]));
        count += (rgb ? off == 0 : off > 8) ? 1 : 0;
      }
    }
    return count;
  }
};

}  // namespace NimboTest

#endif
