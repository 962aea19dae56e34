// An offscreen window with a double-buffered RGBA pixel format (24-bit
// colour, 24-bit depth) and a rendering context that is current on the
// calling thread while the object lives: what benchmarks and tests need to
// draw or read GL state back without a view.
#ifndef NIMBO_PLATFORM_INCLUDE_PLATFORM_OFFSCREENCONTEXT_H
#define NIMBO_PLATFORM_INCLUDE_PLATFORM_OFFSCREENCONTEXT_H

#include <windows.h>

#include "platform/Window.h"

namespace platform {

class OffscreenContext {
 public:
  // Throws std::runtime_error when the window, the pixel format or the
  // context cannot be made.
  OffscreenContext(int width, int height);
  // Makes no context current, then deletes the context, then the window.
  ~OffscreenContext();
  OffscreenContext(const OffscreenContext&) = delete;
  OffscreenContext& operator=(const OffscreenContext&) = delete;

  platform::Window& Window() { return window; }
  HWND Handle() const { return window.Handle(); }
  HDC DeviceContext() const { return dc; }
  // Makes this context current again, after another one was.
  void MakeCurrent() const;

 private:
  platform::Window window;
  HDC dc = nullptr;
  HGLRC context = nullptr;
};

}  // namespace platform

#endif
