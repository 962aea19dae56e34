// How the aperture and the rubber band follow the controller's operation
// records: which type codes show, move or hide them and which fields they
// read; hidden objects and null records; unknown codes.
#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>
#include <string>
#include <vector>

#include "KivVizOpenGL/GeometryItemPolylineGL.h"
#include "NimboCore/IViewOp.h"
#include "NimboCore/ViewOp.h"
#include "OverlayFixture.h"

namespace plugintest {
namespace {

// What the next frame shows of the two listeners.
struct Shown {
  bool circle = false;
  double cursorX = 0.0;
  double cursorY = 0.0;
  bool rectangle = false;
  double startX = 0.0;
  double startY = 0.0;
  double endX = 0.0;
  double endY = 0.0;
};

class NotifyGLTest : public OverlayGLTest {
 protected:
  // Both listeners shown and built, with recording leaves; the circle at
  // (50, 60) and a rectangle dragged from (20, 30) to (50, 60).
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

  Shown Observe() {
    apertureLog.clear();
    rubberbandLog.clear();
    Frame();
    Shown shown;
    shown.circle = !apertureLog.empty();
    if (shown.circle) ApertureCursor(apertureLog.front(), shown.cursorX, shown.cursorY);
    shown.rectangle = !rubberbandLog.empty();
    if (shown.rectangle) {
      auto* outline = dynamic_cast<GeometryItemPolylineGL*>(ItemOf(Rubberband()));
      if (outline == nullptr || outline->Points().size() != 15) {
        ADD_FAILURE() << "the rubber band has no five-point outline";
        return shown;
      }
      const std::vector<float>& points = outline->Points();
      RubberbandPixel(&points[0], shown.startX, shown.startY);
      RubberbandPixel(&points[6], shown.endX, shown.endY);
      EXPECT_EQ(points[12], points[0]) << "the outline closes";
      EXPECT_EQ(points[13], points[1]);
    }
    return shown;
  }

  void ExpectCircleAt(const Shown& shown, double x, double y) {
    ASSERT_TRUE(shown.circle) << "the circle is hidden";
    EXPECT_NEAR(shown.cursorX, x, 1e-3);
    EXPECT_NEAR(shown.cursorY, y, 1e-3);
  }
  void ExpectRectangle(const Shown& shown, double x0, double y0, double x1, double y1) {
    ASSERT_TRUE(shown.rectangle) << "the rectangle is hidden";
    EXPECT_NEAR(shown.startX, x0, 1e-3);
    EXPECT_NEAR(shown.startY, y0, 1e-3);
    EXPECT_NEAR(shown.endX, x1, 1e-3);
    EXPECT_NEAR(shown.endY, y1, 1e-3);
  }
  // As SetUp left them.
  void ExpectUnchanged() {
    const Shown shown = Observe();
    ExpectCircleAt(shown, 50, 60);
    ExpectRectangle(shown, 20, 30, 50, 60);
  }

  std::vector<DrawRecord> apertureLog;
  std::vector<DrawRecord> rubberbandLog;
};

struct CodeCase {
  std::string name;
  int type;
  int phase;
  int first;
  int second;
  int third;
  // The circle, hidden when circleX < 0.
  int circleX;
  int circleY;
  // The rectangle, hidden when startX < 0.
  int startX;
  int startY;
  int endX;
  int endY;
};

void PrintTo(const CodeCase& c, std::ostream* out) { *out << c.name; }

class CodeTableGLTest : public NotifyGLTest, public ::testing::WithParamInterface<CodeCase> {};

TEST_P(CodeTableGLTest, RecordShowsMovesOrHidesEachListener) {
  const CodeCase& c = GetParam();
  Notify(c.type, c.phase, c.first, c.second, c.third);
  const Shown shown = Observe();
  if (c.circleX < 0) {
    EXPECT_FALSE(shown.circle) << "the circle should be hidden";
  } else {
    ExpectCircleAt(shown, c.circleX, c.circleY);
  }
  if (c.startX < 0) {
    EXPECT_FALSE(shown.rectangle) << "the rectangle should be hidden";
    // The corners wait for the next drag record: without a press it goes on
    // from the old start corner.
    Notify(IViewOp::RubberBand, 2, 70, 80);
    ExpectRectangle(Observe(), 20, 30, 70, 80);
  } else {
    ExpectRectangle(shown, c.startX, c.startY, c.endX, c.endY);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Codes, CodeTableGLTest,
    ::testing::Values(
        CodeCase{"Idle", IViewOp::Idle, 0, 70, 80, 90, -1, 0, -1, 0, 0, 0},
        CodeCase{"Leave", IViewOp::Leave, 0, 70, 80, 90, -1, 0, -1, 0, 0, 0},
        CodeCase{"Hover", IViewOp::Hover, 0, 71, 81, 91, 71, 81, -1, 0, 0, 0},
        CodeCase{"RayPick", IViewOp::RayPick, 0, 72, 82, 92, 72, 82, -1, 0, 0, 0},
        // Wheel steps and key codes come first; the pointer follows.
        CodeCase{"WheelZoom", IViewOp::WheelZoom, 0, 3, 73, 83, 73, 83, -1, 0, 0, 0},
        CodeCase{"Key", IViewOp::Key, 0, 65, 74, 84, 74, 84, -1, 0, 0, 0},
        CodeCase{"Orbit", IViewOp::Orbit, 1, 75, 85, 95, -1, 0, -1, 0, 0, 0},
        CodeCase{"Pan", IViewOp::Pan, 1, 76, 86, 96, 76, 86, -1, 0, 0, 0},
        CodeCase{"RubberBandPress", IViewOp::RubberBand, 1, 77, 87, 97, 77, 87, 77, 87, 77, 87},
        CodeCase{"RubberBandMove", IViewOp::RubberBand, 2, 78, 88, 98, 78, 88, 20, 30, 78, 88},
        CodeCase{"RubberBandOtherPhase", IViewOp::RubberBand, 0, 79, 89, 99, 79, 89, 20, 30, 79,
                 89}),
    [](const ::testing::TestParamInfo<CodeCase>& info) { return info.param.name; });

class InvalidCodeGLTest : public NotifyGLTest, public ::testing::WithParamInterface<int> {};

TEST_P(InvalidCodeGLTest, UnknownCodeThrowsAndChangesNothing) {
  const int type = GetParam();
  const struct {
    const char* listener;
    const char* message;
  } expectations[] = {
      {kApertureName, "Invalid argument in AView3D::Notify"},
      {kRubberbandName, "Invalid argument in RubberbandViewObjectGLSG::ControllerNotify"},
  };
  for (const auto& expected : expectations) {
    try {
      NotifyOne(expected.listener, type, 1, 5, 6, 7);
      ADD_FAILURE() << expected.listener << " accepted code " << type;
    } catch (const std::invalid_argument& error) {
      EXPECT_STREQ(error.what(), expected.message);
    }
  }
  ExpectUnchanged();
}

INSTANTIATE_TEST_SUITE_P(Codes, InvalidCodeGLTest, ::testing::Values(9, -1, 100, INT_MIN, INT_MAX),
                         [](const ::testing::TestParamInfo<int>& info) {
                           const long long code = info.param;
                           return code < 0 ? "Minus" + std::to_string(-code) : std::to_string(code);
                         });

TEST_F(NotifyGLTest, HiddenListenersIgnoreEveryRecord) {
  Aperture().SetIsVisible(false);
  Rubberband().SetIsVisible(false);
  for (const char* name : {kApertureName, kRubberbandName}) {
    for (int type : {0, 2, 4, 6, 8, 9, -1}) {
      EXPECT_NO_THROW(NotifyOne(name, type, 1, 111, 112, 113)) << name << " code " << type;
    }
  }
  Aperture().SetIsVisible(true);
  Rubberband().SetIsVisible(true);
  ExpectUnchanged();
}

TEST_F(NotifyGLTest, NullRecordsAreIgnored) {
  for (bool visible : {true, false}) {
    Aperture().SetIsVisible(visible);
    Rubberband().SetIsVisible(visible);
    EXPECT_NO_THROW(Listener(kApertureName).ControllerNotify(nullptr));
    EXPECT_NO_THROW(Listener(kRubberbandName).ControllerNotify(nullptr));
  }
  Aperture().SetIsVisible(true);
  Rubberband().SetIsVisible(true);
  ExpectUnchanged();
}

TEST_F(NotifyGLTest, PressPinsBothCornersToThePointer) {
  Notify(IViewOp::RubberBand, 1, 100, 40);
  ExpectRectangle(Observe(), 100, 40, 100, 40);
  Notify(IViewOp::RubberBand, 2, 130, 10);
  ExpectRectangle(Observe(), 100, 40, 130, 10);
}

class FreshRubberbandGLTest : public OverlayGLTest {};

TEST_F(FreshRubberbandGLTest, MoveWithoutAPressStartsAtTheWindowsCorner) {
  Rubberband().SetIsVisible(true);
  Frame();
  Notify(IViewOp::RubberBand, 2, 90, 70);
  Frame();
  auto* outline = dynamic_cast<GeometryItemPolylineGL*>(ItemOf(Rubberband()));
  ASSERT_NE(outline, nullptr);
  ASSERT_EQ(outline->Points().size(), 15u);
  double x = -1.0;
  double y = -1.0;
  RubberbandPixel(&outline->Points()[0], x, y);
  EXPECT_NEAR(x, 0.0, 1e-3);
  EXPECT_NEAR(y, 0.0, 1e-3);
  RubberbandPixel(&outline->Points()[6], x, y);
  EXPECT_NEAR(x, 90.0, 1e-3);
  EXPECT_NEAR(y, 70.0, 1e-3);
}

}  // namespace
}  // namespace plugintest
