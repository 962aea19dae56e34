// Marks as a person sees them in the next frame: the mark colours replace
// the node's, a transparent node still shows what lies behind it, and
// removing the marks gives back the same picture.
#include <windows.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "HighlightScene.h"
#include "ItemGLTest.h"
#include "KivVizOpenGL/GeometryItemTrianglesGL.h"
#include "NimboCore/ACamera.h"

namespace {

using NimboTest::HighlightScene;
using NimboTest::Rgb;

GeometryItemTrianglesGL* Rectangle(float x0, float x1) {
  return new GeometryItemTrianglesGL(1, {x0, -0.5f, 0, x1, -0.5f, 0, x1, 0.5f, 0, x0, 0.5f, 0},
                                     std::vector<float>(12, 0.0f), {0, 1, 2, 0, 2, 3});
}

Rgb Blend(const RGBAColor& over, const std::array<std::uint8_t, 4>& under) {
  const float a = over.alpha / 255.0f;
  return {static_cast<int>(std::lround(a * over.red + (1 - a) * under[0])),
          static_cast<int>(std::lround(a * over.green + (1 - a) * under[1])),
          static_cast<int>(std::lround(a * over.blue + (1 - a) * under[2]))};
}

Rgb Opaque(const RGBAColor& color) { return {color.red, color.green, color.blue}; }

class HighlightGLTest : public NimboTest::ItemGLTest {
 protected:
  void SetUp() override {
    ItemGLTest::SetUp();
    // Opaque node on the left, transparent node on the right.
    scene.NodeOf(HighlightScene::Opaque).AddGeometry(Rectangle(-1.0f, -0.1f));
    scene.NodeOf(HighlightScene::Transparent).AddGeometry(Rectangle(0.1f, 1.0f));
    scene.view.BeginScene(nullptr);
    scene.view.EndScene();
    scene.view.SetWindowSize(Size, Size);
    const float eye[3] = {0, 0, 3};
    const float target[3] = {0, 0, 0};
    const float up[3] = {0, 1, 0};
    scene.view.GetCamera()->SetLookAt(eye, target, up);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  }

  void TearDown() override {
    glDisable(GL_BLEND);
    ItemGLTest::TearDown();
  }

  platform::Image Frame() {
    scene.view.Render();
    return Present();
  }

  HighlightScene scene;
};

TEST_F(HighlightGLTest, MarksShowInTheNextFrameAndGoAwayAgain) {
  const platform::Image plain = Frame();
  const auto background = plain.At(32, 2);
  ASSERT_TRUE(PixelIs(plain, 16, 32, Opaque(HighlightScene::OpaqueColor)));
  ASSERT_TRUE(PixelIs(plain, 48, 32, Blend(HighlightScene::TransparentColor, background)));

  ASSERT_TRUE(scene.view.Highlight(HighlightScene::PathOf(HighlightScene::Opaque)));
  scene.view.Select(HighlightScene::PathOf(HighlightScene::Transparent));
  const platform::Image marked = Frame();
  EXPECT_TRUE(PixelIs(marked, 16, 32, Opaque(HighlightStrategyGL::HighlightColor)));
  RGBAColor selection = HighlightStrategyGL::SelectionColor;
  selection.alpha = HighlightScene::TransparentColor.alpha;
  EXPECT_TRUE(PixelIs(marked, 48, 32, Blend(selection, background))) << "still see-through";

  scene.view.UnSelect();
  EXPECT_TRUE(Frame().rgba == plain.rgba);
}

}  // namespace
