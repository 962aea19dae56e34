// Renders a logical font's glyphs with FreeType into glBitmap display lists
// of the current rendering context.
#ifndef NIMBO_PLATFORM_SRC_FONTBITMAPS_H
#define NIMBO_PLATFORM_SRC_FONTBITMAPS_H

#include <windows.h>

#include <string>

#include "FontObject.h"

namespace platform::detail {

class FontBitmaps {
 public:
  // Compiles list listBase + i for character first + i, i < count. False if
  // no face can be loaded for the font.
  static bool Build(const HFONT__& font, DWORD first, DWORD count, DWORD listBase);
  // The font file fontconfig picks for the font: the named face, or its
  // default face when no face has that name.
  static std::string MatchFile(const HFONT__& font, int& faceIndex);
};

}  // namespace platform::detail

#endif
