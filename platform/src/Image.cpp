#include "platform/Image.h"

#include <stdexcept>

namespace platform {

std::array<std::uint8_t, 4> Image::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height)
    throw std::out_of_range("platform::Image::At: pixel outside the image");
  const std::size_t offset =
      (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 4;
  return {rgba[offset], rgba[offset + 1], rgba[offset + 2], rgba[offset + 3]};
}

}  // namespace platform
