// Picking on real scenes: which node is under a pixel, and where its geometry
// meets the ray.

#include "KivVizCore/RenderingOptions.h"
#include "PluginHostFixture.h"

namespace plugintest {
namespace {

class PickingTest : public PluginHostFixture {
 protected:
  // Whether a pick at the centre finds news; `picked` starts empty.
  bool PickCentre(RenderId& picked) { return Scene().PickVisualAt(kWidth / 2, kHeight / 2, picked); }
  // Everything a pick promises to leave as it found it (the triad, hidden, would leave its projection).
  auto SideState() {
    std::array<GLdouble, 16> projection{};
    GLint renderMode = 0, nameDepth = 0;
    glGetDoublev(GL_PROJECTION_MATRIX, projection.data());
    glGetIntegerv(GL_RENDER_MODE, &renderMode);
    glGetIntegerv(GL_NAME_STACK_DEPTH, &nameDepth);
    return std::tuple{projection, renderMode, nameDepth, Scene().GetCurrentOpenNode()};
  }
};

TEST_F(PickingTest, NearestNodeIsPickedWithItsPathExceptWhileBuildingSwitchedOffOrOverflowing) {
  AddQuad(5, -1.0f, -1.0f, 1.0f, 1.0f, 0.0f);
  AddQuad(6, -1.0f, -1.0f, 1.0f, 1.0f, 2.0f);  // nearer the eye
  Frame();
  RenderId picked;
  float x = 0.0f, y = 0.0f, z = 0.0f;
  Scene().BeginScene(nullptr);
  EXPECT_FALSE(PickCentre(picked));
  EXPECT_FALSE(Scene().PickPoint(kWidth / 2, kHeight / 2, x, y, z));
  Scene().EndScene();
  RenderingOptions options;
  options.SetPickSurfaces(false);
  View().ApplyRenderingOptions(options);
  EXPECT_FALSE(PickCentre(picked));
  options.SetPickSurfaces(true);
  View().ApplyRenderingOptions(options);
  ASSERT_TRUE(PickCentre(picked));
  EXPECT_EQ(picked, RenderId({1, 3, 4, 10002, 6}, 1)) << picked;
  EXPECT_FALSE(PickCentre(picked)) << "the same node as last time is no news";
  const RenderId previous({1, 7}, 1);
  picked = previous;
  EXPECT_FALSE(Scene().PickVisualAt(5, 5, picked)) << "the background";
  EXPECT_EQ(picked, previous);
  // Rows far outside the window, where height - y overflows an int.
  EXPECT_FALSE(Scene().PickVisualAt(0, std::numeric_limits<int>::min(), picked));
  EXPECT_FALSE(Scene().PickVisualAt(std::numeric_limits<int>::min(), -std::numeric_limits<int>::max(), picked));

  // 200 stacked leaves under the pixel: each record takes 8 words.
  for (std::uint64_t leaf = 10; leaf < 210; ++leaf) AddQuad(leaf, -1, -1, 1, 1, -0.01f * static_cast<float>(leaf));
  Frame();
  RenderId overflowed;
  const auto before = SideState();
  EXPECT_FALSE(PickCentre(overflowed));
  EXPECT_TRUE(overflowed.IsEmpty());
  EXPECT_EQ(SideState(), before);
}

TEST_F(PickingTest, PickPointIsTrueForAnyPickedNodeButWritesOnlyWhereTheRayMeetsItsFirstItem) {
  // The quad starts just over a pixel right of centre: the 4 x 4 pick box reaches it there, the ray does not.
  AddQuad(5, 0.083f, -2.0f, 2.0f, 2.0f, 0.5f);
  Frame();
  float x = 7.0f, y = 7.0f, z = 7.0f;
  EXPECT_TRUE(Scene().PickPoint(kWidth / 2, kHeight / 2, x, y, z));
  EXPECT_EQ((std::array{x, y, z}), (std::array{7.0f, 7.0f, 7.0f}));
  ASSERT_TRUE(Scene().PickPoint(kWidth / 2 + 16, kHeight / 2, x, y, z));
  // 16 pixels right of centre at 9.5 units: 16 / 60 of tan(22.5) * 9.5.
  EXPECT_NEAR(x, 16.0f / 60.0f * 0.41421356f * 9.5f, 0.02f);
  EXPECT_NEAR(y, 0.0f, 0.02f);
  EXPECT_NEAR(z, 0.5f, 1e-4f);
  x = y = z = 11.0f;
  EXPECT_FALSE(Scene().PickPoint(5, 5, x, y, z)) << "the background";
  EXPECT_EQ(z, 11.0f);

  // Under an open root the path's first id is not found: no point, the stack and GL restored.
  ASSERT_TRUE(Scene().OpenNode(1));
  const auto rootOpen = SideState();
  EXPECT_TRUE(Scene().PickPoint(kWidth / 2 + 16, kHeight / 2, x, y, z));
  EXPECT_EQ(z, 11.0f);
  EXPECT_EQ(SideState(), rootOpen);
  Scene().CloseAllNodes();

  // A second, nearer item in the same leaf: the leaf's first item answers.
  AddQuad(5, -2.0f, -2.0f, 2.0f, 2.0f, 1.0f);
  Frame();
  ASSERT_TRUE(Scene().PickPoint(kWidth / 2 + 16, kHeight / 2, x, y, z));
  EXPECT_NEAR(z, 0.5f, 1e-4f);
}

TEST_F(PickingTest, GetPointAtPixelUnprojectsTheDepthBuffer) {
  AddQuad(5, -2.0f, -2.0f, 2.0f, 2.0f, 1.0f);
  Frame();
  // The frame leaves the scene's projection current: set the camera's model-view as the scene was drawn.
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(0.0f, 0.0f, -10.0f);
  float x = 0.0f, y = 0.0f, z = 0.0f;
  View().GetPointAtPixel(kWidth / 2, kHeight / 2, x, y, z);
  EXPECT_NEAR(std::hypot(x, y), 0.0f, 0.05f);
  EXPECT_NEAR(z, 1.0f, 0.02f) << "the drawn surface";
  View().GetPointAtPixel(3, 3, x, y, z);
  EXPECT_NEAR(z, 10.0f - 110.0f, 0.5f) << "the cleared depth lies on the far plane, 110 from the eye";
  // Pixels at the int limits read no depth: the point lies on the near plane.
  for (const auto& [px, py] : {std::pair{kWidth / 2, std::numeric_limits<int>::min()},
                               std::pair{std::numeric_limits<int>::max(), kHeight / 2}}) {
    View().GetPointAtPixel(px, py, x, y, z);
    EXPECT_GT(z, 9.0f) << px << ", " << py;
  }
}

}  // namespace
}  // namespace plugintest
