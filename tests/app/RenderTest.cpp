// `nimbo-view render`: the demo scene over the gradient, picks as JSON lines,
// camera options, parts and model summaries, and bad models and arguments
// refused with one-line messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "NimboViewProcess.h"

namespace apptest {
namespace {

// A glTF file of `head` (asset, scenes, nodes, meshes, materials) over one
// triangle's buffer, its corners (0, 0, 0), (1, 0, 0) and (0, 1, 0).
std::string TriangleGltf(const std::string& head) {
  return head +
         R"("buffers":[{"byteLength":36,"uri":"data:application/octet-stream;base64,AAAAAAAAAAAAAAAAAACAPwAAAAAAAAAAAAAAAAAAgD8AAAAA"}],)"
         R"("bufferViews":[{"buffer":0,"byteLength":36}],)"
         R"("accessors":[{"bufferView":0,"componentType":5126,"count":3,"type":"VEC3","min":[0,0,0],"max":[1,1,0]}]})";
}

class RenderTest : public ::testing::Test {
 protected:
  // The output of `render --list-parts`: one line per part.
  std::string Parts(const std::string& model) {
    const Result result = scratch.Run({"render", model, "-o", "out.png", "--size", "200x150", "--view", "front",
                                       "--background", "black", "--list-parts"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return result.out;
  }

  Scratch scratch;
};

TEST_F(RenderTest, DemoSceneFillsTheMiddleOverTheGradient) {
  const Result result = scratch.Run({"render", "-o", "demo.png", "--size", "240x180", "--background-top", "0,0,255",
                                     "--background-bottom", "#ff0000", "--list-parts"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_NE(result.out.find(R"("name":"filtered tower","color":[230,230,230,255],"transparent":false,)"
                            R"("triangles":12,"segments":0,"points":0,"hidden":true})"),
            std::string::npos)
      << "the part the demo filters out says so: " << result.out;
  EXPECT_EQ(result.err, "nimbo-view render: wrote demo.png (240x180)\n")
      << "the plug-in's debug output stays hidden unless asked for";
  const platform::Image image = platform::ReadPng(scratch.Path("demo.png"));
  ASSERT_EQ(image.width, 240);
  ASSERT_EQ(image.height, 180);
  const auto near = [](std::array<std::uint8_t, 4> pixel, int r, int g, int b) {
    return std::abs(pixel[0] - r) <= 12 && std::abs(pixel[1] - g) <= 12 && std::abs(pixel[2] - b) <= 12;
  };
  EXPECT_TRUE(near(image.At(238, 1), 0, 0, 255)) << "the gradient's top";
  EXPECT_TRUE(near(image.At(238, 178), 255, 0, 0)) << "and bottom";
  int scenePixels = 0;
  for (int y = 60; y < 120; ++y) {
    for (int x = 80; x < 160; ++x) {
      const auto pixel = image.At(x, y);
      const int b = 255 * (179 - y) / 179;
      scenePixels += near(pixel, 255 - b, 0, b) ? 0 : 1;
    }
  }
  EXPECT_GT(scenePixels, 80 * 60 / 2) << "the middle ninth is mostly scene";
}

TEST_F(RenderTest, PicksPrintPathAndPointAsJsonLinesInOrder) {
  const std::string quad = scratch.WriteQuad();
  const Result result = scratch.Run({"render", quad, "-o", "out.png", "--size", "400x300", "--azimuth", "0",
                                     "--elevation", "0", "--pick", "200,150", "--pick", "2,2", "--pick", "101,150"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  const std::size_t newline = result.out.find('\n');
  ASSERT_NE(newline, std::string::npos) << result.out;
  const std::string hit = result.out.substr(0, newline);
  EXPECT_EQ(hit.rfind("{\"x\":200,\"y\":150,\"path\":[1,1,1,10002,1],\"point\":[", 0), 0u) << hit;
  EXPECT_NE(hit.find(",0]}"), std::string::npos) << "the point lies on the square (z = 0): " << hit;
  // The last pick box holds the square's edge, but the ray misses it.
  EXPECT_EQ(result.out.substr(newline + 1),
            "{\"x\":2,\"y\":2,\"path\":null,\"point\":null}\n"
            "{\"x\":101,\"y\":150,\"path\":[1,1,1,10002,1],\"point\":null}\n");
}

TEST_F(RenderTest, ObjObjectsBecomePartsWithMaterialColourAndOpacity) {
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
  const auto glass = image.At(140, 75);
  EXPECT_GT(glass[2], 40) << "blue shows";
  EXPECT_LT(glass[2], 200) << "but blended with the black behind it";
}

TEST_F(RenderTest, GltfOpacityCountsOnceAndPointCloudsBecomePoints) {
  // One triangle, half transparent green: its base colour's alpha is the opacity.
  const std::string gltf = Parts(scratch.Write(
      "half.gltf",
      TriangleGltf(R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0]}],"nodes":[{"mesh":0}],)"
                   R"("meshes":[{"primitives":[{"attributes":{"POSITION":0},"material":0}]}],)"
                   R"("materials":[{"pbrMetallicRoughness":{"baseColorFactor":[0,1,0,0.5]},"alphaMode":"BLEND"}],)")));
  EXPECT_NE(gltf.find("\"color\":[0,255,0,128],\"transparent\":true,\"triangles\":1"), std::string::npos) << gltf;
  const std::string cloud = Parts(scratch.Write("cloud.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 1\n"));
  EXPECT_NE(cloud.find("\"triangles\":0,\"segments\":0,\"points\":4"), std::string::npos) << cloud;
}

TEST_F(RenderTest, ASelectedPartShowsItsOwnColourBetweenStripesBesideItsUnselectedTwin) {
  scratch.Write("green.mtl", "newmtl green\nKd 0.2 0.7 0.3\n");
  scratch.Write("twins.obj",
                "mtllib green.mtl\nv -2 -0.8 0\nv -0.4 -0.8 0\nv -0.4 0.8 0\nv -2 0.8 0\n"
                "v 0.4 -0.8 0\nv 2 -0.8 0\nv 2 0.8 0\nv 0.4 0.8 0\nusemtl green\n"
                "o left\nf 1 2 3 4\no right\nf 5 6 7 8\n");
  const Result result = scratch.Run({"render", "twins.obj", "-o", "out.png", "--size", "400x200", "--view", "front",
                                     "--click", "150,100", "--pick", "150,100"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  ASSERT_NE(result.out.find("\"path\":[1,1,1,10002,1]"), std::string::npos) << "the click is on the left part";
  const platform::Image image = platform::ReadPng(scratch.Path("out.png"));
  // Pixels of each part, by the colour that dominates them.
  const auto count = [&image](int x0, int x1) {
    std::array<int, 2> greenAndRed{};
    for (int y = 85; y < 115; ++y) {
      for (int x = x0; x < x1; ++x) {
        const auto pixel = image.At(x, y);
        if (pixel[1] > pixel[0] + 40) ++greenAndRed[0];
        if (pixel[0] > pixel[1] + 40) ++greenAndRed[1];
      }
    }
    return greenAndRed;
  };
  const auto selected = count(130, 170);
  const auto unselected = count(230, 270);
  EXPECT_GT(selected[0], 40 * 30 / 2) << "mostly its own green";
  EXPECT_GT(selected[1], 40 * 30 / 8) << "with red stripes";
  EXPECT_EQ(unselected[0], 40 * 30) << "its twin all green";
}

TEST_F(RenderTest, ViewUpAxisAndBackFacesDecideWhatTheCentreShows) {
  scratch.WriteQuad();
  // The square wound the other way round: its front faces -Z.
  scratch.Write("inside-out.obj",
                "mtllib quad.mtl\nv -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\nvn 0 0 -1\n"
                "usemtl red\nf 4//1 3//1 2//1 1//1\n");
  const struct {
    std::vector<std::string> arguments;
    bool square;  // whether the square covers the centre
  } cases[] = {{{"quad.obj", "--view", "front"}, true},
               {{"quad.obj", "--view", "top"}, false},
               {{"quad.obj", "--view", "iso"}, true},
               {{"quad.obj", "--up", "z", "--view", "top"}, true},
               {{"quad.obj", "--up", "z", "--view", "front"}, false},
               {{"inside-out.obj", "--view", "front"}, false},
               {{"inside-out.obj", "--view", "front", "--back-faces"}, true}};
  for (const auto& c : cases) {
    std::vector<std::string> arguments = {"render", "-o", "out.png", "--size", "80x60", "--background", "black"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const Result result = scratch.Run(arguments);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto centre = platform::ReadPng(scratch.Path("out.png")).At(40, 30);
    EXPECT_EQ(centre[0] > 20, c.square) << testing::PrintToString(c.arguments) << ": red " << int{centre[0]};
  }
}

TEST_F(RenderTest, PartsAreNamedAfterNodesShareOneDefaultColourAndEachModelIsSummed) {
  // Two nodes place one triangle mesh twice.
  const std::string gltf = Parts(scratch.Write(
      "twice.gltf",
      TriangleGltf(R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0,1]}],)"
                   R"("nodes":[{"name":"left","mesh":0,"translation":[-2,0,0]},{"name":"right","mesh":0}],)"
                   R"("meshes":[{"name":"tri","primitives":[{"attributes":{"POSITION":0}}]}],)")));
  EXPECT_NE(gltf.find(R"("part":1,"name":"left")"), std::string::npos) << gltf;
  EXPECT_NE(gltf.find(R"("part":2,"name":"right")"), std::string::npos) << gltf;
  EXPECT_NE(gltf.find(R"(/twice.gltf","parts":2,"triangles":2,"segments":0,"points":0,"min":[-2,0,0],"max":[1,1,0]})"),
            std::string::npos)
      << gltf;
  for (const auto& [file, text] :
       {std::pair{"plain.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"},
        std::pair{"plain.stl",
                  "solid t\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\nvertex 0 1 0\n"
                  "endloop\nendfacet\nendsolid t\n"},
        std::pair{"plain.ply",
                  "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float y\n"
                  "property float z\nelement face 1\nproperty list uchar int vertex_indices\n"
                  "end_header\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n"}}) {
    const std::string parts = Parts(scratch.Write(file, text));
    EXPECT_NE(parts.find(R"("color":[200,200,200,255])"), std::string::npos) << file << ": " << parts;
  }
}

TEST_F(RenderTest, ProgressOfALongLoadIsWholeLinesWhenStderrIsNoTerminal) {
  const std::string padding(4u << 20, 'x');
  scratch.Write("big.obj", "# " + padding + "\n" + kQuadObj);
  scratch.Write("quad.mtl", kQuadMtl);
  const Result result = scratch.Run({"render", "big.obj", "-o", "out.png", "--size", "64x48"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_NE(result.err.find("reading big.obj: 100%\n"), std::string::npos) << result.err;
  EXPECT_EQ(result.err.find('\r'), std::string::npos) << result.err;
}

// Files that once hung, exhausted memory or crashed the importer, and plain
// bad ones: each a clean failure naming the file, and no picture.
TEST_F(RenderTest, BadModelsAreRefusedNamingTheFileAndWhatIsWrong) {
  std::string chain = R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0]}],"nodes":[)";
  for (int i = 1; i < 20000; ++i) chain += "{\"children\":[" + std::to_string(i) + "]},";
  chain += "{}]}";
  std::filesystem::create_directory(scratch.Path("folder.obj"));
  // Header lines that once made the importer loop for ever: binary junk, and
  // end_header run into a line before it.
  const char junk[] =
      "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float y\nproperty float z\n"
      "element face 1\nproperty list uchar int\x04\xaa\0\0\x80"
      "e:section\n"
      "end_header\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n";
  const struct {
    std::string file;
    std::string content;  // empty: the file is not written
    std::string message;
  } cases[] = {{"absent.obj", "", "no such file"},
               {"notes.xyz123", "hello\n", ""},
               {"empty.obj", "# nothing here\n", ""},
               {"broken.obj", "v 0 0 0\nf 1 2 3\n", ""},
               {"cut.ply",
                "ply\nformat binary_little_endian 1.0\nelement vertex 100\nproperty float x\n"
                "property float y\nproperty float z\nelement face 50\nproperty list uchar int vertex_indices\n"
                "end_header\n\x01\x02",
                ""},
               {"junk.stl", "solid x\n facet normal nonsense\n", ""},
               {"open.ply", "ply\nformat ascii 1.0\nelement vertex 1\nproperty float x\n0\n", "no end_header"},
               {"junk.ply", std::string(junk, sizeof junk - 1), "line 8 of the PLY header is malformed"},
               {"upper.ply", std::string("plY\nformat ascii 1.\0\nend_header\n", 32), "line 2 of the PLY header"},
               {"glued.ply", "ply\nformat ascii 1.0\nelement vertex 1\nproperty float x\nformat a floatend_header\n0\n",
                "no end_header line"},
               {"huge.glb", std::string("glTF\x02\0\0\0\xff\xff\xff\xff\x02\0\0\0JSON{}", 22), "claims 4294967295"},
               {"deep.gltf", chain, "deeper than 4096"},
               {"bare-face.ply",
                "ply\nformat ascii 1.0\nelement vertex 2\nproperty float x\nproperty float y\nproperty float z\n"
                "element face 1\nproperty list uchar int vertex_indices\nend_header\n0 0 0\n1 0 0\n0 1 0\n",
                "face 1 of mesh 1 has no vertices"},
               {"hole.off", "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n0 0 1 2\n", "face 1 of the OFF file"},
               {"cut.stl", "solid t\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\n", "cut short"},
               {"folder.obj", "", "is a directory"},
               {"/dev/zero", "", "not a regular file"}};
  for (const auto& c : cases) {
    if (!c.content.empty()) scratch.Write(c.file, c.content);
    const Result result = scratch.Run({"render", c.file, "-o", "out.png", "--size", "64x48"});
    EXPECT_EQ(result.exitCode, 1) << c.file << ": a clean failure, not a crash";
    EXPECT_NE(result.err.find("nimbo-view render: " + c.file + ": "), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(scratch.Path("out.png"))) << c.file;
  }
}

TEST(NimboViewArgumentsTest, BadArgumentsGetOneLineNamingTheProblemAndEveryCommandHasHelp) {
  Scratch scratch;
  const struct {
    std::vector<std::string> arguments;
    const char* message;
  } cases[] = {{{}, "nimbo-view: no command given (render, run or window); try 'nimbo-view --help'\n"},
               {{"paint"}, "nimbo-view: unknown command 'paint'; try 'nimbo-view --help'\n"},
               {{"render"}, "nimbo-view render: no output file (-o FILE.png); try 'nimbo-view render --help'\n"},
               {{"render", "-o", "out.jpg"}, "-o: 'out.jpg' is not a .png file name"},
               {{"render", "-o", "out.png", "--size", "0x10"}, "--size"},
               {{"render", "-o", "out.png", "--plugin", "/nowhere.so", "--hover", "1"}, "--hover"},
               {{"render", "-o", "out.png", "--background", "#12"}, "--background"},
               {{"render", "-o", "out.png", "--background", "mauve"}, "'mauve' is not a colour (#rrggbb, #rrggbbaa"},
               {{"render", "-o", "out.png", "--view", "back"}, "--view: 'back' is not front, top, side or iso"},
               {{"render", "-o", "out.png", "--up", "w"}, "--up: 'w' is not x, y, z"},
               {{"render", "-o", "out.png", "--frobnicate"}, "unknown option --frobnicate"},
               {{"render", "-o"}, "-o needs a value"},
               {{"window", "--script", "s.nvs", "--screenshot", "s.bmp"}, "'s.bmp' is not a .png file name"}};
  for (const auto& c : cases) {
    const Result result = scratch.Run(c.arguments);
    EXPECT_EQ(result.exitCode, 2) << c.message;
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << "one line: " << result.err;
    EXPECT_NE(result.err.find("--help'"), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(scratch.Path("out.png")));
  }
  // What each help must tell a user that the code alone would not.
  const struct {
    const char* command;
    std::vector<std::string> mentions;
  } helps[] = {{"render", {"#rrggbbaa", "(default 800x600)", "10002 for surfaces", "--up AXIS", "--view NAME"}},
               {"run", {"(default 400x300)", "F 70 fit", "10000 points"}},
               {"window", {"S: screenshot", "Escape 27", "--back-faces"}}};
  for (const auto& help : helps) {
    const Result result = scratch.Run({help.command, "--help"});
    EXPECT_EQ(result.exitCode, 0) << help.command;
    EXPECT_EQ(result.out.rfind(std::string("usage: nimbo-view ") + help.command, 0), 0u) << result.out;
    for (const std::string& mention : help.mentions) {
      EXPECT_NE(result.out.find(mention), std::string::npos) << help.command << " --help lacks " << mention;
    }
  }
  const Result top = scratch.Run({"--help"});
  EXPECT_EQ(top.exitCode, 0);
  EXPECT_NE(top.out.find("render"), std::string::npos);
  const Result version = scratch.Run({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out.rfind("nimbo-view ", 0), 0u) << version.out;

  // Of -o and --output, the one given last names the file.
  const Result named = scratch.Run({"render", "-o", "first.png", "--output", "last.png", "--size", "64x48"});
  EXPECT_EQ(named.exitCode, 0) << named.err;
  EXPECT_TRUE(std::filesystem::exists(scratch.Path("last.png")));
  EXPECT_FALSE(std::filesystem::exists(scratch.Path("first.png")));

  // After "--" a name starting with '-' is a model file.
  scratch.WriteQuad();
  scratch.Write("-quad.obj", kQuadObj);
  const Result dashed = scratch.Run({"render", "-o", "out.png", "--size", "64x48", "--", "-quad.obj"});
  EXPECT_EQ(dashed.exitCode, 0) << dashed.err;
}

}  // namespace
}  // namespace apptest
