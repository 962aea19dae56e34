// `nimbo-view run SCRIPT`: scripts that hold pass; bad lines and failed
// expectations stop the script with their line number and a non-zero exit.
#include <gmock/gmock.h>

#include <csignal>
#include <cstdio>
#include <tuple>

#include "NimboViewProcess.h"
#include "WhichWin32.h"
#include "platform/Window.h"

namespace apptest {
namespace {

using ::testing::HasSubstr;

class ScriptTest : public ::testing::Test {
 protected:
  Result RunScript(const std::string& text, const std::string& size = "200x150") {
    scratch.WriteQuad();
    return scratch.Run({"run", scratch.Write("session.nvs", text), "--size", size});
  }
  Scratch scratch;
};

// A rubber band before the first frame renders one; later its ends lie far
// outside the window after extreme drags.
// After `clear` the demo fits again and a model loaded after it is the second.
TEST_F(ScriptTest, SessionWithHoldingExpectationsPasses) {
  const Result result = RunScript(
      "\xEF\xBB\xBF# a square, looked at from the front (after a byte-order mark)\n"
      "load quad.obj\n"
      "camera 0 0\n"
      "background #000000\n"
      "press 0 0\n"
      "release 199 149\n"
      "unselect\n"
      "render\n"
      "expect pixel 100 75 #ff0000 100\n"
      "expect pixel 2 2 #000000 8\n"
      "expect pick 100 75 1/1/1/10002/1\n"
      "expect pick 2 2 none\n"
      "expect point 100 75 0 0 0\n"
      "hover 100 75\n"
      "expect highlighted 1/1/1/10002/1\n"
      "leave\n"
      "expect not-highlighted 1/1/1/10002/1\n"
      "orbit -2147483648 -2147483648 2147483647 2147483647\n"
      "pan 2147483647 0 -2147483648 0\n"
      "camera 0 0\n"
      "press -100000 -100000\n"
      "drag 190 140\n"
      "release 100000 100000\n"
      "pick 100 75\n"
      "size 100 80\n"
      "render\n"
      "snapshot small.png\n"
      "clear\n"
      "expect pick 50 40 none\n"
      "demo\n"
      "load quad.obj\n"
      "select 1/2/1/10002/1\n");
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out,
            "{\"selected\":\"1/1/1/10002/1\"}\n{\"selected\":\"1/1/1/10002/1\"}\n"
            "{\"x\":100,\"y\":75,\"path\":[1,1,1,10002,1],\"point\":[0,0,0]}\n");
  const platform::Image small = scratch.Png("small.png");
  EXPECT_EQ(std::pair(small.width, small.height), std::pair(100, 80));
}

TEST_F(ScriptTest, HoveringAwayKeepsSelectionsAndABackgroundClickKeepsTheDemosListHighlight) {
  // 1/1/2 is a block under (300, 300); the demo marks block 1/1/4 with a list highlight.
  const Result result = RunScript(
      "demo\n"
      "click 300 300\n"
      "hover 300 300\n"
      "hover 5 5\n"
      "expect highlighted 1/1/2/10002/1\n"
      "hover 300 300\n"
      "click 5 5\n"
      "expect not-highlighted 1/1/2/10002/1\n"
      "expect highlighted 1/1/4/10002/1\n",
      "800x600");
  EXPECT_EQ(result.exitCode, 0) << result.err;
}

TEST_F(ScriptTest, BadLinesAndFailedExpectationsStopTheScriptAtTheirLine) {
  const struct {
    std::string text;
    int line;
    const char* message;
  } cases[] = {
      {std::string("demo\nfl") + '\0' + "y 1\nrender\nsnapshot never.png\n", 2, "a NUL byte"},
      {"demo\n\n  # comment\nfly 1 2\nrender\nsnapshot never.png\n", 4, "unknown command 'fly'"},
      {"demo\nrender\nsnapshot never.png\nhover 10\n", 4, "'hover' takes 2 arguments, got 1"},
      {"demo\nrender\nsnapshot never.png\nselect 1//2\n", 4, "node path"},
      {"demo\nrender\nsnapshot never.png\nexpect pick 10 10 abc\n", 4, "node path"},
      {"demo\nrender\nsnapshot never.png\nsize 40000 40000\n", 4, "out of range (1 to 8192)"},
      {"demo\nrender\nsnapshot never.png\ncamera nan 0\n", 4, "not a number"},
      {"demo\nselect 1/1/99/10002/1\nrender\nsnapshot never.png\n", 2, "no node at 1/1/99/10002/1"},
      {"demo\nrender\nsnapshot never.png\nexpect pixel 2 2 #ffffff -1\n", 4, "tolerance cannot be negative"},
      {"demo\nrender\nsize 100 80\nsnapshot never.png\n", 4, "no frame rendered"},
      {"render\nexpect\nsnapshot never.png\n", 2, "expect what"},
      {"load quad.obj\ncamera 0 0\nbackground #000000\nrender\nexpect pixel 2 2 #ffffff\nsnapshot never.png\n", 5,
       "expected pixel 2,2"},
      {"render\nexpect pixel 500 2 #ffffff\nsnapshot never.png\n", 2, "outside"},
      {"load quad.obj\ncamera 0 0\nexpect pick 2 2 1/1/1/10002/1\nsnapshot never.png\n", 3, "got none"},
      {"load quad.obj\ncamera 0 0\nexpect point 100 75 0 0 0.02\nsnapshot never.png\n", 3, "near 0 0 0.02, got 0 0 0"},
      {"demo\nload nowhere.obj\nrender\nsnapshot never.png\n", 2, "nowhere.obj"},
      {"demo\ndemo\nrender\nsnapshot never.png\n", 2, "empty scene"}};
  for (const auto& c : cases) {
    const Result result = RunScript(c.text);
    EXPECT_EQ(result.exitCode, 1) << c.message;
    EXPECT_THAT(result.err, HasSubstr("session.nvs:" + std::to_string(c.line) + ": "));
    EXPECT_THAT(result.err, HasSubstr(c.message));
    EXPECT_FALSE(std::filesystem::exists(scratch.Path("never.png"))) << "nothing after the failing line runs";
  }
  // Scripts that cannot be read, a window's bad script, which fails before
  // the window opens, and a window without a display, which gives GLFW's reason.
  scratch.Write("bad.nvs", "hover\n");
  for (const auto& [command, message] :
       {std::pair{"\"$NIMBO_VIEW\" run no-such-script.nvs", "no-such-script.nvs: cannot read the script"},
        {"\"$NIMBO_VIEW\" run .", ".: cannot read the script"},
        {"\"$NIMBO_VIEW\" window --script bad.nvs --screenshot x.png", "bad.nvs:1: "},
        {"env -u DISPLAY -u WAYLAND_DISPLAY \"$NIMBO_VIEW\" window",
         "cannot open a window: X11: The DISPLAY environment variable is missing"}}) {
    EXPECT_EQ(scratch.Shell(std::string(command) + " 2> err.txt"), 1) << command;
    EXPECT_THAT(scratch.Read("err.txt"), HasSubstr(message));
  }
}

// `nimbo-view window` on a private X server, which the suite starts unless
// DISPLAY is set: a scripted hover shows in the screenshot, a script starts as
// `run` and `render` do, and a person's pointer and keys get the title,
// selections and screenshots.
class WindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (std::getenv("DISPLAY") != nullptr || access("/usr/bin/Xvfb", X_OK) != 0) return;
    // The shell prints its process id and becomes Xvfb, which prints its
    // display number once it accepts connections, or ends.
    xvfb = popen("echo $$; exec /usr/bin/Xvfb -displayfd 1 -screen 0 640x480x24 -nolisten tcp -noreset 2> /dev/null",
                 "re");
    int number = -1;
    if (xvfb != nullptr && std::fscanf(xvfb, "%d %d", &pid, &number) == 2) {
      setenv("DISPLAY", (":" + std::to_string(number)).c_str(), 1);
    }
  }
  static void TearDownTestSuite() {
    if (xvfb == nullptr) return;
    if (pid > 0) kill(pid, SIGTERM);
    pclose(xvfb);
    unsetenv("DISPLAY");
    xvfb = nullptr;
  }
  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no DISPLAY, and no Xvfb started";
    scratch.WriteQuad();
  }

  static inline FILE* xvfb = nullptr;
  static inline pid_t pid = 0;
  Scratch scratch;
};

// `render`, `run` and a scripted window start with the same picture; the
// window's script loads after its command line's model, and what the script
// did shows in the screenshot taken after it.
TEST_F(WindowTest, RenderRunAndAScriptedWindowStartAlikeAndTheScriptShows) {
  const std::string script = scratch.Write("quad.nvs", "load quad.obj\nrender\nsnapshot run.png\n");
  const std::string events =
      scratch.Write("events.nvs", "render\nsnapshot still.png\nhover 80 60\nload quad.obj\nselect 1/2/1/10002/1\n");
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"render", "quad.obj", "-o", "render.png", "--size", "160x120"},
        {"run", script, "--size", "160x120"},
        {"window", "quad.obj", "--size", "160x120", "--script", events, "--screenshot", "window.png"}}) {
    const Result result = scratch.Run(arguments);
    ASSERT_EQ(result.exitCode, 0) << result.err;
  }
  const platform::Image rendered = scratch.Png("render.png");
  for (const char* other : {"run.png", "still.png"}) {
    const platform::Image image = scratch.Png(other);
    EXPECT_EQ(image.width, rendered.width) << other;
    EXPECT_TRUE(image.rgba == rendered.rgba) << other << " differs from render's picture";
  }
  EXPECT_FALSE(scratch.Png("window.png").rgba == rendered.rgba) << "the hover and selection show";
}

// The platform layer's own X11 window: GL draws into it and it presents
// that, at its new size after a resize.
TEST_F(WindowTest, ANativeWindowPresentsWhatGLDrawsAndFollowsAResize) {
  platform::Window window = platform::Window::CreateNative(80, 60, "native");
  HDC dc = GetDC(window.Handle());
  PIXELFORMATDESCRIPTOR request{};
  request.nSize = sizeof request;
  request.nVersion = 1;
  request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  request.cColorBits = 24;
  ASSERT_TRUE(SetPixelFormat(dc, ChoosePixelFormat(dc, &request), &request));
  HGLRC context = wglCreateContext(dc);
  ASSERT_TRUE(wglMakeCurrent(dc, context));
  for (const auto& [width, height, green] : {std::tuple{80, 60, std::uint8_t{0}}, {120, 40, std::uint8_t{255}}}) {
    window.Resize(width, height);
    glViewport(0, 0, width, height);
    glClearColor(1.0f, green / 255.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_TRUE(SwapBuffers(dc));
    const platform::Image image = window.PresentedImage();
    EXPECT_EQ(image.width, width);
    EXPECT_EQ(image.At(width - 1, height - 1), (std::array<std::uint8_t, 4>{255, green, 0, 255}));
  }
  wglMakeCurrent(nullptr, nullptr);
  wglDeleteContext(context);
  ReleaseDC(window.Handle(), dc);
}

// xdotool stands in for a person: hover the square until the title names it
// (the window opens before its scene is loaded), click, press S, then Q. Every
// wait is bounded, so a stuck window fails the test. The screenshot shows the
// hover's and the click's highlights: the window draws again after input.
TEST_F(WindowTest, PointerAndKeysNameThePartSelectItAndSaveAScreenshot) {
  if (std::system("command -v xdotool > /dev/null") != 0) GTEST_SKIP() << "no xdotool to move the pointer";
  EXPECT_EQ(
      scratch.Shell("timeout 30 \"$NIMBO_VIEW\" window quad.obj --size 240x180 --view front > out.txt 2> err.txt &\n"
                    "window=$(timeout 20 xdotool search --sync --name '^nimbo-view' | head -n 1)\n"
                    "for i in $(seq 50); do\n"
                    "  xdotool mousemove --window \"$window\" 121 90 mousemove --window \"$window\" 120 90\n"
                    "  sleep 0.2\n"
                    "  xdotool getwindowname \"$window\" > title.txt\n"
                    "  grep -q ': quad$' title.txt && break\n"
                    "done\n"
                    "xdotool click 1\n"
                    "xdotool windowsize --sync \"$window\" 300 200\n"
                    "sleep 0.5\n"
                    "xdotool mousemove --window \"$window\" 150 100\n"
                    "sleep 0.5\n"
                    "xdotool key s key q\n"
                    "wait $!\n"),
      0);
  EXPECT_EQ(scratch.Read("title.txt"), "nimbo-view: quad.obj: quad\n");
  const std::string out = scratch.Read("out.txt");
  EXPECT_THAT(out, ::testing::StartsWith(R"({"hovered":[1,1,1,10002,1],"file":"quad.obj","part":"quad"})"));
  EXPECT_THAT(out, HasSubstr(R"({"selected":[1,1,1,10002,1],)"));
  EXPECT_THAT(out, HasSubstr("\n{\"screenshot\":\"nimbo-view-1.png\"}\n"));
  const platform::Image shot = scratch.Png("nimbo-view-1.png");
  EXPECT_EQ(shot.width, 300) << "the view follows the window's size";
  EXPECT_GT(shot.At(150, 100)[1], 25) << "the highlights lighten the red square";
  EXPECT_EQ(scratch.Read("err.txt"), "");
}

}  // namespace
}  // namespace apptest
