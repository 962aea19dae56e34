// A device context: the window it draws to (none for the screen) and the
// font selected into it.
#ifndef NIMBO_PLATFORM_SRC_DEVICECONTEXT_H
#define NIMBO_PLATFORM_SRC_DEVICECONTEXT_H

#include <windows.h>

#include "FontObject.h"

struct HDC__ {
  explicit HDC__(HWND__* owner);
  ~HDC__();
  HDC__(const HDC__&) = delete;
  HDC__& operator=(const HDC__&) = delete;

  // Puts a font in and returns the previous one.
  HFONT__* Select(HFONT__* newFont);

  HWND__* window;
  HFONT__* font;

  // The device context of the whole screen: fonts can be selected into it but
  // it has no pixel format of its own.
  static HDC__& Screen();
  // Resolves a handle to a live device context, or null.
  static HDC__* FromHandle(HDC handle);
};

#endif
