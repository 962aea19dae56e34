// `nimbo-view window` on an X server: a scripted hover highlights the node
// under the pointer in the window's screenshot.
#include <gtest/gtest.h>

#include "NimboViewProcess.h"
#include "XvfbServer.h"

namespace apptest {
namespace {

class WindowGLTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server = new XvfbServer(); }
  static void TearDownTestSuite() {
    delete server;
    server = nullptr;
  }
  void SetUp() override {
    if (!server->Unavailable().empty()) GTEST_SKIP() << "no X server: " << server->Unavailable();
    scratch.Write("quad.mtl", "newmtl red\nKd 1 0 0\nd 1\n");
    scratch.Write("quad.obj",
                  "mtllib quad.mtl\nv -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\nusemtl red\nf 1 2 3 4\n");
  }
  platform::Image Screenshot(const std::string& script) {
    const Result result =
        scratch.Run({"window", "quad.obj", "--size", "240x180", "--azimuth", "0", "--elevation", "0",
                     "--script", scratch.Write("events.nvs", script), "--screenshot", "shot.png"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    if (result.exitCode != 0) return {};
    return platform::ReadPng(scratch.Path("shot.png"));
  }

  static XvfbServer* server;
  Scratch scratch;
};

XvfbServer* WindowGLTest::server = nullptr;

TEST_F(WindowGLTest, ScriptedHoverHighlightsTheNodeInTheScreenshot) {
  const platform::Image still = Screenshot("render\n");
  const platform::Image hovered = Screenshot("hover 120 90\nrender\n");
  ASSERT_FALSE(still.Empty() || hovered.Empty());
  EXPECT_EQ(hovered.width, 240);
  EXPECT_EQ(hovered.height, 180);
  const Rgba before = still.At(150, 90);
  const Rgba after = hovered.At(150, 90);
  EXPECT_GT(before[0], 150);
  EXPECT_LT(before[1], 80) << "red before";
  EXPECT_GT(after[0], 150);
  EXPECT_GT(after[1], 120) << "highlight yellow under the pointer";
}

TEST_F(WindowGLTest, BadScriptFailsBeforeTheWindowOpens) {
  const Result result =
      scratch.Run({"window", "--script", scratch.Write("bad.nvs", "hover\n"), "--screenshot", "x.png"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("bad.nvs:1:"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace apptest
