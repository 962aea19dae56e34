// An offscreen window with a pixel format and a rendering context, current
// on the calling thread while the object lives, for host-library tests that
// draw or read GL state back.
#ifndef NIMBO_TESTS_HOST_SUPPORT_OFFSCREENGLCONTEXT_H
#define NIMBO_TESTS_HOST_SUPPORT_OFFSCREENGLCONTEXT_H

#include <windows.h>

#include "platform/Window.h"

namespace NimboTest {

class OffscreenGLContext {
 public:
  // Throws std::runtime_error when the window or the context cannot be made.
  OffscreenGLContext(int width, int height);
  // Makes no context current, then deletes the context, then the window.
  ~OffscreenGLContext();
  OffscreenGLContext(const OffscreenGLContext&) = delete;
  OffscreenGLContext& operator=(const OffscreenGLContext&) = delete;

  platform::Window& Window() { return window; }
  HWND Handle() const { return window.Handle(); }
  HDC DeviceContext() const { return dc; }

 private:
  platform::Window window;
  HDC dc = nullptr;
  HGLRC context = nullptr;
};

}  // namespace NimboTest

#endif
