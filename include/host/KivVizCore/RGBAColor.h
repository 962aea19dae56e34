// A colour as four bytes, red, green, blue and alpha, 0 to 255 each.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZCORE_RGBACOLOR_H
#define NIMBO_INCLUDE_HOST_KIVVIZCORE_RGBACOLOR_H

#include <cstdint>
#include <iosfwd>

#include "KivVizCore/Export.h"

struct KIVVIZCORE_EXPORT RGBAColor {
  // Opaque black.
  constexpr RGBAColor() = default;
  constexpr RGBAColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha = 255)
      : red(red), green(green), blue(blue), alpha(alpha) {}

  bool IsOpaque() const { return alpha == 255; }

  bool operator==(const RGBAColor&) const = default;

  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  std::uint8_t alpha = 255;
};

KIVVIZCORE_EXPORT std::ostream& operator<<(std::ostream& out, const RGBAColor& color);

#endif
