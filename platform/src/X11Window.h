// The few Xlib calls native windows need, kept out of every other file so
// that Xlib's macros (None, Bool, Window ...) stay here.
#ifndef NIMBO_PLATFORM_SRC_X11WINDOW_H
#define NIMBO_PLATFORM_SRC_X11WINDOW_H

#include <string>

namespace platform::detail::x11 {

// The connection to the display that DISPLAY names, opened on first use and
// kept open for the EGL display made on it. Throws std::runtime_error when
// there is no display.
void* DefaultConnection();

unsigned long CreateWindow(void* display, int width, int height, const std::string& title);
void DestroyWindow(void* display, unsigned long window);
void ResizeWindow(void* display, unsigned long window, int width, int height);
void GetSize(void* display, unsigned long window, int& width, int& height);
unsigned long VisualId(void* display, unsigned long window);

}  // namespace platform::detail::x11

#endif
