// `nimbo-view render`: the picture, its options, pointer actions and picks, and
// model import: OBJ, STL and PLY parts with their colours; bad files fail cleanly.
#include <gtest/gtest.h>

#include <string>

#include "NimboViewProcess.h"

namespace apptest {
namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 300;
const Rgba kWhite{255, 255, 255, 255};
const Rgba kBlack{0, 0, 0, 255};

class RenderGLTest : public ::testing::Test {
 protected:
  platform::Image Render(std::vector<std::string> arguments, Result* result = nullptr) {
    arguments.insert(arguments.begin(),
                     {"render", "-o", "out.png", "--size", std::to_string(kWidth) + "x" + std::to_string(kHeight)});
    const Result ran = scratch.Run(arguments);
    if (result != nullptr) *result = ran;
    EXPECT_EQ(ran.exitCode, 0) << ran.err;
    if (ran.exitCode != 0) return {};
    return platform::ReadPng(scratch.Path("out.png"));
  }
  std::string Quad() { return scratch.WriteQuad(); }
  // The output of `render --list-parts`: one line per part.
  std::string Parts(const std::string& model) {
    const Result result = scratch.Run({"render", model, "-o", "out.png", "--size", "200x150", "--azimuth", "0",
                                       "--elevation", "0", "--background", "#000000", "--list-parts"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return result.out;
  }

  Scratch scratch;
};

bool Reddish(const Rgba& c) { return c[0] > 150 && c[1] < 90 && c[2] < 90; }
bool Greenish(const Rgba& c) { return c[1] > 150 && c[0] < 100 && c[2] < 100; }
bool Bluish(const Rgba& c) { return c[2] > 150 && c[0] < 100 && c[1] < 120; }

TEST_F(RenderGLTest, DemoSceneFillsTheMiddleWithTheTriadInItsCornerOverTheGradient) {
  const platform::Image image =
      Render({"--background-top", "0,0,255", "--background-bottom", "#ff0000", "--distance", "100"});
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
  const std::vector<std::string> common = {quad, "--background", "#ffffff", "--azimuth", "0", "--elevation", "0"};
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

TEST_F(RenderGLTest, ObjObjectsBecomePartsWithMaterialColourAndOpacity) {
  scratch.Write("two.mtl", "newmtl red\nKd 1 0 0\nd 1\nnewmtl glass\nKd 0 0 1\nd 0.5\n");
  const std::string parts = Parts(scratch.Write("two.obj",
                                                "mtllib two.mtl\n"
                                                "v -2 -1 0\nv -0.2 -1 0\nv -0.2 1 0\nv -2 1 0\n"
                                                "v 0.2 -1 0\nv 2 -1 0\nv 2 1 0\nv 0.2 1 0\n"
                                                "o left\nusemtl red\nf 1 2 3 4\n"
                                                "o right\nusemtl glass\nf 5 6 7 8\n"));
  EXPECT_NE(parts.find("\"model\":1,\"part\":1,\"name\":\"left\""), std::string::npos) << parts;
  EXPECT_NE(parts.find("\"color\":[255,0,0,255],\"transparent\":false,\"triangles\":2"), std::string::npos) << parts;
  EXPECT_NE(parts.find("\"part\":2,\"name\":\"right\""), std::string::npos) << parts;
  EXPECT_NE(parts.find("\"color\":[0,0,255,128],\"transparent\":true"), std::string::npos) << parts;
  const platform::Image image = platform::ReadPng(scratch.Path("out.png"));
  EXPECT_GT(image.At(60, 75)[0], 150) << "the red part";
  EXPECT_LT(image.At(60, 75)[2], 60);
  const Rgba glass = image.At(140, 75);
  EXPECT_GT(glass[2], 40) << "blue shows";
  EXPECT_LT(glass[2], 200) << "but blended with the black behind it";
}

TEST_F(RenderGLTest, LinesPointsStlFacetsAndPlyVertexColoursBecomeParts) {
  EXPECT_NE(Parts(scratch.Write("wire.obj", "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\no wire\nl 1 2 3\np 4\n"))
                .find("\"triangles\":0,\"segments\":2,\"points\":1"),
            std::string::npos);
  const std::string stl = Parts(scratch.Write("square.stl",
                                              "solid square\n"
                                              " facet normal 0 0 1\n  outer loop\n   vertex -1 -1 0\n   vertex 1 -1 0\n"
                                              "   vertex 1 1 0\n  endloop\n endfacet\n"
                                              " facet normal 0 0 1\n  outer loop\n   vertex -1 -1 0\n   vertex 1 1 0\n"
                                              "   vertex -1 1 0\n  endloop\n endfacet\n"
                                              "endsolid square\n"));
  EXPECT_NE(stl.find("\"transparent\":false,\"triangles\":2,\"segments\":0"), std::string::npos) << stl;
  const platform::Image image = platform::ReadPng(scratch.Path("out.png"));
  EXPECT_FALSE(Near(image.At(100, 75), image.At(2, 2), 10)) << "the square covers the middle";
  const std::string ply = Parts(scratch.Write("green.ply",
                                              "ply\nformat ascii 1.0\nelement vertex 3\n"
                                              "property float x\nproperty float y\nproperty float z\n"
                                              "property uchar red\nproperty uchar green\nproperty uchar blue\n"
                                              "element face 1\nproperty list uchar int vertex_indices\nend_header\n"
                                              "-1 -1 0 0 255 0\n1 -1 0 0 255 0\n0 1 0 0 255 0\n3 0 1 2\n"));
  EXPECT_NE(ply.find("\"color\":[0,255,0,255],\"transparent\":false,\"triangles\":1"), std::string::npos) << ply;
}

TEST_F(RenderGLTest, BadModelsFailCleanlyNamingTheFile) {
  const struct {
    const char* file;
    const char* content;  // null: the file is not written
  } cases[] = {{"absent.obj", nullptr},
               {"notes.xyz123", "hello\n"},
               {"empty.obj", "# nothing here\n"},
               {"broken.obj", "v 0 0 0\nf 1 2 3\n"},
               {"cut.ply",
                "ply\nformat binary_little_endian 1.0\nelement vertex 100\nproperty float x\n"
                "property float y\nproperty float z\nend_header\n\x01\x02"},
               {"junk.stl", "solid x\n facet normal nonsense\n"}};
  for (const auto& c : cases) {
    if (c.content != nullptr) scratch.Write(c.file, c.content);
    const Result result = scratch.Run({"render", c.file, "-o", "out.png", "--size", "64x48"});
    EXPECT_EQ(result.exitCode, 1) << c.file << ": a clean failure, not a crash";
    EXPECT_NE(result.err.find(std::string("nimbo-view render: ") + c.file + ":"), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(scratch.Path("out.png"))) << c.file;
  }
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
