// The window's input without a window: what each gesture does to the view,
// prints and names in the title, and that each one asks for a new frame.
#include <gtest/gtest.h>

#include <sstream>

#include "NimboCore/ACamera.h"
#include "SceneBuilder.h"
#include "ViewSetup.h"
#include "WindowSession.h"

namespace {

using nimboview::WindowSession;
using Button = WindowSession::Button;

constexpr int kWidth = 240;
constexpr int kHeight = 180;

class WindowSessionTest : public ::testing::Test {
 protected:
  WindowSessionTest() : host(NIMBO_VIEW_PLUGIN_FILE, platform::Window::CreateOffscreen(kWidth, kHeight)) {
    nimboview::Part square;
    square.id = 4;
    square.name = L"square";
    square.surfaces = {.vertices = {-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0},
                       .normals = {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1},
                       .indices = {0, 1, 2, 0, 2, 3}};
    const nimboview::Model model{.id = 1, .name = L"plate", .parts = {square}};
    nimboview::SceneBuilder(host.Scene()).Add({model});
    parts.Add(model, "models/plate.obj");
    host.Aim(0.0f, 0.0f, std::nullopt);
    host.Render();
  }

  // Eye then target.
  std::array<float, 6> LookAt() {
    std::array<float, 6> eyeTarget{};
    float up[3];
    host.View().GetCamera()->GetLookAt(eyeTarget.data(), eyeTarget.data() + 3, up);
    return eyeTarget;
  }

  WindowSession Session() {
    return WindowSession(
        host, parts, "nimbo-view: plate.obj", [this](const std::string& text) { title = text; }, out);
  }

  nimboview::ViewHost host;
  nimboview::PartIndex parts;
  std::ostringstream out;
  std::string title;
};

TEST_F(WindowSessionTest, HoverClickAndBandNameThePartPrintItAndAskForFrames) {
  WindowSession session = Session();
  EXPECT_EQ(title, "nimbo-view: plate.obj");
  EXPECT_TRUE(session.TakeDirty());
  EXPECT_FALSE(session.TakeDirty());

  session.PointerMoved(kWidth / 2, kHeight / 2);
  EXPECT_TRUE(session.TakeDirty());
  EXPECT_EQ(title, "nimbo-view: plate.obj: square");
  EXPECT_EQ(out.str(), "{\"hovered\":[1,1,4,10002,1],\"file\":\"models/plate.obj\",\"part\":\"square\"}\n");

  // A press that moves less than the slop is a click, with the point picked.
  out.str("");
  session.ButtonPressed(Button::Left, false, kWidth / 2, kHeight / 2);
  EXPECT_TRUE(session.TakeDirty());
  session.PointerMoved(kWidth / 2 + 2, kHeight / 2);
  session.ButtonReleased(Button::Left, kWidth / 2 + 2, kHeight / 2);
  EXPECT_TRUE(session.TakeDirty());
  EXPECT_EQ(
      out.str().rfind("{\"selected\":[1,1,4,10002,1],\"file\":\"models/plate.obj\",\"part\":\"square\",\"point\":[", 0),
      0u)
      << out.str();

  session.Left();
  EXPECT_TRUE(session.TakeDirty());
  EXPECT_EQ(title, "nimbo-view: plate.obj");
  EXPECT_TRUE(out.str().ends_with("]}\n{\"hovered\":null}\n")) << out.str();

  // A shift drag selects what the band holds; a click on the background selects nothing.
  out.str("");
  session.ButtonPressed(Button::Left, true, 0, 0);
  session.PointerMoved(kWidth / 2, kHeight / 2);
  session.ButtonReleased(Button::Left, kWidth - 1, kHeight - 1);
  session.ButtonPressed(Button::Left, false, 2, 2);
  session.ButtonReleased(Button::Left, 2, 2);
  EXPECT_EQ(out.str(),
            "{\"selected\":[1,1,4,10002,1],\"file\":\"models/plate.obj\",\"part\":\"square\"}\n"
            "{\"selected\":null}\n");
}

TEST_F(WindowSessionTest, DragsOrbitAndPanTheWheelZoomsAndKeysAimOrClose) {
  WindowSession session = Session();
  // A drag from (100, 90) by (dx, dy): where eye and target went.
  const auto drag = [&](Button button, int dx, int dy) {
    const std::array<float, 6> before = LookAt();
    session.TakeDirty();
    session.ButtonPressed(button, false, 100, 90);
    EXPECT_TRUE(session.TakeDirty());
    session.PointerMoved(100 + dx, 90 + dy);
    session.ButtonReleased(button, 100 + dx, 90 + dy);
    std::array<float, 6> moved = LookAt();
    for (std::size_t i = 0; i < moved.size(); ++i) moved[i] -= before[i];
    return moved;
  };
  const std::array<float, 6> orbit = drag(Button::Left, 40, 0);
  EXPECT_NE(orbit[0], 0.0f) << "a left drag orbits the eye";
  EXPECT_EQ(orbit[3], 0.0f) << "about the target";
  EXPECT_NE(drag(Button::Right, 0, 30)[4], 0.0f) << "a right drag pans the target";

  std::array<float, 6> before = LookAt();
  session.Scrolled(2, 120, 90);
  EXPECT_TRUE(session.TakeDirty());
  EXPECT_NE(LookAt(), before) << "the wheel zooms";

  for (const auto& [key, preset] : {std::pair{'1', "front"}, {'2', "top"}, {'3', "side"}, {'4', "iso"}}) {
    SCOPED_TRACE(preset);
    session.TakeDirty();
    EXPECT_TRUE(session.KeyPressed(key, 0, 0));
    EXPECT_TRUE(session.TakeDirty());
    const std::array<float, 6> aimed = LookAt();
    EXPECT_NE(aimed, before);
    const auto angles = nimboview::ViewSetup::Preset(preset);
    host.Aim((*angles)[0], (*angles)[1], std::nullopt);
    EXPECT_EQ(aimed, LookAt());
    before = aimed;
  }
  EXPECT_FALSE(session.KeyPressed('Q', 0, 0));
}

// The builder closes every node it opens: each category sits under its own
// part, and the next part under the model again.
TEST(SceneBuilderTest, EveryCategoryHangsUnderItsOwnPart) {
  nimboview::ViewHost host(NIMBO_VIEW_PLUGIN_FILE, platform::Window::CreateOffscreen(kWidth, kHeight));
  nimboview::Part all;
  all.id = 4;
  all.surfaces = {
      .vertices = {0, 0, 0, 1, 0, 0, 0, 1, 0}, .normals = {0, 0, 1, 0, 0, 1, 0, 0, 1}, .indices = {0, 1, 2}};
  all.curves = {.vertices = {0, 0, 0, 1, 0, 0}, .indices = {0, 1}};
  all.points = {.vertices = {0, 0, 0}};
  nimboview::Part next = all;
  next.id = 5;
  nimboview::SceneBuilder(host.Scene()).Add({nimboview::Model{.id = 1, .name = L"model", .parts = {all, next}}});
  for (const std::uint64_t part : {4, 5}) {
    for (const std::uint64_t category : {10000, 10001, 10002}) {
      EXPECT_NE(host.Scene().GetNode(RenderId({1, 1, part, category, 1}, RenderId::SceneOrigin)), nullptr)
          << "part " << part << ", category " << category;
    }
  }
}

}  // namespace
