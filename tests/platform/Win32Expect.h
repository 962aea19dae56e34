// Expectations on Win32 failures and the pixel format requests of the
// platform tests.
#ifndef NIMBO_TESTS_PLATFORM_WIN32EXPECT_H
#define NIMBO_TESTS_PLATFORM_WIN32EXPECT_H

#include <windows.h>
#include <gtest/gtest.h>

#include "WhichWin32.h"

// Expects the call to fail (return zero, false or null) with the Win32 error code.
#define EXPECT_FAILS_WITH(call, code)                    \
  do {                                                   \
    SetLastError(ERROR_SUCCESS);                         \
    EXPECT_FALSE(call);                                  \
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(code)); \
  } while (false)

// Expects the call to fail; where Win32 documents no error code, the EGL
// layer's own is checked over EGL only.
#define EXPECT_FAILS_WITH_EGL_CODE(call, code)             \
  do {                                                     \
    SetLastError(ERROR_SUCCESS);                           \
    EXPECT_FALSE(call);                                    \
    if (NimboTest::kEglLayer) {                            \
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(code)); \
    }                                                      \
  } while (false)

inline PIXELFORMATDESCRIPTOR RgbaRequest(BYTE colourBits, BYTE depthBits) {
  PIXELFORMATDESCRIPTOR pfd{};
  pfd.nSize = sizeof pfd;
  pfd.nVersion = 1;
  pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = colourBits;
  pfd.cDepthBits = depthBits;
  return pfd;
}

// Chooses and sets a 24-bit colour, 24-bit depth format; returns its index.
inline int SetStandardFormat(HDC dc) {
  const PIXELFORMATDESCRIPTOR request = RgbaRequest(24, 24);
  const int format = ChoosePixelFormat(dc, &request);
  EXPECT_NE(format, 0);
  EXPECT_TRUE(SetPixelFormat(dc, format, &request));
  return format;
}

#endif
