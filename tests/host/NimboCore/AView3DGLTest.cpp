// What the view base and the markups hand to GL: the clip plane on the
// current context, and markups drawn into a frame.
#include <windows.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>

#include "KivVizCore/AttributeColor.h"
#include "NimboCore/MarkupFactory.h"
#include "NimboCore/ViewObjectManager.h"
#include "OffscreenGLContext.h"
#include "TestGeometryItem.h"
#include "TestView.h"

namespace {

using NimboTest::TestGeometryItem;

constexpr int kWidth = 64;
constexpr int kHeight = 48;
const RGBAColor kBackground(0, 0, 255);
const RGBAColor kRed(255, 0, 0);

class AView3DGLTest : public ::testing::Test {
 protected:
  AView3DGLTest() {
    view.SetWindowSize(kWidth, kHeight);
    view.SetBackgroundColor1(kBackground);
  }

  void TearDown() override { EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)); }

  // A red square over the whole view, in the plane z = 0.
  void BuildRedSquare() {
    view.BeginScene(nullptr);
    ASSERT_TRUE(view.OpenNode(1));
    ASSERT_TRUE(view.CreateNode(2, L"model"));
    view.SetNodeAttribute(new AttributeColor(kRed));
    ASSERT_TRUE(view.CreateGeoNode(1, L"square"));
    view.AddGeometry(new TestGeometryItem(1, TestGeometryItem::Kind::Triangles,
                                          {-10, -10, 0, 10, -10, 0, 10, 10, 0, -10, 10, 0}, {0, 1, 2, 0, 2, 3}));
    view.CloseAllNodes();
    view.EndScene();
  }

  // The colour at window pixel (x, y), origin top left, of the frame just drawn.
  static std::array<std::uint8_t, 4> PixelAt(int x, int y) {
    std::array<std::uint8_t, 4> rgba{};
    glReadPixels(x, kHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
  }

  static bool Near(const std::array<std::uint8_t, 4>& pixel, const RGBAColor& colour) {
    return std::abs(pixel[0] - colour.red) <= 2 && std::abs(pixel[1] - colour.green) <= 2 &&
           std::abs(pixel[2] - colour.blue) <= 2;
  }

  NimboTest::OffscreenGLContext context{kWidth, kHeight};
  NimboTest::TestView view;
};

TEST_F(AView3DGLTest, ClipPlaneReachesTheContextInEyeSpaceOfTheCamera) {
  const double keepFront[4] = {0.0, 0.0, 1.0, -1.0};  // keep z >= 1
  glMatrixMode(GL_PROJECTION);
  view.SetClipPlane(keepFront);
  EXPECT_TRUE(glIsEnabled(GL_CLIP_PLANE0));
  double stored[4] = {};
  glGetClipPlane(GL_CLIP_PLANE0, stored);
  // The default camera sits at z = 5: eye z = world z - 5.
  EXPECT_NEAR(stored[0], 0.0, 1e-9);
  EXPECT_NEAR(stored[1], 0.0, 1e-9);
  EXPECT_NEAR(stored[2], 1.0, 1e-9);
  EXPECT_NEAR(stored[3], 4.0, 1e-6);
  // Neither the matrix mode nor the model-view matrix changed.
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_PROJECTION);
  double modelView[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
  EXPECT_EQ(modelView[14], 0.0);

  view.UnSetClipPlane();
  EXPECT_FALSE(glIsEnabled(GL_CLIP_PLANE0));
}

TEST_F(AView3DGLTest, ClipPlaneCutsTheDrawnScene) {
  BuildRedSquare();
  view.Render();
  EXPECT_TRUE(Near(PixelAt(kWidth / 2, 5), kRed));
  EXPECT_TRUE(Near(PixelAt(kWidth / 2, kHeight - 5), kRed));

  const double keepUpperHalf[4] = {0.0, 1.0, 0.0, 0.0};
  view.SetClipPlane(keepUpperHalf);
  view.Render();
  EXPECT_TRUE(Near(PixelAt(kWidth / 2, 5), kRed));
  EXPECT_TRUE(Near(PixelAt(kWidth / 2, kHeight - 5), kBackground));

  view.UnSetClipPlane();
  view.Render();
  EXPECT_TRUE(Near(PixelAt(kWidth / 2, kHeight - 5), kRed));
}

TEST_F(AView3DGLTest, MarkupsDrawWithTheFramesProjectionAndTheCamera) {
  view.GetViewObjectManager()->Add(MarkupFactory::FactoryName, new MarkupFactory());
  // A marker at the origin (the view's centre) and a line along the top.
  const double top = 1.5;
  view.AddMarkups({{0, 0, 0}, {-3, top, 0, 3, top, 0}});
  view.Render();
  const auto centre = PixelAt(kWidth / 2, kHeight / 2);
  EXPECT_FALSE(Near(centre, kBackground)) << int(centre[0]) << "," << int(centre[1]) << "," << int(centre[2]);
  EXPECT_EQ(centre[0], 255);  // orange markups
  EXPECT_TRUE(Near(PixelAt(5, kHeight / 2), kBackground));

  // The line lies at y = 1.5: tan(22.5 degrees) * 5 is the top edge, so it
  // shows at 1.5 / 2.07 of the half-height above the centre.
  const int lineRow = static_cast<int>(kHeight / 2 - (top / 2.0710678) * (kHeight / 2) + 0.5);
  bool found = false;
  for (int row = lineRow - 2; row <= lineRow + 2; ++row) {
    found = found || PixelAt(kWidth / 2 + 10, row)[0] == 255;
  }
  EXPECT_TRUE(found) << "no markup line near row " << lineRow;
}

}  // namespace
