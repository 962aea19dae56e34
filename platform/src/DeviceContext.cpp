#include "DeviceContext.h"

#include "Handles.h"

using platform::detail::Handles;

HFONT__& HFONT__::System() {
  static HFONT__ font = [] {
    HFONT__ f;
    f.height = 16;
    f.weight = FW_BOLD;
    f.faceName = L"System";
    f.stock = true;
    return f;
  }();
  return font;
}

HDC__::HDC__(HWND__* owner) : window(owner), font(&HFONT__::System()) {
  ++font->selections;
  Handles::DeviceContexts().Add(this);
}

HDC__::~HDC__() {
  Handles::DeviceContexts().Remove(this);
  --font->selections;
}

HFONT__* HDC__::Select(HFONT__* newFont) {
  HFONT__* previous = font;
  --previous->selections;
  font = newFont;
  ++font->selections;
  return previous;
}

HDC__& HDC__::Screen() {
  static HDC__ screen(nullptr);
  return screen;
}

HDC__* HDC__::FromHandle(HDC handle) {
  Screen();  // registers the screen's device context on first use
  return Handles::DeviceContexts().Contains(handle) ? handle : nullptr;
}
