// Runs the nimbo-view executable in a scratch folder named after the running
// test (kept when it fails), writes input files and keeps the output.
#ifndef NIMBO_TESTS_APP_NIMBOVIEWPROCESS_H
#define NIMBO_TESTS_APP_NIMBOVIEWPROCESS_H

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/Image.h"

namespace apptest {

// A red square from (-1, -1) to (1, 1) in the XY plane, facing +Z.
inline constexpr const char* kQuadObj =
    "mtllib quad.mtl\nv -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\nvn 0 0 1\no quad\nusemtl red\nf 1//1 2//1 3//1 4//1\n";

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
    // The process id keeps checkouts whose suites run at once apart.
    folder = std::filesystem::path(::testing::TempDir()) / ("nimbo-view-" + std::to_string(getpid()) + "-" + name);
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
  std::string WriteQuad() const {
    Write("quad.mtl", "newmtl red\nKd 1 0 0\nd 1\n");
    return Write("quad.obj", kQuadObj);
  }
  std::string Read(const std::string& name) const {
    std::ostringstream text;
    text << std::ifstream(folder / name).rdbuf();
    return text.str();
  }
  platform::Image Png(const std::string& name) const { return platform::ReadPng(Path(name)); }
  // Runs a shell script inside this folder, with NIMBO_VIEW naming the executable.
  int Shell(const std::string& script) const {
    const int status = std::system(
        ("cd " + Quote(folder.string()) + " || exit 99\nNIMBO_VIEW=" + Quote(NIMBO_VIEW_EXE) + "\n" + script).c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  // Runs nimbo-view with the arguments, inside this folder.
  Result Run(const std::vector<std::string>& arguments) const {
    std::string command = "\"$NIMBO_VIEW\"";
    for (const std::string& argument : arguments) command += " " + Quote(argument);
    const int code = Shell(command + " > stdout.txt 2> stderr.txt");
    return {code, Read("stdout.txt"), Read("stderr.txt")};
  }

 private:
  static std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
  }

  std::filesystem::path folder;
};

}  // namespace apptest

#endif
