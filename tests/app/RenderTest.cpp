// `nimbo-view render`: the demo scene over the gradient, picks as JSON lines,
// camera options, parts and model summaries, and bad models and arguments
// refused with one-line messages.
#include <gmock/gmock.h>

#include "NimboViewProcess.h"

namespace apptest {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

using Pixel = std::array<std::uint8_t, 4>;

bool Near(Pixel pixel, int r, int g, int b) {
  return std::abs(pixel[0] - r) <= 12 && std::abs(pixel[1] - g) <= 12 && std::abs(pixel[2] - b) <= 12;
}

// The pixels of the w x h block at (x0, y0) for which is(pixel, y) holds.
template <typename Is>
int Count(const platform::Image& image, int x0, int y0, int w, int h, Is is) {
  int count = 0;
  for (int y = y0; y < y0 + h; ++y) {
    for (int x = x0; x < x0 + w; ++x) count += is(image.At(x, y), y) ? 1 : 0;
  }
  return count;
}

// A glTF file of `head` (asset, scenes, nodes, meshes, materials) over one
// triangle's buffer, its corners (0, 0, 0), (1, 0, 0) and (0, 1, 0).
std::string TriangleGltf(const std::string& head) {
  return R"({"asset":{"version":"2.0"},"scene":0,)" + head +
         R"("buffers":[{"byteLength":36,"uri":"data:application/octet-stream;base64,AAAAAAAAAAAAAAAAAACAPwAAAAAAAAAAAAAAAAAAgD8AAAAA"}],)"
         R"("bufferViews":[{"buffer":0,"byteLength":36}],)"
         R"("accessors":[{"bufferView":0,"componentType":5126,"count":3,"type":"VEC3","min":[0,0,0],"max":[1,1,0]}]})";
}

class RenderTest : public ::testing::Test {
 protected:
  // Renders into out.png over black, after the arguments.
  Result Render(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"render", "-o", "out.png", "--background", "black"});
    return scratch.Run(arguments);
  }

  Scratch scratch;
};

TEST_F(RenderTest, DemoSceneFillsTheMiddleOverTheGradient) {
  const Result result = scratch.Run({"render", "-o", "demo.png", "--size", "240x180", "--background-top", "0,0,255",
                                     "--background-bottom", "#ff0000", "--list-parts"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  // The part the demo filters out says so.
  EXPECT_THAT(result.out, HasSubstr(R"("name":"filtered tower","color":[230,230,230,255],"transparent":false,)"
                                    R"("triangles":12,"segments":0,"points":0,"hidden":true})"));
  EXPECT_EQ(result.err, "nimbo-view render: wrote demo.png (240x180)\n")
      << "the plug-in's debug output stays hidden unless asked for";
  const platform::Image image = scratch.Png("demo.png");
  ASSERT_EQ(std::pair(image.width, image.height), std::pair(240, 180));
  EXPECT_TRUE(Near(image.At(238, 1), 0, 0, 255)) << "the gradient's top";
  EXPECT_TRUE(Near(image.At(238, 178), 255, 0, 0)) << "and bottom";
  const auto scene = [](Pixel p, int y) { return !Near(p, 255 * y / 179, 0, 255 * (179 - y) / 179); };
  EXPECT_GT(Count(image, 80, 60, 80, 60, scene), 80 * 60 / 2) << "the middle ninth is mostly scene";
}

// Together in one run: an OBJ material's colour, a glTF opacity counts once, a point cloud becomes
// points, parts are named after glTF nodes, models without material share one
// grey, each model is summed up, and a long load's progress is whole lines.
TEST_F(RenderTest, ModelsOfEachFormatListTheirPartsAndSummaries) {
  scratch.WriteQuad();
  scratch.Write("big.obj", "# " + std::string(4u << 20, 'x') + "\n" + kQuadObj);
  scratch.Write("half.gltf", TriangleGltf(R"("scenes":[{"nodes":[0]}],"nodes":[{"mesh":0}],)"
                                          R"("meshes":[{"primitives":[{"attributes":{"POSITION":0},"material":0}]}],)"
                                          R"("materials":[{"pbrMetallicRoughness":{"baseColorFactor":[0,1,0,0.5]},)"
                                          R"("alphaMode":"BLEND"}],)"));
  scratch.Write("cloud.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 1\n");
  // Two nodes place one triangle mesh twice.
  scratch.Write("twice.gltf",
                TriangleGltf(R"("scenes":[{"nodes":[0,1]}],)"
                             R"("nodes":[{"name":"left","mesh":0,"translation":[-2,0,0]},{"name":"right","mesh":0}],)"
                             R"("meshes":[{"name":"tri","primitives":[{"attributes":{"POSITION":0}}]}],)"));
  scratch.Write("plain.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
  scratch.Write("plain.ply",
                "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float y\nproperty float z\n"
                "element face 1\nproperty list uchar int vertex_indices\nend_header\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n");
  const Result result = Render(
      {"--size", "64x48", "--list-parts", "big.obj", "half.gltf", "cloud.obj", "twice.gltf", "plain.obj", "plain.ply"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  for (const char* listed :
       {R"("model":1,"part":1,"name":"quad","color":[255,0,0,255],"transparent":false,"triangles":2,)",
        R"("model":2,"part":1,"name":"nodes[0]","color":[0,255,0,128],"transparent":true,"triangles":1,)",
        R"("model":3,"file":"cloud.obj","parts":1,"triangles":0,"segments":0,"points":4,)",
        R"("model":4,"part":1,"name":"left",)", R"("model":4,"part":2,"name":"right",)",
        R"("file":"twice.gltf","parts":2,"triangles":2,"segments":0,"points":0,)"
        R"("min":[-2,0,0],"max":[1,1,0]})",
        R"("model":5,"part":1,"name":"defaultobject","color":[200,200,200,255],)",
        R"("model":6,"part":1,"name":"","color":[200,200,200,255],)"}) {
    EXPECT_THAT(result.out, HasSubstr(listed));
  }
  EXPECT_THAT(result.err, HasSubstr("reading big.obj: 100%\n"));
  EXPECT_EQ(result.err.find('\r'), std::string::npos) << "no terminal, no carriage returns: " << result.err;
}

TEST_F(RenderTest, PicksPrintInOrderAndAClickedPartShowsStripesBesideItsUnselectedTwin) {
  scratch.Write("green.mtl", "newmtl green\nKd 0.2 0.7 0.3\n");
  scratch.Write("twins.obj",
                "mtllib green.mtl\nv -2 -0.8 0\nv -0.4 -0.8 0\nv -0.4 0.8 0\nv -2 0.8 0\n"
                "v 0.4 -0.8 0\nv 2 -0.8 0\nv 2 0.8 0\nv 0.4 0.8 0\nusemtl green\n"
                "o left\nf 1 2 3 4\no right\nf 5 6 7 8\n");
  const Result result = Render({"twins.obj", "--size", "400x200", "--view", "front", "--click", "150,100", "--pick",
                                "150,100", "--pick", "2,2", "--pick", "183,100"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  // Picks print as JSON lines in order. The click is on the left part, the
  // point on it (z = 0); the last pick box holds its edge, but the ray misses.
  EXPECT_THAT(result.out, ::testing::MatchesRegex(R"(\{"x":150,"y":100,"path":\[1,1,1,10002,1\],"point":\[)"
                                                  R"([^],]+,[^],]+,0\]\})"
                                                  "\n"
                                                  R"(\{"x":2,"y":2,"path":null,"point":null\})"
                                                  "\n"
                                                  R"(\{"x":183,"y":100,"path":\[1,1,1,10002,1\],"point":null\})"
                                                  "\n"));
  const platform::Image image = scratch.Png("out.png");
  // Of each part's 40 x 30 pixels, those that green or red dominates.
  const auto green = [](Pixel p, int) { return p[1] > p[0] + 40; };
  const auto red = [](Pixel p, int) { return p[0] > p[1] + 40; };
  EXPECT_GT(Count(image, 130, 85, 40, 30, green), 40 * 30 / 2) << "mostly its own green";
  EXPECT_GT(Count(image, 130, 85, 40, 30, red), 40 * 30 / 8) << "with red stripes";
  EXPECT_EQ(Count(image, 230, 85, 40, 30, green), 40 * 30) << "its twin all green";
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
  } cases[] = {{{"quad.obj", "--view", "top"}, false},
               {{"quad.obj", "--up", "z", "--view", "top"}, true},
               {{"inside-out.obj", "--view", "front"}, false},
               {{"inside-out.obj", "--view", "front", "--back-faces"}, true}};
  for (const auto& c : cases) {
    std::vector<std::string> arguments = c.arguments;
    arguments.insert(arguments.end(), {"--size", "80x60"});
    const Result result = Render(arguments);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto centre = scratch.Png("out.png").At(40, 30);
    EXPECT_EQ(centre[0] > 20, c.square) << testing::PrintToString(c.arguments) << ": red " << int{centre[0]};
  }
}

// Files that once hung, exhausted memory or crashed the importer, and plain
// bad ones: each a clean failure naming the file, and no picture.
TEST_F(RenderTest, BadModelsAreRefusedNamingTheFileAndWhatIsWrong) {
  std::string chain = R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0]}],"nodes":[)";
  for (int i = 1; i < 20000; ++i) chain += "{\"children\":[" + std::to_string(i) + "]},";
  chain += "{}]}";
  std::filesystem::create_directory(scratch.Path("folder.obj"));
  const struct {
    std::string file;
    std::string content;  // empty: the file is not written
    std::string message;
  } cases[] = {
      {"absent.obj", "", "no such file"},
      {"notes.xyz123", "hello\n", "cannot read the model"},
      {"cut.ply",
       "ply\nformat binary_little_endian 1.0\nelement vertex 100\nproperty float x\n"
       "property float y\nproperty float z\nelement face 50\nproperty list uchar int vertex_indices\n"
       "end_header\n\x01\x02",
       "Validation failed"},
      {"upper.ply", std::string("plY\nformat ascii 1.\0\nend_header\n", 32), "line 2 of the PLY header is malformed"},
      {"glued.ply", "ply\nformat ascii 1.0\nelement vertex 1\nproperty float x\nformat a floatend_header\n0\n",
       "no end_header line"},
      {"huge.glb", std::string("glTF\x02\0\0\0\xff\xff\xff\xff\x02\0\0\0JSON{}", 22), "claims 4294967295"},
      {"deep.gltf", chain, "deeper than 4096"},
      {"bare-face.ply",
       "ply\nformat ascii 1.0\nelement vertex 2\nproperty float x\nproperty float y\nproperty float z\n"
       "element face 1\nproperty list uchar int vertex_indices\nend_header\n0 0 0\n1 0 0\n0 1 0\n",
       "face 1 of mesh 1 has no vertices"},
      {"hole.off", "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n0 0 1 2\n", "face 1 of the OFF file"},
      {"short.off", "OFF\n3 1 0\n0 0 0\n1 0\n", "ends within its vertices"},
      {"cut.stl", "solid t\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\n", "cut short"},
      {"folder.obj", "", "is a directory"},
      {"/dev/zero", "", "not a regular file"}};
  for (const auto& c : cases) {
    if (!c.content.empty()) scratch.Write(c.file, c.content);
    const Result result = Render({c.file, "--size", "64x48"});
    EXPECT_EQ(result.exitCode, 1) << c.file << ": a clean failure, not a crash";
    EXPECT_THAT(result.err, HasSubstr("nimbo-view render: " + c.file + ": "));
    EXPECT_THAT(result.err, HasSubstr(c.message));
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
    EXPECT_THAT(result.err, HasSubstr(c.message));
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << "one line: " << result.err;
    EXPECT_THAT(result.err, HasSubstr("--help'"));
    EXPECT_FALSE(std::filesystem::exists(scratch.Path("out.png")));
  }
  // What each help must tell a user that the code alone would not.
  const struct {
    std::vector<std::string> arguments;
    std::string start;
    std::vector<std::string> mentions;
  } helps[] = {{{"render", "--help"},
                "usage: nimbo-view render",
                {"#rrggbbaa", "(default 800x600)", "10002 for surfaces", "--up AXIS", "--view NAME"}},
               {{"run", "--help"}, "usage: nimbo-view run", {"(default 400x300)", "F 70 fit", "10000 points"}},
               {{"window", "--help"}, "usage: nimbo-view window", {"S: screenshot", "Escape 27", "--back-faces"}},
               {{"--help"}, "usage: nimbo-view ", {"render"}},
               {{"--version"}, "nimbo-view ", {}}};
  for (const auto& help : helps) {
    const Result result = scratch.Run(help.arguments);
    EXPECT_EQ(result.exitCode, 0) << help.start;
    EXPECT_THAT(result.out, StartsWith(help.start));
    for (const std::string& mention : help.mentions) EXPECT_THAT(result.out, HasSubstr(mention));
  }
  // Of -o and --output the one given last names the file; after "--" a name
  // starting with '-' is a model file.
  scratch.WriteQuad();
  scratch.Write("-quad.obj", kQuadObj);
  const Result named =
      scratch.Run({"render", "-o", "first.png", "--output", "last.png", "--size", "64x48", "--", "-quad.obj"});
  EXPECT_EQ(named.exitCode, 0) << named.err;
  EXPECT_TRUE(std::filesystem::exists(scratch.Path("last.png")));
  EXPECT_FALSE(std::filesystem::exists(scratch.Path("first.png")));
}

}  // namespace
}  // namespace apptest
