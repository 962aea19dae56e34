// `nimbo-view run SCRIPT`: scripts that hold pass; bad lines and failed
// expectations stop the script with their line number and a non-zero exit.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "NimboViewProcess.h"
#include "XvfbServer.h"

namespace apptest {
namespace {

class ScriptTest : public ::testing::Test {
 protected:
  Result RunScript(const std::string& text) {
    scratch.WriteQuad();
    return scratch.Run({"run", scratch.Write("session.nvs", text), "--size", "200x150"});
  }
  Scratch scratch;
};

TEST_F(ScriptTest, SessionWithHoldingExpectationsPasses) {
  const Result result = RunScript(
      "\xEF\xBB\xBF# a square, looked at from the front (after a byte-order mark)\n"
      "load quad.obj\n"
      "camera 0 0\n"
      "background #000000\n"
      "render\n"
      "expect pixel 100 75 #ff0000 100\n"
      "expect pixel 2 2 #000000 8\n"
      "expect pick 100 75 1/1/1/10002/1\n"
      "expect pick 2 2 none\n"
      "expect point 100 75 0 0 0 0.05\n"
      "expect point 100 75 0 0 0\n"
      "key 51 100 75\n"
      "expect pick 100 75 none\n"
      "key 49 100 75\n"
      "expect pick 100 75 1/1/1/10002/1\n"
      "hover 100 75\n"
      "expect highlighted 1/1/1/10002/1\n"
      "leave\n"
      "expect not-highlighted 1/1/1/10002/1\n"
      "click 100 75\n"
      "render\n"
      "expect pixel 100 75 #ff4040 60\n"
      "unselect\n"
      "press 10 10\n"
      "drag 190 140\n"
      "release 190 140\n"
      "pick 100 75\n"
      "size 100 80\n"
      "render\n"
      "snapshot small.png\n");
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_NE(result.out.find("{\"selected\":\"1/1/1/10002/1\"}"), std::string::npos)
      << "the rubber band selects the square: " << result.out;
  EXPECT_NE(result.out.find("{\"x\":100,\"y\":75,\"path\":[1,1,1,10002,1]"), std::string::npos) << result.out;
  const platform::Image small = platform::ReadPng(scratch.Path("small.png"));
  EXPECT_EQ(small.width, 100);
  EXPECT_EQ(small.height, 80);
}

TEST_F(ScriptTest, HoveringAwayKeepsSelectionsAndABackgroundClickKeepsTheDemosListHighlight) {
  // 1/1/2 is a block under (300, 300); the demo marks block 1/1/4 with a list highlight.
  const Result result = scratch.Run({"run",
                                     scratch.Write("marks.nvs",
                                                   "demo\n"
                                                   "click 300 300\n"
                                                   "hover 300 300\n"
                                                   "hover 5 5\n"
                                                   "expect highlighted 1/1/2/10002/1\n"
                                                   "expect highlighted 1/1/4/10002/1\n"
                                                   "hover 300 300\n"
                                                   "click 5 5\n"
                                                   "expect not-highlighted 1/1/2/10002/1\n"
                                                   "expect highlighted 1/1/4/10002/1\n"
                                                   "hover 300 300\n"
                                                   "leave\n"
                                                   "expect not-highlighted 1/1/2/10002/1\n"),
                                     "--size", "800x600"});
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
      {"demo\nrender\nsnapshot never.png\ncamera left 10\n", 4, "not a number"},
      {"demo\nrender\nsnapshot never.png\nselect 1//2\n", 4, "node path"},
      {"demo\nrender\nsnapshot never.png\nhighlight 1/-2\n", 4, "node path"},
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
      {"demo\nsnapshot never.png\n", 2, "no frame rendered"},
      {"demo\nload nowhere.obj\nrender\nsnapshot never.png\n", 2, "nowhere.obj"},
      {"demo\ndemo\nrender\nsnapshot never.png\n", 2, "empty scene"}};
  for (const auto& c : cases) {
    const Result result = RunScript(c.text);
    EXPECT_EQ(result.exitCode, 1) << c.message;
    EXPECT_NE(result.err.find("session.nvs:" + std::to_string(c.line) + ": "), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(scratch.Path("never.png"))) << "nothing after the failing line runs";
  }
  for (const std::string unreadable : {"no-such-script.nvs", "."}) {
    const Result result = scratch.Run({"run", unreadable});
    EXPECT_EQ(result.exitCode, 1) << unreadable;
    EXPECT_NE(result.err.find(unreadable + ": cannot read the script"), std::string::npos) << result.err;
  }
}

TEST_F(ScriptTest, ExtremeDragsAndABandFarBeyondTheWindowEndPromptly) {
  const Result result = RunScript(
      "load quad.obj\n"
      "camera 0 0\n"
      "orbit -2147483648 -2147483648 2147483647 2147483647\n"
      "pan 2147483647 0 -2147483648 0\n"
      "camera 0 0\n"
      "press -100000 -100000\n"
      "release 100000 100000\n");
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_NE(result.out.find("{\"selected\":\"1/1/1/10002/1\"}"), std::string::npos) << result.out;
}

TEST_F(ScriptTest, WindowWithABadScriptFailsBeforeOpening) {
  const Result result =
      scratch.Run({"window", "--script", scratch.Write("bad.nvs", "hover\n"), "--screenshot", "x.png"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("bad.nvs:1:"), std::string::npos) << result.err;
}

// `nimbo-view window` on a private X server: a scripted hover shows in the
// screenshot, a script starts as `run` and `render` do, and a person's
// pointer and keys get the title, selections and screenshots.
TEST(WindowTest, ScriptedHoverHighlightsTheNodeInTheScreenshot) {
  const XvfbServer server;
  if (!server.Unavailable().empty()) GTEST_SKIP() << "no X server: " << server.Unavailable();
  Scratch scratch;
  scratch.WriteQuad();
  const auto screenshot = [&scratch](const std::string& script) {
    const Result result = scratch.Run({"window", "quad.obj", "--size", "240x180", "--azimuth", "0", "--elevation", "0",
                                       "--script", scratch.Write("events.nvs", script), "--screenshot", "shot.png"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return result.exitCode == 0 ? platform::ReadPng(scratch.Path("shot.png")) : platform::Image{};
  };
  const platform::Image still = screenshot("render\n");
  const platform::Image hovered = screenshot("hover 120 90\nrender\n");
  ASSERT_FALSE(still.Empty() || hovered.Empty());
  EXPECT_EQ(hovered.width, 240);
  EXPECT_EQ(hovered.height, 180);
  const auto before = still.At(150, 90);
  const auto after = hovered.At(150, 90);
  EXPECT_GT(before[0], 150);
  EXPECT_LT(before[1], 80) << "red before";
  EXPECT_GT(after[0], 150) << "still red";
  EXPECT_GT(after[1], before[1] + 40) << "but lighter under the pointer";
  // A model the script loads comes after the one on the command line.
  EXPECT_FALSE(screenshot("load quad.obj\nexpect pick 120 90 1/1/1/10002/1\nrender\n").Empty());
}

TEST(WindowTest, RenderRunAndAScriptedWindowStartWithTheSamePicture) {
  const XvfbServer server;
  if (!server.Unavailable().empty()) GTEST_SKIP() << "no X server: " << server.Unavailable();
  Scratch scratch;
  const std::string script = scratch.Write("demo.nvs", "demo\nrender\nsnapshot run.png\n");
  const Result runs[] = {
      scratch.Run({"render", "-o", "render.png", "--size", "160x120"}),
      scratch.Run({"run", script, "--size", "160x120"}),
      scratch.Run({"window", "--size", "160x120", "--script", script, "--screenshot", "window.png"})};
  for (const Result& result : runs) ASSERT_EQ(result.exitCode, 0) << result.err;
  const platform::Image rendered = platform::ReadPng(scratch.Path("render.png"));
  for (const char* other : {"run.png", "window.png"}) {
    const platform::Image image = platform::ReadPng(scratch.Path(other));
    ASSERT_EQ(image.width, rendered.width);
    ASSERT_EQ(image.height, rendered.height);
    int differing = 0;
    for (int y = 0; y < image.height; ++y) {
      for (int x = 0; x < image.width; ++x) differing += image.At(x, y) == rendered.At(x, y) ? 0 : 1;
    }
    EXPECT_EQ(differing, 0) << other << " differs from render's picture";
  }
}

TEST(WindowTest, PointerAndKeysNameThePartSelectItAndSaveAScreenshot) {
  const XvfbServer server;
  if (!server.Unavailable().empty()) GTEST_SKIP() << "no X server: " << server.Unavailable();
  if (std::system("command -v xdotool > /dev/null") != 0) GTEST_SKIP() << "no xdotool to move the pointer";
  Scratch scratch;
  scratch.WriteQuad();
  // xdotool stands in for a person: hover the square until the title names
  // it (the window opens before its scene is loaded), click, press S, then Q.
  // Every wait is bounded, so a stuck window fails the test.
  EXPECT_EQ(
      scratch.Bash("timeout 30 \"$NIMBO_VIEW\" window quad.obj --size 240x180 --view front > out.txt 2> err.txt &\n"
                   "window=$(timeout 20 xdotool search --sync --name '^nimbo-view' | head -n 1)\n"
                   "for i in $(seq 50); do\n"
                   "  xdotool mousemove --window \"$window\" 121 90 mousemove --window \"$window\" 120 90\n"
                   "  sleep 0.2\n"
                   "  xdotool getwindowname \"$window\" > title.txt\n"
                   "  grep -q ': quad$' title.txt && break\n"
                   "done\n"
                   "xdotool click 1 key s key q\n"
                   "wait $!\n"),
      0);
  const auto read = [&scratch](const std::string& name) { return scratch.Read(name); };
  EXPECT_EQ(read("title.txt"), "nimbo-view: quad.obj: quad\n");
  const std::string out = read("out.txt");
  EXPECT_EQ(out.rfind(R"({"hovered":[1,1,1,10002,1],"file":"quad.obj","part":"quad"})"
                      "\n"
                      R"({"selected":[1,1,1,10002,1],"file":"quad.obj","part":"quad","point":[)",
                      0),
            0u)
      << out;
  EXPECT_NE(out.find("\n{\"screenshot\":\"nimbo-view-1.png\"}\n"), std::string::npos) << out;
  EXPECT_EQ(platform::ReadPng(scratch.Path("nimbo-view-1.png")).width, 240);
  EXPECT_EQ(read("err.txt"), "");
}

}  // namespace
}  // namespace apptest
