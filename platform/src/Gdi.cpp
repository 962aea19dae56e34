// GDI and USER functions: device contexts, pixel formats, presenting, fonts.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <vector>

#include "CurrentBinding.h"
#include "DeviceContext.h"
#include "FontObject.h"
#include "Handles.h"
#include "PixelFormat.h"
#include "WindowObject.h"

using platform::detail::CurrentBinding;
using platform::detail::EglDisplay;
using platform::detail::Handles;
using platform::detail::PixelFormat;

namespace {

// The pixel formats a device context offers: its window's, or for the screen
// those of the offscreen display. False (last error set) when there are none.
bool DescribeFormats(HDC__& dc, std::vector<PIXELFORMATDESCRIPTOR>& out) {
  try {
    if (dc.window != nullptr) {
      for (EGLConfig config : dc.window->Formats())
        out.push_back(PixelFormat::Describe(dc.window->display->Handle(), config));
    } else {
      auto display = EglDisplay::Offscreen();
      for (EGLConfig config : display->Configs()) out.push_back(PixelFormat::Describe(display->Handle(), config));
    }
    return true;
  } catch (const std::exception&) {
    SetLastError(ERROR_INVALID_FUNCTION);
    return false;
  }
}

}  // namespace

extern "C" {

HDC WINAPI GetDC(HWND hWnd) {
  if (hWnd == nullptr) return &HDC__::Screen();
  if (!Handles::Windows().Contains(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  return &hWnd->dc;
}

int WINAPI ReleaseDC(HWND hWnd, HDC hDC) {
  // Device contexts belong to their window for its lifetime; releasing one
  // only checks that it is the window's.
  if (hWnd == nullptr) return hDC == &HDC__::Screen() ? 1 : 0;
  if (!Handles::Windows().Contains(hWnd)) return 0;
  return hDC == &hWnd->dc ? 1 : 0;
}

int WINAPI ChoosePixelFormat(HDC hdc, const PIXELFORMATDESCRIPTOR* ppfd) {
  HDC__* dc = HDC__::FromHandle(hdc);
  if (dc == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (ppfd == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::vector<PIXELFORMATDESCRIPTOR> formats;
  if (!DescribeFormats(*dc, formats)) return 0;
  const int chosen = PixelFormat::ChooseClosest(formats, *ppfd);
  if (chosen == 0) SetLastError(ERROR_INVALID_PIXEL_FORMAT);
  return chosen;
}

int WINAPI DescribePixelFormat(HDC hdc, int iPixelFormat, UINT nBytes, LPPIXELFORMATDESCRIPTOR ppfd) {
  HDC__* dc = HDC__::FromHandle(hdc);
  if (dc == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  std::vector<PIXELFORMATDESCRIPTOR> formats;
  if (!DescribeFormats(*dc, formats)) return 0;
  const int count = static_cast<int>(formats.size());
  if (ppfd == nullptr) return count;
  if (iPixelFormat < 1 || iPixelFormat > count) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::memcpy(ppfd, &formats[static_cast<std::size_t>(iPixelFormat - 1)],
              std::min<std::size_t>(nBytes, sizeof(PIXELFORMATDESCRIPTOR)));
  return count;
}

BOOL WINAPI SetPixelFormat(HDC hdc, int format, const PIXELFORMATDESCRIPTOR*) {
  HDC__* dc = HDC__::FromHandle(hdc);
  if (dc == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  HWND__* window = dc->window;
  // The screen has a fixed format, and a window takes a format only once.
  if (window == nullptr || window->HasFormat() || format < 1 || format > static_cast<int>(window->Formats().size()) ||
      !window->ApplyFormat(format)) {
    SetLastError(ERROR_INVALID_PIXEL_FORMAT);
    return FALSE;
  }
  return TRUE;
}

BOOL WINAPI SwapBuffers(HDC hdc) {
  HDC__* dc = HDC__::FromHandle(hdc);
  if (dc == nullptr || dc->window == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  HWND__* window = dc->window;
  if (!window->HasFormat()) {
    SetLastError(ERROR_INVALID_PIXEL_FORMAT);
    return FALSE;
  }
  // Only a context current on this thread can read the window's buffer; with
  // none, the window keeps showing what it showed.
  auto& binding = CurrentBinding::OfThisThread();
  if (binding.dc != dc) return TRUE;
  if (window->presentEnabled) window->CapturePresentedImage();
  if (window->kind == HWND__::Kind::Native) eglSwapBuffers(window->display->Handle(), window->surface);
  return TRUE;
}

HFONT WINAPI CreateFontW(int cHeight, int cWidth, int, int, int cWeight, DWORD bItalic, DWORD bUnderline,
                         DWORD bStrikeOut, DWORD iCharSet, DWORD, DWORD, DWORD, DWORD, LPCWSTR pszFaceName) {
  auto* font = new HFONT__;
  font->height = cHeight;
  font->width = cWidth;
  font->weight = cWeight;
  font->italic = bItalic != 0;
  font->underline = bUnderline != 0;
  font->strikeOut = bStrikeOut != 0;
  font->charSet = iCharSet;
  if (pszFaceName != nullptr) font->faceName = pszFaceName;
  Handles::Fonts().Add(font);
  return font;
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
  HDC__* dc = HDC__::FromHandle(hdc);
  auto* font = static_cast<HFONT__*>(h);
  const bool isFont = font == &HFONT__::System() || Handles::Fonts().Contains(font);
  if (dc == nullptr || !isFont) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return dc->Select(font);
}

BOOL WINAPI DeleteObject(HGDIOBJ ho) {
  auto* font = static_cast<HFONT__*>(ho);
  if (font == &HFONT__::System()) return TRUE;  // stock objects are never deleted
  if (!Handles::Fonts().Contains(font)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (font->selections > 0) return FALSE;  // still selected into a device context
  Handles::Fonts().Remove(font);
  delete font;
  return TRUE;
}
}
