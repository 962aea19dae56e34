// A GDI font made for one job and selected into a device context while the
// object lives; the previous font goes back and the font is deleted at the
// end, so that an early return cannot leak it or leave it selected.
#ifndef NIMBO_HOST_KIVVIZOPENGL_GDIFONTSELECTION_H
#define NIMBO_HOST_KIVVIZOPENGL_GDIFONTSELECTION_H

#include <windows.h>

namespace KivVizOpenGL {

class GdiFontSelection {
 public:
  // height in pixels (negative: character height, as CreateFontW takes it).
  GdiFontSelection(HDC dc, int height, const wchar_t* face);
  ~GdiFontSelection();
  GdiFontSelection(const GdiFontSelection&) = delete;
  GdiFontSelection& operator=(const GdiFontSelection&) = delete;

  // False when the font could not be made or selected.
  bool IsSelected() const { return previous != nullptr; }

 private:
  HDC dc;
  HFONT font = nullptr;
  HGDIOBJ previous = nullptr;
};

}  // namespace KivVizOpenGL

#endif
