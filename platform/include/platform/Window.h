// A window the host owns and hands to the 3D view as an HWND. Over EGL either
// an offscreen window (an EGL pbuffer on Mesa's surfaceless platform) or a
// native X11 window (an EGL window surface); on Windows a borderless window
// at the screen's top left corner, shown, since OpenGL owns only the visible
// pixels of a window. The host creates, resizes and destroys it here; the
// view reaches it only through the Win32 functions.
#ifndef NIMBO_PLATFORM_INCLUDE_PLATFORM_WINDOW_H
#define NIMBO_PLATFORM_INCLUDE_PLATFORM_WINDOW_H

#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/Image.h"

namespace platform {

class Window {
 public:
  // Throws std::runtime_error when the display or the window cannot be made.
  static Window CreateOffscreen(int width, int height);
#if !defined(_WIN32)
  // Opens a window on the X display named by DISPLAY.
  static Window CreateNative(int width, int height, const std::string& title);
  // Wraps an X11 window that someone else created (for example a toolkit
  // window without a client API); the X window itself is not destroyed here.
  static Window WrapNative(void* x11Display, unsigned long x11Window);
#endif

  Window(Window&& other) noexcept;
  Window& operator=(Window&& other) noexcept;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  ~Window();

  HWND Handle() const { return handle; }
  int Width() const;
  int Height() const;

  // The window's surface follows the new size; a context current on the
  // window stays current and usable.
  void Resize(int width, int height);

  // What the window shows after the last SwapBuffers, RGBA, top row first.
  // Over EGL it is empty before the first presented frame; on Windows it is
  // read from the screen.
  Image PresentedImage() const;

#if !defined(_WIN32)
  // With presenting on (the default), SwapBuffers copies the frame into the
  // presented image with one read-back of the colour buffer. Benchmarks turn
  // it off to measure drawing alone.
  void SetPresentEnabled(bool enabled);
  bool IsPresentEnabled() const;
  // How many frames have been presented so far.
  std::uint64_t PresentCount() const;
#endif

 private:
  explicit Window(HWND handle) : handle(handle) {}
  HWND handle = nullptr;
};

}  // namespace platform

#endif
