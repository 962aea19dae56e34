// What the overlays show and how they follow the controller's records: the
// triad turning with the camera in its corner, the aperture circle around
// the pointer, the rubber band between the drag's corners, all three above
// the scene; which record codes show, move or hide them.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "KivVizCore/VectorMath.h"
#include "KivVizOpenGL/GeometryItemCircle2DGL.h"
#include "KivVizOpenGL/GeometryItemPolylineGL.h"
#include "NimboCore/ACamera.h"
#include "NimboCore/IControllerListener.h"
#include "NimboCore/IViewOp.h"
#include "NimboCore/ViewOpRayPick.h"
#include "OverlayFixture.h"

namespace plugintest {
namespace {

bool AnyAxisColour(const Rgba& pixel) { return Reddish(pixel) || Greenish(pixel) || Bluish(pixel); }

class OverlayDrawingGLTest : public OverlayGLTest {
 protected:
  // Expects the triad's pixels of an axis colour to reach out from the
  // corner's middle along the axis' direction on screen (x right, y up); an
  // axis that runs along the view stays near the middle.
  static void ExpectAxis(const platform::Image& image, const char* axis, bool (*colour)(const Rgba&), double screenX,
                         double screenY) {
    const PixelBlob blob = Measure(image, kCorner, colour);
    const double dx = blob.x - 50.0;
    const double dy = kHeight - 50.0 - blob.y;
    if (std::hypot(screenX, screenY) > 0.5) {
      ASSERT_GT(blob.count, 20) << axis << " axis missing";
      EXPECT_GT(std::hypot(dx, dy), 6.0) << axis << " axis reaches out from the centre";
      EXPECT_GT((dx * screenX + dy * screenY) / (std::hypot(dx, dy) * std::hypot(screenX, screenY)),
                std::cos(20.0 * std::numbers::pi / 180.0))
          << axis << " axis points (" << dx << ", " << dy << "), expected (" << screenX << ", " << screenY << ")";
    } else if (blob.count > 0) {
      EXPECT_LT(std::hypot(dx, dy), 12.0) << axis << " axis runs along the view";
    }
  }

  // Expects the circle of `radius` pixels centred on window position (x, y).
  static void ExpectCircle(const platform::Image& image, int x, int y, int radius) {
    const PixelBlob ring = Measure(image, {x - radius - 4, y - radius - 4, x + radius + 5, y + radius + 5}, Black, x, y);
    EXPECT_GT(ring.count, 4 * radius) << "a closed ring of black pixels";
    EXPECT_NEAR(ring.x, x, 1.0) << "centred on the pointer";
    EXPECT_NEAR(ring.y, y, 1.0);
    EXPECT_NEAR(ring.meanDistance, radius, 1.0) << "the aperture's radius in pixels";
    EXPECT_FALSE(Black(image.At(x, y))) << "a ring, not a disc";
  }

  // Expects the dashed outline between the drag's corners and nothing inside.
  static void ExpectRectangle(const platform::Image& image, int x0, int y0, int x1, int y1) {
    const int left = std::min(x0, x1), right = std::max(x0, x1), top = std::min(y0, y1), bottom = std::max(y0, y1);
    const PixelBlob outline = Measure(image, kWhole, RubberbandRed);
    ASSERT_GT(outline.count, 0) << "no rubber band at all";
    EXPECT_NEAR(outline.minX, left, 2);
    EXPECT_NEAR(outline.maxX, right, 2);
    EXPECT_NEAR(outline.minY, top, 2);
    EXPECT_NEAR(outline.maxY, bottom, 2);
    // Each edge is dashed: about half of its pixels.
    EXPECT_GE(Measure(image, {left + 3, top - 2, right - 3, top + 2}, RubberbandRed).count, (right - left - 6) / 2);
    EXPECT_GE(Measure(image, {left - 2, top + 3, left + 2, bottom - 3}, RubberbandRed).count, (bottom - top - 6) / 2);
    EXPECT_EQ(Measure(image, {left + 4, top + 4, right - 3, bottom - 3}, RubberbandRed).count, 0) << "not filled";
  }
};

TEST_F(OverlayDrawingGLTest, TriadAxesTurnWithTheCameraInsideTheCorner) {
  const struct {
    const char* name;
    float eye[3];
    int orbitX, orbitY;  // an orbit drag after placing the eye, in pixels
  } cases[] = {{"Front", {0, 0, 10}, 0, 0},         {"FarFront", {0, 0, 400}, 0, 0},
               {"Back", {0, 0, -10}, 0, 0},         {"Oblique", {10, 10, 10}, 0, 0},
               {"FromBelow", {5, -8, 6}, 0, 0},     {"OrbitDraggedSideways", {0, 0, 10}, 120, 0},
               {"OrbitDraggedDown", {0, 0, 10}, 0, 80}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LookFrom(c.eye[0], c.eye[1], c.eye[2]);
    if (c.orbitX != 0 || c.orbitY != 0) {
      Notify(IViewOp::Orbit, 1, 80, 60);
      Notify(IViewOp::Orbit, 2, 80 + c.orbitX, 60 + c.orbitY);
    }
    const platform::Image image = Frame();
    // Where each world axis should point on screen for the camera as it is.
    float eye[3], target[3], up[3], forward[3], right[3], screenUp[3];
    view->GetCamera()->GetLookAt(eye, target, up);
    Subtract(target, eye, forward);
    Normalize(forward);
    CrossProduct(forward, up, right);
    Normalize(right);
    CrossProduct(right, forward, screenUp);
    ExpectAxis(image, "X", Reddish, right[0], screenUp[0]);
    ExpectAxis(image, "Y", Greenish, right[1], screenUp[1]);
    ExpectAxis(image, "Z", Bluish, right[2], screenUp[2]);
    EXPECT_EQ(Measure(image, {100, 0, kWidth, kHeight}, AnyAxisColour).count, 0) << "nothing right of the corner";
    EXPECT_EQ(Measure(image, {0, 0, 100, kHeight - 100}, AnyAxisColour).count, 0) << "nothing above the corner";
    Keep(image, std::string("triad_") + c.name);
  }
}

TEST_F(OverlayDrawingGLTest, ApertureCircleOfThePickApertureSurroundsThePointer) {
  const int defaultAperture = ViewOpRayPick::APERTURE;
  Aperture().SetIsVisible(true);
  // Wheel and key records carry steps or a key code first, the pointer after;
  // the wheel also brings the camera closer, the circle keeps its pixels.
  const struct {
    int type, first, x, y, aperture;
  } cases[] = {{IViewOp::Hover, 80, 80, 60, 5},
               {IViewOp::RayPick, 30, 30, 22, 5},
               {IViewOp::WheelZoom, 2, 125, 90, 12},
               {IViewOp::Key, 65, 45, 100, 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE("record " + std::to_string(c.type));
    ViewOpRayPick::APERTURE = c.aperture;
    if (c.type == IViewOp::WheelZoom || c.type == IViewOp::Key) {
      Notify(c.type, 0, c.first, c.x, c.y);
    } else {
      Notify(c.type, 0, c.x, c.y);
    }
    const platform::Image image = Frame();
    ExpectCircle(image, c.x, c.y, c.aperture);
    Keep(image, "aperture_" + std::to_string(c.type));
  }
  ViewOpRayPick::APERTURE = defaultAperture;
}

TEST_F(OverlayDrawingGLTest, RubberBandSpansTheDragUntilReleased) {
  Rubberband().SetIsVisible(true);
  for (const auto& [x0, y0, x1, y1] : {std::array{30, 20, 130, 90}, {140, 105, 60, 15}, {10, 30, 150, 110}}) {
    Drag(x0, y0, x1, y1);
    platform::Image image = Frame();
    ExpectRectangle(image, x0, y0, x1, y1);
    Keep(image, "rubberband");
    Notify(IViewOp::Idle, 0, x1, y1);
    image = Frame();
    EXPECT_EQ(Measure(image, kWhole, RubberbandRed).count, 0) << "the release hides it";
  }
}

TEST_F(OverlayDrawingGLTest, AllThreeDrawAboveTheSceneInTheManagersOrder) {
  // A grey quad one unit in front of the eye fills the window; the triad's
  // and the circle's depths lie far behind it, so only the depth clears they
  // do first let them show.
  AddQuad(1, 1, 1, -2.0f, -2.0f, 2.0f, 2.0f, 9.0f, RGBAColor{160, 160, 160, 255});
  Aperture().SetIsVisible(true);
  Rubberband().SetIsVisible(true);
  // Mid-drag the aperture follows the pointer at the rectangle's moving corner.
  Notify(IViewOp::Hover, 0, 100, 12);
  Drag(100, 12, 148, 56);
  const platform::Image image = Frame();
  ExpectAxis(image, "X", Reddish, 1.0, 0.0);
  ExpectAxis(image, "Y", Greenish, 0.0, 1.0);
  EXPECT_GT(Measure(image, kCorner, Bluish).count, 10);
  ExpectCircle(image, 148, 56, ViewOpRayPick::APERTURE);
  // The rectangle unprojects its corners through the projection the triad
  // left behind: drawn in any other order it would miss the dragged pixels.
  ExpectRectangle(image, 100, 12, 148, 56);
  Keep(image, "all_overlays");

  std::vector<DrawRecord> log;
  Record(Aperture(), 901, log);
  Record(Axes(), 902, log);
  Record(Rubberband(), 903, log);
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
  EXPECT_NEAR(projection[10], -0.01, 1e-7);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], kWidth);
  // An orbit drag hides the circle and ends the drag; the triad's square
  // corner is left current, clipped by a small window rather than shrunk.
  log.clear();
  Notify(IViewOp::Orbit, 1, 60, 60);
  View().SetWindowSize(60, 40);
  Frame();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].item, 902u);
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ((std::array{viewport[0], viewport[1], viewport[2], viewport[3]}), (std::array{0, 0, 100, 100}));
}

TEST_F(OverlayDrawingGLTest, ApertureDrawsNothingInAWindowWithoutRows) {
  Aperture().SetIsVisible(true);
  Notify(IViewOp::Hover, 0, 80, 60);
  Frame();
  std::vector<DrawRecord> log;
  Record(Aperture(), 901, log);
  auto& circle = dynamic_cast<GeometryItemCircle2DGL&>(*ItemOf(Aperture()));
  const float radius = circle.radius;
  View().SetWindowSize(kWidth, 0);
  Frame();
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(circle.radius, radius) << "no pixel size to scale the radius by";
  View().SetWindowSize(kWidth, kHeight);
  Frame();
  EXPECT_EQ(log.size(), 1u);
}

// What the next frame shows of the two listeners: the circle's centre from
// its model-view translation, the rectangle's corners from its outline.
class NotifyGLTest : public OverlayGLTest {
 protected:
  // Both listeners shown and built; the circle at (50, 60) after a rectangle
  // dragged from (20, 30) to (50, 60).
  void SetUp() override {
    OverlayGLTest::SetUp();
    Aperture().SetIsVisible(true);
    Rubberband().SetIsVisible(true);
    Frame();
    Record(Aperture(), 901, apertureLog);
    Record(Rubberband(), 903, rubberbandLog);
    Notify(IViewOp::Hover, 0, 30, 40);
    Drag(20, 30, 50, 60);
  }

  // {circle x, y} or {} when hidden, then {start x, y, end x, y} or {}.
  std::pair<std::vector<int>, std::vector<int>> Observe() {
    apertureLog.clear();
    rubberbandLog.clear();
    Frame();
    std::vector<int> circle;
    if (!apertureLog.empty()) {
      // What the 45 degree field spans at the camera's distance.
      float eye[3], target[3], up[3];
      view->GetCamera()->GetLookAt(eye, target, up);
      const double distance = std::hypot(eye[0] - target[0], eye[1] - target[1], eye[2] - target[2]);
      const double visibleHeight = 2.0 * distance * std::tan(std::numbers::pi / 8.0);
      const double unitsPerPixel = visibleHeight / kHeight;
      circle = {static_cast<int>(std::lround((apertureLog[0].translation[0] + visibleHeight * kWidth / kHeight / 2.0) / unitsPerPixel)),
                static_cast<int>(std::lround((visibleHeight / 2.0 - apertureLog[0].translation[1]) / unitsPerPixel))};
    }
    std::vector<int> rectangle;
    if (!rubberbandLog.empty()) {
      // The outline closes on itself; its points map through the triad's box
      // of [-10, 10] over the whole window.
      const std::vector<float>& p = dynamic_cast<GeometryItemPolylineGL&>(*ItemOf(Rubberband())).Points();
      EXPECT_EQ(p.size(), 15u);
      EXPECT_EQ(p[12], p[0]);
      EXPECT_EQ(p[13], p[1]);
      for (std::size_t corner : {0u, 6u}) {
        rectangle.push_back(static_cast<int>(std::lround((p[corner] + 10.0) * kWidth / 20.0)));
        rectangle.push_back(static_cast<int>(std::lround(kHeight - (p[corner + 1] + 10.0) * kHeight / 20.0)));
      }
    }
    return {circle, rectangle};
  }

  std::vector<DrawRecord> apertureLog;
  std::vector<DrawRecord> rubberbandLog;
};

using Shown = std::pair<std::vector<int>, std::vector<int>>;

TEST_F(NotifyGLTest, EachRecordCodeShowsMovesOrHidesEachListener) {
  // Rubber-band records move the circle too.
  ASSERT_EQ(Observe(), (Shown{{50, 60}, {20, 30, 50, 60}}));
  // Each from that state; wheel steps and key codes come first, the pointer
  // follows.
  const struct {
    const char* name;
    int type, phase, first, second, third;
    Shown shown;
  } cases[] = {{"Idle", IViewOp::Idle, 0, 70, 80, 90, {{}, {}}},
               {"Leave", IViewOp::Leave, 0, 70, 80, 90, {{}, {}}},
               {"Hover", IViewOp::Hover, 0, 71, 81, 91, {{71, 81}, {}}},
               {"RayPick", IViewOp::RayPick, 0, 72, 82, 92, {{72, 82}, {}}},
               {"WheelZoom", IViewOp::WheelZoom, 0, 3, 73, 83, {{73, 83}, {}}},
               {"Key", IViewOp::Key, 0, 65, 74, 84, {{74, 84}, {}}},
               {"Orbit", IViewOp::Orbit, 1, 75, 85, 95, {{}, {}}},
               {"Pan", IViewOp::Pan, 1, 76, 86, 96, {{76, 86}, {}}},
               {"RubberBandPress", IViewOp::RubberBand, 1, 77, 87, 97, {{77, 87}, {77, 87, 77, 87}}},
               {"RubberBandMove", IViewOp::RubberBand, 2, 78, 88, 98, {{78, 88}, {20, 30, 78, 88}}},
               {"RubberBandOtherPhase", IViewOp::RubberBand, 0, 79, 89, 99, {{79, 89}, {20, 30, 79, 89}}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Drag(20, 30, 50, 60);
    Notify(c.type, c.phase, c.first, c.second, c.third);
    const Shown shown = Observe();
    EXPECT_EQ(shown.first, c.shown.first);
    EXPECT_EQ(shown.second, c.shown.second);
  }
  // A hidden rectangle waits for the next drag record: without a press it
  // goes on from the old start corner.
  Notify(IViewOp::Idle, 0, 1, 1);
  Notify(IViewOp::RubberBand, 2, 100, 10);
  EXPECT_EQ(Observe().second, (std::vector<int>{20, 30, 100, 10}));
}

TEST_F(NotifyGLTest, UnknownCodesThrowAndHiddenListenersAndNullRecordsChangeNothing) {
  for (int type : {9, -1, 100, INT_MIN, INT_MAX}) {
    for (const auto& [listener, message] :
         {std::pair{kApertureName, "Invalid argument in AView3D::Notify"},
          {kRubberbandName, "Invalid argument in RubberbandViewObjectGLSG::ControllerNotify"}}) {
      try {
        NotifyOne(listener, type, 1, 5, 6, 7);
        ADD_FAILURE() << listener << " accepted code " << type;
      } catch (const std::invalid_argument& error) {
        EXPECT_STREQ(error.what(), message);
      }
    }
  }
  for (bool visible : {true, false}) {
    Aperture().SetIsVisible(visible);
    Rubberband().SetIsVisible(visible);
    for (const char* name : {kApertureName, kRubberbandName}) {
      EXPECT_NO_THROW(dynamic_cast<IControllerListener&>(Object(name)).ControllerNotify(nullptr));
      for (int type : {0, 2, 4, 6, 8, 9, -1}) {
        if (!visible) {
          EXPECT_NO_THROW(NotifyOne(name, type, 1, 111, 112, 113)) << name << " code " << type;
        }
      }
    }
  }
  Aperture().SetIsVisible(true);
  Rubberband().SetIsVisible(true);
  EXPECT_EQ(Observe(), (Shown{{50, 60}, {20, 30, 50, 60}}));
}

TEST_F(OverlayDrawingGLTest, AMoveWithoutAnyPressStartsAtTheWindowsCorner) {
  Rubberband().SetIsVisible(true);
  Frame();
  Notify(IViewOp::RubberBand, 2, 90, 70);
  Frame();
  const std::vector<float>& p = dynamic_cast<GeometryItemPolylineGL&>(*ItemOf(Rubberband())).Points();
  ASSERT_EQ(p.size(), 15u);
  EXPECT_NEAR(p[0], -10.0f, 1e-4f) << "the window's top left corner";
  EXPECT_NEAR(p[1], 10.0f, 1e-4f);
  EXPECT_NEAR((p[6] + 10.0f) * kWidth / 20.0f, 90.0f, 1e-3f);
  EXPECT_NEAR(kHeight - (p[7] + 10.0f) * kHeight / 20.0f, 70.0f, 1e-3f);
}

}  // namespace
}  // namespace plugintest
