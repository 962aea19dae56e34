// An RGBA8 picture, top row first, as a person sees it on screen.
#ifndef NIMBO_PLATFORM_INCLUDE_PLATFORM_IMAGE_H
#define NIMBO_PLATFORM_INCLUDE_PLATFORM_IMAGE_H

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;

  bool Empty() const { return rgba.empty(); }
  // Pixel at column x, row y counted from the top.
  std::array<std::uint8_t, 4> At(int x, int y) const;
};

// Writes the image as an 8-bit RGBA PNG. Throws std::runtime_error naming the
// file when it cannot be written.
void WritePng(const std::string& path, const Image& image);
#if !defined(_WIN32)
// Reads an 8-bit PNG of any colour type into RGBA. Throws std::runtime_error
// naming the file when it cannot be read. Not on Windows: only the apps'
// tests, which run over EGL, read pictures back.
Image ReadPng(const std::string& path);
#endif

}  // namespace platform

#endif
