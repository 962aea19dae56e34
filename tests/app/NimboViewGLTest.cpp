// nimbo-view end to end: `render` (the demo scene over the gradient, picks as
// JSON lines, OBJ parts with their colours, bad models and arguments refused
// with their messages), `run SCRIPT` (scripts that hold pass; bad lines and
// failed expectations stop at their line), and `window` on a private X server.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/Image.h"

namespace apptest {
namespace {

struct Result {
  int exitCode = -1;
  std::string out, err;
};

class Scratch {
 public:
  Scratch() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    std::replace(name.begin(), name.end(), '/', '_');
    folder = std::filesystem::path(::testing::TempDir()) / ("nimbo-view-" + name);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
  }
  ~Scratch() {
    if (!::testing::Test::HasFailure()) std::filesystem::remove_all(folder);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;

  std::string Path(const std::string& name) const { return (folder / name).string(); }
  std::string Write(const std::string& name, const std::string& text) const {
    std::ofstream(folder / name, std::ios::binary) << text;
    return Path(name);
  }
  // A red square from (-1, -1) to (1, 1) in the XY plane, facing +Z.
  std::string WriteQuad() const {
    Write("quad.mtl", "newmtl red\nKd 1 0 0\nd 1\n");
    return Write("quad.obj", "mtllib quad.mtl\nv -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\nvn 0 0 1\no quad\nusemtl red\n"
                             "f 1//1 2//1 3//1 4//1\n");
  }
  // Runs nimbo-view with the arguments, inside this folder.
  Result Run(const std::vector<std::string>& arguments) const {
    std::string command = "cd " + Quote(folder.string()) + " && " + Quote(NIMBO_VIEW_EXE);
    for (const std::string& argument : arguments) command += " " + Quote(argument);
    const int status = std::system((command + " > stdout.txt 2> stderr.txt").c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), Slurp("stdout.txt"), Slurp("stderr.txt")};
  }

 private:
  static std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
  }
  std::string Slurp(const std::string& name) const {
    std::ostringstream text;
    text << std::ifstream(folder / name).rdbuf();
    return text.str();
  }

  std::filesystem::path folder;
};

// A private X server for tests that need native windows: uses DISPLAY when
// it is set, otherwise starts Xvfb and stops it again.
class XvfbServer {
 public:
  XvfbServer() {
    if (std::getenv("DISPLAY") != nullptr) return;
    int fds[2];
    if (access("/usr/bin/Xvfb", X_OK) != 0 || pipe(fds) != 0) {
      unavailable_ = "no DISPLAY, and no /usr/bin/Xvfb or no pipe to it";
      return;
    }
    pid_ = fork();
    if (pid_ == 0) {
      close(fds[0]);
      const std::string fd = std::to_string(fds[1]);
      execl("/usr/bin/Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "640x480x24",
            "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    // Xvfb writes its display number once it accepts connections.
    std::string number;
    pollfd waitFor{fds[0], POLLIN, 0};
    char c = 0;
    while (poll(&waitFor, 1, 20000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number.empty()) unavailable_ = "Xvfb did not start";
    else setenv("DISPLAY", (":" + number).c_str(), 1);
  }
  ~XvfbServer() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    unsetenv("DISPLAY");
  }
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;
  // Empty when a display is available; otherwise why there is none.
  const std::string& Unavailable() const { return unavailable_; }

 private:
  pid_t pid_ = 0;
  std::string unavailable_;
};

class RenderGLTest : public ::testing::Test {
 protected:
  // The output of `render --list-parts`: one line per part.
  std::string Parts(const std::string& model) {
    const Result result = scratch.Run({"render", model, "-o", "out.png", "--size", "200x150", "--azimuth", "0",
                                       "--elevation", "0", "--background", "#000000", "--list-parts"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return result.out;
  }

  Scratch scratch;
};

TEST_F(RenderGLTest, DemoSceneFillsTheMiddleOverTheGradient) {
  const Result result = scratch.Run({"render", "-o", "demo.png", "--size", "240x180", "--background-top", "0,0,255",
                                     "--background-bottom", "#ff0000"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
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

TEST_F(RenderGLTest, PicksPrintPathAndPointAsJsonLinesInOrder) {
  const std::string quad = scratch.WriteQuad();
  const Result result = scratch.Run({"render", quad, "-o", "out.png", "--size", "400x300", "--azimuth", "0",
                                     "--elevation", "0", "--pick", "200,150", "--pick", "2,2"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
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
  const auto glass = image.At(140, 75);
  EXPECT_GT(glass[2], 40) << "blue shows";
  EXPECT_LT(glass[2], 200) << "but blended with the black behind it";
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
      "# a square, looked at from the front\n"
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
  const Result unreadable = scratch.Run({"run", "no-such-script.nvs"});
  EXPECT_EQ(unreadable.exitCode, 1);
  EXPECT_NE(unreadable.err.find("no-such-script.nvs"), std::string::npos) << unreadable.err;
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
}

}  // namespace
}  // namespace apptest
