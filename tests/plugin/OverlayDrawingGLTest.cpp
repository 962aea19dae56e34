// What the overlays show in rendered frames: the triad turning with the
// camera in its corner, the aperture circle around the pointer, the rubber
// band between the drag's corners, all three above the scene and together.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string>
#include <vector>

#include "KivVizCore/VectorMath.h"
#include "KivVizOpenGL/GeometryItemCircle2DGL.h"
#include "NimboCore/ACamera.h"
#include "NimboCore/IViewOp.h"
#include "NimboCore/ViewOpRayPick.h"
#include "OverlayFixture.h"

namespace plugintest {
namespace {

bool AnyAxisColour(const Rgba& pixel) { return Reddish(pixel) || Greenish(pixel) || Bluish(pixel); }

// Sets the host's pick aperture for one test.
class ApertureSize {
 public:
  explicit ApertureSize(int pixels) : previous_(ViewOpRayPick::APERTURE) {
    ViewOpRayPick::APERTURE = pixels;
  }
  ~ApertureSize() { ViewOpRayPick::APERTURE = previous_; }
  ApertureSize(const ApertureSize&) = delete;
  ApertureSize& operator=(const ApertureSize&) = delete;

 private:
  int previous_;
};

// ---------------------------------------------------------------- triad

class OverlayDrawingGLTest : public OverlayGLTest {
 protected:
  // The triad's centre in image coordinates: the middle of its corner.
  static constexpr double kTriadX = 50.0;
  static constexpr double kTriadY = kHeight - 50.0;

  // Expects the triad's pixels of an axis colour to reach out from its
  // centre along the axis' direction on screen (x right, y up); an axis that
  // runs along the view stays near the centre.
  static void ExpectAxis(const platform::Image& image, const char* axis,
                         bool (*colour)(const Rgba&), double screenX, double screenY) {
    const PixelBlob blob = Measure(image, kCorner, colour);
    const double dx = blob.x - kTriadX;
    const double dy = kTriadY - blob.y;
    if (std::hypot(screenX, screenY) > 0.5) {
      ASSERT_GT(blob.count, 20) << axis << " axis missing";
      EXPECT_GT(std::hypot(dx, dy), 6.0) << axis << " axis reaches out from the centre";
      const double cosine =
          (dx * screenX + dy * screenY) / (std::hypot(dx, dy) * std::hypot(screenX, screenY));
      EXPECT_GT(cosine, std::cos(20.0 * std::numbers::pi / 180.0))
          << axis << " axis points (" << dx << ", " << dy << ") on screen, expected (" << screenX
          << ", " << screenY << ")";
    } else if (blob.count > 0) {
      EXPECT_LT(std::hypot(dx, dy), 12.0) << axis << " axis runs along the view";
    }
  }

  // Expects the circle of `radius` pixels centred on window position (x, y).
  static void ExpectCircle(const platform::Image& image, int x, int y, int radius) {
    const Region around{x - radius - 4, y - radius - 4, x + radius + 5, y + radius + 5};
    const PixelBlob ring = Measure(image, around, Black, x, y);
    EXPECT_GT(ring.count, 4 * radius) << "a closed ring of black pixels";
    EXPECT_NEAR(ring.x, x, 1.0) << "centred on the pointer";
    EXPECT_NEAR(ring.y, y, 1.0);
    EXPECT_NEAR(ring.meanDistance, radius, 1.0) << "the aperture's radius in pixels";
    EXPECT_FALSE(Black(image.At(x, y))) << "a ring, not a disc";
  }

  // Expects the dashed rectangle between the drag's corners and nothing of it
  // inside.
  static void ExpectRectangle(const platform::Image& image, int x0, int y0, int x1, int y1) {
    const int left = std::min(x0, x1);
    const int right = std::max(x0, x1);
    const int top = std::min(y0, y1);
    const int bottom = std::max(y0, y1);
    const PixelBlob outline = Measure(image, kWhole, RubberbandRed);
    ASSERT_GT(outline.count, 0) << "no rubber band at all";
    EXPECT_NEAR(outline.minX, left, 2);
    EXPECT_NEAR(outline.maxX, right, 2);
    EXPECT_NEAR(outline.minY, top, 2);
    EXPECT_NEAR(outline.maxY, bottom, 2);
    // Each edge is dashed: about half of its pixels, two rows or columns wide.
    const Region edges[] = {{left + 3, top - 2, right - 3, top + 2},
                            {left + 3, bottom - 2, right - 3, bottom + 2},
                            {left - 2, top + 3, left + 2, bottom - 3},
                            {right - 2, top + 3, right + 2, bottom - 3}};
    for (const Region& edge : edges) {
      const int length = std::max(edge.x1 - edge.x0, edge.y1 - edge.y0);
      EXPECT_GE(Measure(image, edge, RubberbandRed).count, length / 2)
          << "edge at " << edge.x0 << "," << edge.y0;
    }
    if (right - left > 8 && bottom - top > 8) {
      EXPECT_EQ(Measure(image, {left + 4, top + 4, right - 3, bottom - 3}, RubberbandRed).count, 0)
          << "an outline, not a filled rectangle";
    }
  }
};

struct TriadCase {
  std::string name;
  float eye[3];
  // An orbit drag through the controller after placing the eye, in pixels.
  int orbitX;
  int orbitY;
};

void PrintTo(const TriadCase& c, std::ostream* out) { *out << c.name; }

class TriadGLTest : public OverlayDrawingGLTest, public ::testing::WithParamInterface<TriadCase> {};

TEST_P(TriadGLTest, AxesTurnWithTheCameraInsideTheCorner) {
  const TriadCase& c = GetParam();
  LookFrom(c.eye[0], c.eye[1], c.eye[2]);
  if (c.orbitX != 0 || c.orbitY != 0) {
    Notify(IViewOp::Orbit, 1, 80, 60);
    Notify(IViewOp::Orbit, 2, 80 + c.orbitX, 60 + c.orbitY);
  }
  const platform::Image image = Frame();

  // Where each world axis should point on screen for the camera as it is now.
  float eye[3];
  float target[3];
  float up[3];
  view->GetCamera()->GetLookAt(eye, target, up);
  float forward[3];
  Subtract(target, eye, forward);
  Normalize(forward);
  float right[3];
  CrossProduct(forward, up, right);
  Normalize(right);
  float screenUp[3];
  CrossProduct(right, forward, screenUp);
  const struct {
    const char* axis;
    int index;
    bool (*colour)(const Rgba&);
  } axes[] = {{"X", 0, Reddish}, {"Y", 1, Greenish}, {"Z", 2, Bluish}};
  for (const auto& axis : axes) {
    ExpectAxis(image, axis.axis, axis.colour, right[axis.index], screenUp[axis.index]);
  }
  EXPECT_EQ(Measure(image, {100, 0, kWidth, kHeight}, AnyAxisColour).count, 0)
      << "nothing of the triad right of its corner";
  EXPECT_EQ(Measure(image, {0, 0, 100, kHeight - 100}, AnyAxisColour).count, 0)
      << "nothing of the triad above its corner";
  Keep(image, "triad_" + c.name);
}

INSTANTIATE_TEST_SUITE_P(
    Cameras, TriadGLTest,
    ::testing::Values(TriadCase{"Front", {0.0f, 0.0f, 10.0f}, 0, 0},
                      TriadCase{"FarFront", {0.0f, 0.0f, 400.0f}, 0, 0},
                      TriadCase{"RightSide", {10.0f, 0.0f, 0.0f}, 0, 0},
                      TriadCase{"Back", {0.0f, 0.0f, -10.0f}, 0, 0},
                      TriadCase{"Oblique", {10.0f, 10.0f, 10.0f}, 0, 0},
                      TriadCase{"FromBelow", {5.0f, -8.0f, 6.0f}, 0, 0},
                      TriadCase{"OrbitDraggedSideways", {0.0f, 0.0f, 10.0f}, 120, 0},
                      TriadCase{"OrbitDraggedDown", {0.0f, 0.0f, 10.0f}, 0, 80}),
    [](const ::testing::TestParamInfo<TriadCase>& info) { return info.param.name; });

// ---------------------------------------------------------------- aperture

struct ApertureCase {
  std::string name;
  int type;
  int x;
  int y;
  int aperture;
};

void PrintTo(const ApertureCase& c, std::ostream* out) { *out << c.name; }

class ApertureGLTest : public OverlayDrawingGLTest,
                       public ::testing::WithParamInterface<ApertureCase> {};

TEST_P(ApertureGLTest, CircleOfTheApertureSurroundsThePointer) {
  const ApertureCase& c = GetParam();
  const ApertureSize size(c.aperture);
  Aperture().SetIsVisible(true);
  // Wheel and key records carry steps or a key code first, the pointer after.
  if (c.type == IViewOp::WheelZoom || c.type == IViewOp::Key) {
    Notify(c.type, 0, c.type == IViewOp::WheelZoom ? 2 : 65, c.x, c.y);
  } else {
    Notify(c.type, 0, c.x, c.y);
  }
  const platform::Image image = Frame();
  ExpectCircle(image, c.x, c.y, c.aperture);
  Keep(image, "aperture_" + c.name);
}

INSTANTIATE_TEST_SUITE_P(
    Pointers, ApertureGLTest,
    ::testing::Values(ApertureCase{"HoverInTheMiddle", IViewOp::Hover, 80, 60, 5},
                      ApertureCase{"PickClickUpperLeft", IViewOp::RayPick, 30, 22, 5},
                      // The wheel also brings the camera closer; the circle
                      // keeps its size in pixels.
                      ApertureCase{"WheelLowerRightWide", IViewOp::WheelZoom, 125, 90, 12},
                      ApertureCase{"KeyNarrow", IViewOp::Key, 45, 100, 3},
                      ApertureCase{"PanDrag", IViewOp::Pan, 140, 15, 7}),
    [](const ::testing::TestParamInfo<ApertureCase>& info) { return info.param.name; });

// ---------------------------------------------------------------- rubber band

struct DragCase {
  std::string name;
  int x0;
  int y0;
  int x1;
  int y1;
};

void PrintTo(const DragCase& c, std::ostream* out) { *out << c.name; }

class RubberbandGLTest : public OverlayDrawingGLTest,
                         public ::testing::WithParamInterface<DragCase> {};

TEST_P(RubberbandGLTest, RectangleSpansTheDragUntilAnotherOperation) {
  const DragCase& c = GetParam();
  Rubberband().SetIsVisible(true);
  Drag(c.x0, c.y0, c.x1, c.y1);
  platform::Image image = Frame();
  ExpectRectangle(image, c.x0, c.y0, c.x1, c.y1);
  Keep(image, "rubberband_" + c.name);

  Notify(IViewOp::Idle, 0, c.x1, c.y1);
  image = Frame();
  EXPECT_EQ(Measure(image, kWhole, RubberbandRed).count, 0) << "the release hides it";
  Keep(image, "rubberband_released_" + c.name);
}

INSTANTIATE_TEST_SUITE_P(Drags, RubberbandGLTest,
                         ::testing::Values(DragCase{"DownRight", 30, 20, 130, 90},
                                           DragCase{"UpLeft", 140, 105, 60, 15},
                                           DragCase{"AcrossTheTriadCorner", 10, 30, 150, 110}),
                         [](const ::testing::TestParamInfo<DragCase>& info) {
                           return info.param.name;
                         });

// ---------------------------------------------------------------- together

TEST_F(OverlayDrawingGLTest, TriadAndApertureStayAboveANearScene) {
  // A grey quad one unit in front of the eye fills the window; the triad's
  // and the circle's depths lie far behind it, so only the depth clears they
  // do first let them show.
  AddQuad(1, 1, 1, -2.0f, -2.0f, 2.0f, 2.0f, 9.0f, RGBAColor{160, 160, 160, 255});
  Aperture().SetIsVisible(true);
  Notify(IViewOp::Hover, 0, 120, 40);
  const platform::Image image = Frame();
  ASSERT_FALSE(AnyAxisColour(image.At(130, 100))) << "the quad is neutral";
  EXPECT_GT(Measure(image, kCorner, Reddish).count, 20);
  EXPECT_GT(Measure(image, kCorner, Greenish).count, 20);
  EXPECT_GT(Measure(image, kCorner, Bluish).count, 10);
  ExpectCircle(image, 120, 40, ViewOpRayPick::APERTURE);
  Keep(image, "above_near_scene");
}

TEST_F(OverlayDrawingGLTest, AllThreeDrawTogetherOverAScene) {
  AddQuad(1, 1, 1, -2.0f, -1.5f, 2.0f, 1.5f, 0.0f, RGBAColor{210, 190, 120, 255});
  Aperture().SetIsVisible(true);
  Rubberband().SetIsVisible(true);
  // Mid-drag the aperture follows the pointer at the rectangle's moving
  // corner.
  Notify(IViewOp::Hover, 0, 100, 12);
  Drag(100, 12, 148, 56);
  const platform::Image image = Frame();

  // Front view: X points right, Y up.
  ExpectAxis(image, "X", Reddish, 1.0, 0.0);
  ExpectAxis(image, "Y", Greenish, 0.0, 1.0);
  ExpectCircle(image, 148, 56, ViewOpRayPick::APERTURE);
  // The rectangle unprojects its corners through the projection the triad
  // left behind: drawn in any other order it would miss the dragged pixels.
  ExpectRectangle(image, 100, 12, 148, 56);
  const Rgba scene = image.At(104, 75);
  EXPECT_TRUE(scene[0] > 100 && scene[1] > 80 && scene[2] < scene[1]) << "the scene is there";

  if (const char* path = std::getenv("NIMBO_OVERLAY_PICTURE")) platform::WritePng(path, image);
  Keep(image, "all_overlays");
}

TEST_F(OverlayDrawingGLTest, FrameDrawsThemInTheManagersOrder) {
  Aperture().SetIsVisible(true);
  Rubberband().SetIsVisible(true);
  Frame();  // builds the three
  std::vector<DrawRecord> log;
  Record(Aperture(), 901, log);
  Record(Axes(), 902, log);
  Record(Rubberband(), 903, log);
  Drag(40, 30, 120, 90);
  Frame();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0].item, 901u) << "the aperture first, under the frame's perspective";
  EXPECT_EQ(log[1].item, 902u);
  EXPECT_EQ(log[2].item, 903u) << "the rubber band last, after the triad";
  EXPECT_NEAR(log[0].translation[2], -10.0, 1e-4) << "the circle lies in the target's plane";
  EXPECT_NEAR(log[1].translation[2], -50.0, 1e-4) << "the triad's own eye distance";
  EXPECT_EQ(log[2].translation[2], 0.0) << "the rubber band draws with the identity";

  // The frame ends with the triad's orthographic box and the rubber band's
  // whole-window viewport current.
  GLdouble projection[16];
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  EXPECT_NEAR(projection[0], 0.1, 1e-7);
  EXPECT_NEAR(projection[5], 0.1, 1e-7);
  EXPECT_NEAR(projection[10], -0.01, 1e-7);
  EXPECT_EQ(projection[15], 1.0);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], kWidth);
  EXPECT_EQ(viewport[3], kHeight);

  // An orbit drag hides the circle and ends the rubber band's drag.
  log.clear();
  Notify(IViewOp::Orbit, 1, 60, 60);
  Frame();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].item, 902u);
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 100) << "the triad's corner is left current";
  EXPECT_EQ(viewport[3], 100);
}

TEST_F(OverlayDrawingGLTest, TriadKeepsItsSquareInASmallWindow) {
  View().SetWindowSize(60, 40);
  Frame();
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[0], 0);
  EXPECT_EQ(viewport[1], 0);
  EXPECT_EQ(viewport[2], 100) << "clipped by the window, not shrunk to it";
  EXPECT_EQ(viewport[3], 100);
}

TEST_F(OverlayDrawingGLTest, ApertureDrawsNothingInAWindowWithoutRows) {
  Aperture().SetIsVisible(true);
  Notify(IViewOp::Hover, 0, 80, 60);
  Frame();
  std::vector<DrawRecord> log;
  Record(Aperture(), 901, log);
  auto* circle = dynamic_cast<GeometryItemCircle2DGL*>(ItemOf(Aperture()));
  ASSERT_NE(circle, nullptr);
  const float radius = circle->radius;
  View().SetWindowSize(kWidth, 0);
  Frame();
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(circle->radius, radius) << "no pixel size to scale the radius by";
  View().SetWindowSize(kWidth, kHeight);
  Frame();
  EXPECT_EQ(log.size(), 1u);
}

}  // namespace
}  // namespace plugintest
