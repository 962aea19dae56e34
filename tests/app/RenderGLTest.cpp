// `nimbo-view render`: the picture, its options, pointer actions and picks.
#include <gtest/gtest.h>

#include <string>

#include "NimboViewProcess.h"

namespace apptest {
namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 300;
const Rgba kWhite{255, 255, 255, 255};
const Rgba kBlack{0, 0, 0, 255};

// A red square from (-1, -1) to (1, 1) in the XY plane, facing +Z.
const char* kQuadObj =
    "mtllib quad.mtl\n"
    "v -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\nvn 0 0 1\n"
    "o quad\nusemtl red\nf 1//1 2//1 3//1 4//1\n";
const char* kQuadMtl = "newmtl red\nKd 1 0 0\nd 1\n";

class RenderGLTest : public ::testing::Test {
 protected:
  platform::Image Render(std::vector<std::string> arguments, Result* result = nullptr) {
    arguments.insert(arguments.begin(), {"render", "-o", "out.png", "--size",
                                         std::to_string(kWidth) + "x" + std::to_string(kHeight)});
    const Result ran = scratch.Run(arguments);
    if (result != nullptr) *result = ran;
    EXPECT_EQ(ran.exitCode, 0) << ran.err;
    if (ran.exitCode != 0) return {};
    return platform::ReadPng(scratch.Path("out.png"));
  }
  std::string Quad() {
    scratch.Write("quad.mtl", kQuadMtl);
    return scratch.Write("quad.obj", kQuadObj);
  }

  Scratch scratch;
};

bool Reddish(const Rgba& c) { return c[0] > 150 && c[1] < 90 && c[2] < 90; }
bool Greenish(const Rgba& c) { return c[1] > 150 && c[0] < 100 && c[2] < 100; }
bool Bluish(const Rgba& c) { return c[2] > 150 && c[0] < 100 && c[1] < 120; }

TEST_F(RenderGLTest, DemoSceneFillsTheMiddleWithTheTriadInItsCornerOverTheGradient) {
  const platform::Image image = Render({"--background-top", "0,0,255", "--background-bottom", "#ff0000", "--distance", "100"});
  ASSERT_EQ(image.width, kWidth);
  ASSERT_EQ(image.height, kHeight);
  EXPECT_TRUE(Near(image.At(kWidth - 2, 1), Rgba{0, 0, 255, 255}, 12)) << "the gradient's top";
  EXPECT_TRUE(Near(image.At(kWidth - 2, kHeight - 2), Rgba{255, 0, 0, 255}, 12)) << "and bottom";
  const platform::Image plain = Render({"--background", "#000000"});
  int scenePixels = 0;
  for (int y = kHeight / 3; y < 2 * kHeight / 3; ++y) {
    for (int x = kWidth / 3; x < 2 * kWidth / 3; ++x) scenePixels += !Near(plain.At(x, y), kBlack, 10);
  }
  EXPECT_GT(scenePixels, kWidth * kHeight / 18) << "the middle ninth is mostly scene";
  EXPECT_TRUE(AnyAround(plain, 40, kHeight - 40, 39, Reddish)) << "the triad's X";
  EXPECT_TRUE(AnyAround(plain, 40, kHeight - 40, 39, Greenish));
  EXPECT_TRUE(AnyAround(plain, 40, kHeight - 40, 39, Bluish));
}

TEST_F(RenderGLTest, HoverShowsTheApertureAtThePointerAndHighlightsTheNodeUnderIt) {
  const std::string quad = Quad();
  const std::vector<std::string> common = {quad, "--background", "#ffffff", "--azimuth", "0",
                                           "--elevation", "0"};
  const platform::Image plain = Render(common);
  std::vector<std::string> hovering = common;
  hovering.insert(hovering.end(), {"--hover", "30,40", "--hover", "200,150"});
  const platform::Image hovered = Render(hovering);
  ASSERT_FALSE(plain.Empty());
  ASSERT_FALSE(hovered.Empty());
  ASSERT_TRUE(Reddish(plain.At(200, 150)));
  EXPECT_FALSE(Reddish(hovered.At(200, 150))) << "the square under the pointer is highlighted";
  EXPECT_GT(hovered.At(200, 150)[1], 120) << "in the highlight colour (yellow)";
  // Only the last hover position keeps the aperture.
  auto notWhite = [](const Rgba& c) { return !Near(c, kWhite, 60); };
  EXPECT_FALSE(AnyAround(plain, 30, 40, 12, notWhite));
  EXPECT_FALSE(AnyAround(hovered, 30, 40, 12, notWhite)) << "the aperture moved on";
  auto dark = [](const Rgba& c) { return c[0] + c[1] + c[2] < 200; };
  EXPECT_TRUE(AnyAround(hovered, 200, 150, 12, dark)) << "the aperture circle around the pointer";
}

TEST_F(RenderGLTest, DragShowsTheRubberBandBetweenPressAndPointer) {
  const platform::Image image = Render({"--background", "#ffffff", "--drag", "40,30,140,80"});
  ASSERT_FALSE(image.Empty());
  auto notWhite = [](const Rgba& c) { return !Near(c, kWhite, 40); };
  // The edges are stippled: look along a short stretch of each.
  EXPECT_TRUE(AnyAround(image, 90, 30, 4, notWhite)) << "top edge";
  EXPECT_TRUE(AnyAround(image, 40, 55, 4, notWhite)) << "left edge";
  EXPECT_TRUE(AnyAround(image, 140, 55, 4, notWhite)) << "right edge";
  EXPECT_FALSE(notWhite(image.At(90, 55))) << "the inside stays clear";
}

TEST_F(RenderGLTest, CameraOptionsAimAndPlaceTheEye) {
  const std::string quad = Quad();
  const platform::Image front = Render({quad, "--azimuth", "0", "--elevation", "0"});
  const platform::Image edgeOn = Render({quad, "--azimuth", "90", "--elevation", "0", "--background", "#000000"});
  const platform::Image far = Render({quad, "--azimuth", "0", "--elevation", "0", "--distance", "60"});
  const platform::Image ortho = Render({quad, "--azimuth", "0", "--elevation", "0", "--ortho"});
  ASSERT_FALSE(front.Empty() || edgeOn.Empty() || far.Empty() || ortho.Empty());
  EXPECT_TRUE(Reddish(front.At(200, 150)));
  EXPECT_TRUE(Reddish(front.At(200 + 60, 150))) << "fitted: the square fills the middle";
  EXPECT_FALSE(Reddish(edgeOn.At(200 + 30, 150))) << "seen from +X the square is a line";
  EXPECT_TRUE(Reddish(far.At(200, 150)));
  EXPECT_FALSE(Reddish(far.At(200 + 60, 150))) << "from far away the square is small";
  EXPECT_TRUE(Reddish(ortho.At(200, 150)));
}

TEST_F(RenderGLTest, PicksPrintPathAndPointAsJsonLinesInOrder) {
  const std::string quad = Quad();
  Result result;
  Render({quad, "--azimuth", "0", "--elevation", "0", "--pick", "200,150", "--pick", "2,2"}, &result);
  const std::size_t newline = result.out.find('\n');
  ASSERT_NE(newline, std::string::npos) << result.out;
  const std::string hit = result.out.substr(0, newline);
  EXPECT_EQ(hit.rfind("{\"x\":200,\"y\":150,\"path\":[1,1,1,10002,1],\"point\":[", 0), 0u) << hit;
  EXPECT_NE(hit.find(",0]}"), std::string::npos) << "the point lies on the square (z = 0): " << hit;
  EXPECT_EQ(result.out.substr(newline + 1), "{\"x\":2,\"y\":2,\"path\":null,\"point\":null}\n");
}

TEST(NimboViewArgumentsTest, BadArgumentsAreRefusedWithAMessageAndEveryCommandHasHelp) {
  Scratch scratch;
  const struct {
    std::vector<std::string> arguments;
    const char* message;
  } cases[] = {{{"render"}, "no output file"},
               {{"render", "-o", "out.png", "--size", "0x10"}, "--size"},
               {{"render", "-o", "out.png", "--hover", "1"}, "--hover"},
               {{"render", "-o", "out.png", "--background", "#12"}, "--background"},
               {{"render", "-o", "out.png", "--frobnicate"}, "--frobnicate"},
               {{"render", "-o"}, "-o needs a value"},
               {{"paint"}, "unknown command 'paint'"}};
  for (const auto& c : cases) {
    const Result result = scratch.Run(c.arguments);
    EXPECT_EQ(result.exitCode, 2) << c.message;
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(scratch.Path("out.png")));
  }
  for (const char* command : {"render", "run", "window"}) {
    const Result result = scratch.Run({command, "--help"});
    EXPECT_EQ(result.exitCode, 0) << command;
    EXPECT_EQ(result.out.rfind(std::string("usage: nimbo-view ") + command, 0), 0u) << result.out;
  }
  const Result top = scratch.Run({"--help"});
  EXPECT_EQ(top.exitCode, 0);
  EXPECT_NE(top.out.find("render"), std::string::npos);
}

}  // namespace
}  // namespace apptest
