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

  // Whether window pixel (x, y), origin top left, of the frame just drawn
  // has the colour.
  static bool PixelIs(int x, int y, const RGBAColor& colour) {
    std::array<std::uint8_t, 4> p{};
    glReadPixels(x, kHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
    return std::abs(p[0] - colour.red) <= 2 && std::abs(p[1] - colour.green) <= 2 && std::abs(p[2] - colour.blue) <= 2;
  }

  NimboTest::OffscreenGLContext context{kWidth, kHeight};
  NimboTest::TestView view;
};

TEST_F(AView3DGLTest, ClipPlaneReachesTheContextInEyeSpaceAndCutsTheScene) {
  const double keepFront[4] = {0.0, 0.0, 1.0, -1.0};  // keep z >= 1
  glMatrixMode(GL_PROJECTION);
  view.SetClipPlane(keepFront);
  EXPECT_TRUE(glIsEnabled(GL_CLIP_PLANE0));
  double stored[4] = {};
  glGetClipPlane(GL_CLIP_PLANE0, stored);
  // The default camera sits at z = 5: eye z = world z - 5.
  EXPECT_NEAR(stored[2], 1.0, 1e-9);
  EXPECT_NEAR(stored[3], 4.0, 1e-6);
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_PROJECTION) << "the matrix mode is left alone";
  double modelView[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
  EXPECT_EQ(modelView[14], 0.0) << "and so is the model-view matrix";
  view.UnSetClipPlane();
  EXPECT_FALSE(glIsEnabled(GL_CLIP_PLANE0));

  // A red square over the whole view, in the plane z = 0.
  view.BeginScene(nullptr);
  ASSERT_TRUE(view.OpenNode(1));
  ASSERT_TRUE(view.CreateNode(2, L"model"));
  view.SetNodeAttribute(new AttributeColor(kRed));
  ASSERT_TRUE(view.CreateGeoNode(1, L"square"));
  view.AddGeometry(new TestGeometryItem(1, TestGeometryItem::Kind::Triangles,
                                        {-10, -10, 0, 10, -10, 0, 10, 10, 0, -10, 10, 0}, {0, 1, 2, 0, 2, 3}));
  view.CloseAllNodes();
  view.EndScene();
  const double keepUpperHalf[4] = {0.0, 1.0, 0.0, 0.0};
  view.SetClipPlane(keepUpperHalf);
  view.Render();
  EXPECT_TRUE(PixelIs(kWidth / 2, 5, kRed));
  EXPECT_TRUE(PixelIs(kWidth / 2, kHeight - 5, kBackground));
  view.UnSetClipPlane();
  view.Render();
  EXPECT_TRUE(PixelIs(kWidth / 2, kHeight - 5, kRed));
}

TEST_F(AView3DGLTest, MarkupsDrawWithTheFramesProjectionAndTheCamera) {
  view.GetViewObjectManager()->Add(MarkupFactory::FactoryName, new MarkupFactory());
  // A marker at the origin (the view's centre) and a line along y = 1.5.
  view.AddMarkups({{0, 0, 0}, {-3, 1.5, 0, 3, 1.5, 0}});
  view.Render();
  EXPECT_TRUE(PixelIs(kWidth / 2, kHeight / 2, RGBAColor(255, 140, 0))) << "orange markups";
  EXPECT_TRUE(PixelIs(5, kHeight / 2, kBackground));
  // tan(22.5 degrees) * 5 is the top edge: the line shows 1.5 / 2.07 of the
  // half-height above the centre.
  const int lineRow = static_cast<int>(kHeight / 2 - (1.5 / 2.0710678) * (kHeight / 2) + 0.5);
  bool found = false;
  for (int row = lineRow - 2; row <= lineRow + 2; ++row) {
    std::array<std::uint8_t, 4> p{};
    glReadPixels(kWidth / 2 + 10, kHeight - 1 - row, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
    found = found || p[0] == 255;
  }
  EXPECT_TRUE(found) << "no markup line near row " << lineRow;
}

}  // namespace
