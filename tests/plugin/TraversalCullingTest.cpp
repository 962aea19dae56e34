// A chunked mesh drawn in a traversal's passes the same before and after a
// close-up has culled most of its chunks, leaving GL as it found it.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "KivVizCore/AGeometryItemFactory.h"
#include "KivVizCore/AttributeColor.h"
#include "KivVizCore/RenderId.h"
#include "PluginHostFixture.h"

namespace plugintest {
namespace {

// A wavy n x n grid of 2 n^2 triangles over [-1, 1]^2; chunked above 2048 triangles.
Mesh WavyGrid(int n) {
  Mesh mesh;
  for (int row = 0; row <= n; ++row) {
    for (int column = 0; column <= n; ++column) {
      const float x = -1.0f + 2.0f * static_cast<float>(column) / static_cast<float>(n);
      const float y = -1.0f + 2.0f * static_cast<float>(row) / static_cast<float>(n);
      mesh.vertices.insert(mesh.vertices.end(), {x, y, 0.25f * std::sin(3.0f * x) * std::cos(2.0f * y)});
      mesh.normals.insert(mesh.normals.end(), {0.0f, 0.0f, 1.0f});
    }
  }
  const auto stride = static_cast<std::uint32_t>(n + 1);
  for (std::uint32_t row = 0; row < static_cast<std::uint32_t>(n); ++row) {
    for (std::uint32_t column = 0; column < static_cast<std::uint32_t>(n); ++column) {
      const std::uint32_t a = row * stride + column;
      mesh.indices.insert(mesh.indices.end(), {a, a + 1, a + stride + 1, a, a + stride + 1, a + stride});
    }
  }
  return mesh;
}

using TraversalCullingTest = PluginHostFixture;

TEST_F(TraversalCullingTest, ATransparentMeshLooksTheSameAfterACloseUpAndGLIsLeftAsFound) {
  // Last in order, a triangle behind the whole grid: drawn before grid
  // triangles it would show through them instead of failing the depth test.
  Mesh mesh = WavyGrid(40);
  const auto corner = static_cast<std::uint32_t>(mesh.vertices.size() / 3);
  mesh.vertices.insert(mesh.vertices.end(), {-4.0f, -4.0f, -0.5f, 4.0f, -1.0f, -0.5f, -1.0f, 4.0f, -0.5f});
  mesh.normals.insert(mesh.normals.end(), {0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f});
  mesh.indices.insert(mesh.indices.end(), {corner, corner + 1, corner + 2});
  AView3DAdapter& scene = Scene();
  scene.BeginScene(nullptr);
  ASSERT_TRUE(scene.OpenNode(1));
  ASSERT_TRUE(scene.CreateGeoNode(100, L"glass"));
  scene.SetNodeAttribute(new AttributeColor(RGBAColor{200, 60, 60, 128}));
  scene.AddGeometry(scene.GetGeometryItemFactory()->CreateTriangles(1, mesh.vertices, mesh.normals, mesh.indices));
  scene.CloseAllNodes();
  scene.EndScene();
  AddQuad(3, 4, 5, -0.2f, -0.2f, 0.2f, 0.2f, 0.3f);  // opaque, for a pick: transparent nodes take none
  LookFrom(0.0f, 0.0f, 14.0f);
  const platform::Image before = Frame();
  // Items light with the current normal and leave it, which the first frame's context now holds.
  glNormal3f(0.6f, 0.0f, 0.8f);
  LookFrom(0.5f, 0.5f, 0.8f);
  Frame();
  RenderId picked;
  EXPECT_TRUE(Scene().PickVisualAt(kWidth / 2, kHeight / 2, picked)) << "the selection pass draws the scene";
  LookFrom(0.0f, 0.0f, 14.0f);
  EXPECT_TRUE(Frame().rgba == before.rgba) << "the picture changed after a close-up";
  GLint clientDepth = -1;
  glGetIntegerv(GL_CLIENT_ATTRIB_STACK_DEPTH, &clientDepth);
  EXPECT_EQ(clientDepth, 0);
  for (GLenum array : {GL_VERTEX_ARRAY, GL_NORMAL_ARRAY, GL_COLOR_ARRAY}) {
    EXPECT_EQ(glIsEnabled(array), GL_FALSE) << "array " << array;
  }
  GLvoid* vertices = &clientDepth;
  glGetPointerv(GL_VERTEX_ARRAY_POINTER, &vertices);
  EXPECT_EQ(vertices, nullptr);
  GLfloat normal[3] = {};
  glGetFloatv(GL_CURRENT_NORMAL, normal);
  EXPECT_FLOAT_EQ(normal[0], 0.6f);
  EXPECT_FLOAT_EQ(normal[2], 0.8f);
}

}  // namespace
}  // namespace plugintest
