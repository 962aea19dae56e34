// What CreateFontW made: the logical font that wglUseFontBitmapsW renders.
#ifndef NIMBO_PLATFORM_SRC_FONTOBJECT_H
#define NIMBO_PLATFORM_SRC_FONTOBJECT_H

#include <windows.h>

#include <string>

struct HFONT__ {
  int height = 0;  // < 0: character height in pixels; > 0: cell height; 0: default
  int width = 0;
  int weight = FW_NORMAL;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  DWORD charSet = DEFAULT_CHARSET;
  std::wstring faceName;
  // The font every device context starts with; it cannot be deleted.
  bool stock = false;
  // How many device contexts have it selected; a selected font cannot be deleted.
  int selections = 0;

  // The stock font selected into new device contexts.
  static HFONT__& System();
};

#endif
