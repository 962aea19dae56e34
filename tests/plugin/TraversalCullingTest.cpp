// Items (culled, chunked) drawn and picked in a traversal exactly as on their
// own, leaving GL as they found it, and a chunked mesh drawn the same after a close-up.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <vector>

#include "KivVizCore/AGeometryItem.h"
#include "KivVizCore/AGeometryItemFactory.h"
#include "KivVizCore/AttributeColor.h"
#include "KivVizCore/AttributeTransform.h"
#include "KivVizCore/RenderId.h"
#include "KivVizCore/VectorMath.h"
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

// Displays its item with no view, as outside any traversal.
class OnItsOwnItem : public AGeometryItem {
 public:
  explicit OnItsOwnItem(AGeometryItem* item) : AGeometryItem(item->ID()), item(item) {}
  ~OnItsOwnItem() override { delete item; }
  void Display(AView3DAdapter*) override { item->Display(nullptr); }
  bool RayHit(const float origin[3], const float direction[3], float scalar, float hitPoint[3],
              float& parameter) const override {
    return item->RayHit(origin, direction, scalar, hitPoint, parameter);
  }
  bool GetBoundingBox(float minimum[3], float maximum[3]) const override {
    return item->GetBoundingBox(minimum, maximum);
  }

 private:
  AGeometryItem* item;
};

// Each kind in turn: meshes with normals, without, lines and coloured points.
AGeometryItem* MixedItem(AGeometryItemFactory& factory, const Mesh& mesh, int turn) {
  switch (turn % 4) {
    case 0:
      return factory.CreateTriangles(1, mesh.vertices, mesh.normals, mesh.indices);
    case 1:
      return factory.CreateTriangles(1, mesh.vertices, {}, mesh.indices);
    case 2: {
      std::vector<std::uint32_t> segments;
      for (std::size_t i = 0; i + 1 < mesh.indices.size(); i += 3) {
        segments.insert(segments.end(), {mesh.indices[i], mesh.indices[i + 1]});
      }
      return factory.CreateLines(1, mesh.vertices, segments);
    }
    default: {
      AGeometryItem* points = factory.CreatePoints(1, mesh.vertices, 4.0f);
      points->SetColor(RGBAColor{250, 40, 200, 255});
      return points;
    }
  }
}

using ItemMaker = std::function<AGeometryItem*(const Mesh&)>;

class TraversalCullingTest : public PluginHostFixture {
 protected:
  void SetUp() override {
    PluginHostFixture::SetUp();
    HideAxes();
  }

  // model 3 / part 4 / 10002, then turned, scaled, moved groups with small and chunked meshes.
  void BuildScene(const ItemMaker& make) {
    const Mesh small = WavyGrid(3);
    const Mesh big = WavyGrid(40);
    AView3DAdapter& scene = Scene();
    scene.BeginScene(nullptr);
    ASSERT_TRUE(scene.OpenNode(1));
    for (std::uint64_t id : {3u, 4u, 10002u}) ASSERT_TRUE(scene.CreateNode(id, L"group"));
    std::uint64_t next = 100;
    for (int outer = 0; outer < 3; ++outer) {
      ASSERT_TRUE(scene.CreateNode(next++, L"outer"));
      scene.SetNodeAttribute(Transform(40.0 * outer, 1.0 + 0.2 * outer, -2.5 + 2.5 * outer, 0.3 * outer));
      for (int inner = 0; inner < 4; ++inner) {
        ASSERT_TRUE(scene.CreateNode(next++, L"inner"));
        scene.SetNodeAttribute(Transform(25.0 * inner, 0.4, 0.6 * (inner % 2) - 0.3, 0.6 * (inner / 2) - 0.3));
        ASSERT_TRUE(scene.CreateGeoNode(next++, L"leaf"));
        scene.SetNodeAttribute(new AttributeColor(
            RGBAColor{static_cast<std::uint8_t>(60 * inner), 180, static_cast<std::uint8_t>(80 * outer), 255}));
        scene.AddGeometry(make(inner % 2 == 0 ? big : small));
        scene.CloseNode();
        scene.CloseNode();
      }
      scene.CloseNode();
    }
    scene.CloseAllNodes();
    scene.EndScene();
  }

  // Turned about (1, 1, 1) by `degrees`, scaled, then moved by (x, y, 0).
  static AttributeTransform* Transform(double degrees, double scale, double x, double y) {
    const double axis[3] = {1.0, 1.0, 1.0};
    double matrix[16];
    CreateRotationMatrixDegrees(axis, degrees, matrix);
    for (int i = 0; i < 12; ++i) matrix[i] *= scale;
    matrix[12] = x;
    matrix[13] = y;
    return new AttributeTransform(matrix);
  }

  // The node under every 5th pixel; an empty path where there is none.
  std::vector<RenderId> PickEverywhere() {
    std::vector<RenderId> found;
    for (int y = 0; y < kHeight; y += 5) {
      for (int x = 0; x < kWidth; x += 5) {
        RenderId picked;
        Scene().PickVisualAt(x, y, picked);
        found.push_back(picked);
      }
    }
    return found;
  }

  // `tested` items draw and pick as `reference` ones, also after picks have chunked the meshes.
  void ExpectSameAsReference(const ItemMaker& reference, const ItemMaker& tested) {
    View().ClearAll();
    BuildScene(reference);
    const platform::Image expectedFrame = Frame();
    const std::vector<RenderId> expectedPicks = PickEverywhere();
    View().ClearAll();
    BuildScene(tested);
    const platform::Image frame = Frame();
    const std::vector<RenderId> picks = PickEverywhere();
    const platform::Image frameAfterPicks = Frame();
    const auto hits = std::count_if(expectedPicks.begin(), expectedPicks.end(), [](auto& id) { return !id.IsEmpty(); });
    ASSERT_GT(hits, 50) << "the scene should cover a good part of the window";
    ASSERT_LT(hits, std::ssize(expectedPicks)) << "and leave some of it empty";
    EXPECT_EQ(picks, expectedPicks);
    EXPECT_TRUE(frame.rgba == expectedFrame.rgba) << "the picture changed";
    EXPECT_TRUE(frameAfterPicks.rgba == expectedFrame.rgba) << "the picture changed after the picks";
  }
};

TEST_F(TraversalCullingTest, ATransparentMeshLooksTheSameBeforeAndAfterACloseUp) {
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
  LookFrom(0.0f, 0.0f, 14.0f);
  const platform::Image before = Frame();
  LookFrom(0.5f, 0.5f, 0.8f);
  Frame();
  LookFrom(0.0f, 0.0f, 14.0f);
  EXPECT_TRUE(Frame().rgba == before.rgba) << "the picture changed after a close-up";
}

TEST_F(TraversalCullingTest, ItemsDrawInATraversalAsOnTheirOwnAndLeaveGLAsFound) {
  Frame();
  // Meshes without normals light with the current normal, which the first frame's context now holds.
  glNormal3f(0.6f, 0.0f, 0.8f);
  const auto maker = [this](bool onTheirOwn) {
    return [this, onTheirOwn, turn = 0](const Mesh& mesh) mutable -> AGeometryItem* {
      AGeometryItem* item = MixedItem(*Scene().GetGeometryItemFactory(), mesh, turn++);
      return onTheirOwn ? new OnItsOwnItem(item) : item;
    };
  };
  // Close up the big meshes cross the window's edges and are drawn chunk by chunk.
  for (const auto& [name, eye] :
       {std::pair{"whole scene", std::array{1.5f, -2.0f, 9.0f}}, {"close up", {0.5f, -0.5f, 2.5f}}}) {
    SCOPED_TRACE(name);
    LookFrom(eye[0], eye[1], eye[2]);
    ExpectSameAsReference(maker(true), maker(false));
  }
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
