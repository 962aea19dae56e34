// Which Win32 the tests run against: the EGL layer, Windows, or Wine, which
// departs from Windows' documented behaviour in a few places (README,
// "Windows"). Where Win32 documents only that a call fails, the error code
// is the EGL layer's own choice and is checked there alone.
#ifndef NIMBO_TESTS_COMMON_WHICHWIN32_H
#define NIMBO_TESTS_COMMON_WHICHWIN32_H

#include <windows.h>
#include <GL/gl.h>

namespace NimboTest {

#if defined(_WIN32)
inline constexpr bool kEglLayer = false;
// Wine's ntdll exports wine_get_version; Windows' does not.
inline bool RunsOnWine() {
  static const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}
#else
inline constexpr bool kEglLayer = true;
inline bool RunsOnWine() { return false; }
#endif

// glGetError, passing over the GL_OUT_OF_MEMORY that Wine's
// wglUseFontBitmapsW leaves after blank glyphs (space, U+00A0) on Mesa.
// Windows documents no GL error from the call, and the EGL layer raises none.
inline GLenum GlErrorBesidesWineFonts() {
  const GLenum error = glGetError();
  return error == GL_OUT_OF_MEMORY && RunsOnWine() ? glGetError() : error;
}

}  // namespace NimboTest

#endif
