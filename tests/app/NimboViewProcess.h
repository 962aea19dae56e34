// Runs the nimbo-view executable in a scratch folder of its own and keeps
// its exit code and output, plus helpers to write input files and read the
// pictures it writes.
#ifndef NIMBO_TESTS_APP_NIMBO_VIEW_PROCESS_H
#define NIMBO_TESTS_APP_NIMBO_VIEW_PROCESS_H

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Image.h"

namespace apptest {

using Rgba = std::array<std::uint8_t, 4>;

struct Result {
  int exitCode = -1;
  std::string out;
  std::string err;
};

class Scratch {
 public:
  // A fresh folder named after the running test.
  Scratch();
  ~Scratch();
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;

  std::string Path(const std::string& name) const { return (folder / name).string(); }
  std::string Write(const std::string& name, const std::string& text) const;
  // Runs nimbo-view with the arguments, inside this folder.
  Result Run(const std::vector<std::string>& arguments) const;

 private:
  std::filesystem::path folder;
};

bool Near(const Rgba& actual, const Rgba& expected, int tolerance);
// Whether any pixel in the square of `radius` around (x, y) satisfies the test.
template <typename Test>
bool AnyAround(const platform::Image& image, int x, int y, int radius, Test test) {
  for (int py = std::max(0, y - radius); py <= std::min(image.height - 1, y + radius); ++py)
    for (int px = std::max(0, x - radius); px <= std::min(image.width - 1, x + radius); ++px)
      if (test(image.At(px, py))) return true;
  return false;
}

}  // namespace apptest

#endif
