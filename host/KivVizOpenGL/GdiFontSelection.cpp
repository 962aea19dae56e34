#include "GdiFontSelection.h"

namespace KivVizOpenGL {

GdiFontSelection::GdiFontSelection(HDC dc, int height, const wchar_t* face) : dc(dc) {
  font = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
  if (font != nullptr && dc != nullptr) {
    previous = SelectObject(dc, font);
  }
}

GdiFontSelection::~GdiFontSelection() {
  // A selected font cannot be deleted: put the previous one back first.
  if (previous != nullptr) {
    SelectObject(dc, previous);
  }
  if (font != nullptr) {
    DeleteObject(font);
  }
}

}  // namespace KivVizOpenGL
