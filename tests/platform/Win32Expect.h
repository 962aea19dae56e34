// Expectations on Win32 failures and the pixel format requests of the
// platform tests.
#ifndef NIMBO_TESTS_PLATFORM_WIN32EXPECT_H
#define NIMBO_TESTS_PLATFORM_WIN32EXPECT_H

#include <windows.h>
#include <gtest/gtest.h>

#include "WhichWin32.h"

// Expects the call to fail (return zero, false or null), and the Win32 error
// code to be `code` where `checkCode` holds.
#define EXPECT_FAILS_WITH_IF(call, code, checkCode)        \
  do {                                                     \
    SetLastError(ERROR_SUCCESS);                           \
    EXPECT_FALSE(call);                                    \
    if (checkCode) {                                       \
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(code)); \
    }                                                      \
  } while (false)
#define EXPECT_FAILS_WITH(call, code) EXPECT_FAILS_WITH_IF(call, code, true)
// Where Win32 documents no error code, the EGL layer's own is checked over EGL only.
#define EXPECT_FAILS_WITH_EGL_CODE(call, code) EXPECT_FAILS_WITH_IF(call, code, NimboTest::kEglLayer)

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

#endif
