// `nimbo-view run SCRIPT`: scripts that hold pass; bad lines and failed
// expectations stop the script with their line number and a non-zero exit.
#include <gtest/gtest.h>

#include <string>

#include "NimboViewProcess.h"
#include "XvfbServer.h"

namespace apptest {
namespace {

class ScriptGLTest : public ::testing::Test {
 protected:
  Result RunScript(const std::string& text) {
    scratch.WriteQuad();
    return scratch.Run({"run", scratch.Write("session.nvs", text), "--size", "200x150"});
  }
  Scratch scratch;
};

TEST_F(ScriptGLTest, SessionWithHoldingExpectationsPasses) {
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
  EXPECT_NE(result.out.find("{\"x\":100,\"y\":75,\"path\":[1,1,1,10002,1]"), std::string::npos)
      << result.out;
  const platform::Image small = platform::ReadPng(scratch.Path("small.png"));
  EXPECT_EQ(small.width, 100);
  EXPECT_EQ(small.height, 80);
}

TEST_F(ScriptGLTest, HoveringAwayKeepsSelectionsAndABackgroundClickKeepsTheDemosListHighlight) {
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

TEST_F(ScriptGLTest, BadLinesAndFailedExpectationsStopTheScriptAtTheirLine) {
  const struct {
    const char* text;
    int line;
    const char* message;
  } cases[] = {
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

TEST_F(ScriptGLTest, ExtremeDragsAndABandFarBeyondTheWindowEndPromptly) {
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

TEST_F(ScriptGLTest, ANulByteIsNamedWithItsLine) {
  const Result result = RunScript(std::string("demo\nfl\0y 1\n", 12));
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("session.nvs:2: a NUL byte"), std::string::npos) << result.err;
}

TEST_F(ScriptGLTest, WindowWithABadScriptFailsBeforeOpening) {
  const Result result =
      scratch.Run({"window", "--script", scratch.Write("bad.nvs", "hover\n"), "--screenshot", "x.png"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("bad.nvs:1:"), std::string::npos) << result.err;
}


// `nimbo-view window` on a private X server: a scripted hover shows in the screenshot.
TEST(WindowGLTest, ScriptedHoverHighlightsTheNodeInTheScreenshot) {
  const XvfbServer server;
  if (!server.Unavailable().empty()) GTEST_SKIP() << "no X server: " << server.Unavailable();
  Scratch scratch;
  scratch.WriteQuad();
  const auto screenshot = [&scratch](const std::string& script) {
    const Result result =
        scratch.Run({"window", "quad.obj", "--size", "240x180", "--azimuth", "0", "--elevation", "0", "--script",
                     scratch.Write("events.nvs", script), "--screenshot", "shot.png"});
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
  EXPECT_GT(after[0], 150);
  EXPECT_GT(after[1], 120) << "highlight yellow under the pointer";
  // A model the script loads comes after the one on the command line.
  EXPECT_FALSE(screenshot("load quad.obj\nexpect pick 120 90 1/1/1/10002/1\nrender\n").Empty());
}

}  // namespace
}  // namespace apptest
