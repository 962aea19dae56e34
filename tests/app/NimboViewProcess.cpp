#include "NimboViewProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include <sys/wait.h>

namespace apptest {
namespace {

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream file(path);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace

Scratch::Scratch() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  folder = std::filesystem::path(::testing::TempDir()) / ("nimbo-view-" + name);
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
}

Scratch::~Scratch() {
  // Kept when the test failed, so that a person can look at the pictures.
  if (!::testing::Test::HasFailure()) std::filesystem::remove_all(folder);
}

std::string Scratch::Write(const std::string& name, const std::string& text) const {
  std::ofstream(folder / name, std::ios::binary) << text;
  return Path(name);
}

Result Scratch::Run(const std::vector<std::string>& arguments) const {
  std::string command = "cd " + Quote(folder.string()) + " && " + Quote(NIMBO_VIEW_EXE);
  for (const std::string& argument : arguments) command += " " + Quote(argument);
  command += " > stdout.txt 2> stderr.txt";
  const int status = std::system(command.c_str());
  Result result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = Slurp(folder / "stdout.txt");
  result.err = Slurp(folder / "stderr.txt");
  return result;
}

bool Near(const Rgba& actual, const Rgba& expected, int tolerance) {
  for (int i = 0; i < 3; ++i)
    if (std::abs(static_cast<int>(actual[i]) - static_cast<int>(expected[i])) > tolerance) return false;
  return true;
}

}  // namespace apptest
