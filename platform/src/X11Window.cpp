#include "X11Window.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <mutex>
#include <stdexcept>

namespace platform::detail::x11 {
namespace {
::Display* AsDisplay(void* display) { return static_cast<::Display*>(display); }
}  // namespace

void* DefaultConnection() {
  static std::mutex mutex;
  static ::Display* connection = nullptr;
  std::lock_guard lock(mutex);
  if (connection == nullptr) connection = XOpenDisplay(nullptr);
  if (connection == nullptr) throw std::runtime_error("cannot open the X display (is DISPLAY set?)");
  return connection;
}

unsigned long CreateWindow(void* display, int width, int height, const std::string& title) {
  ::Display* d = AsDisplay(display);
  const int screen = DefaultScreen(d);
  ::Window window = XCreateSimpleWindow(d, RootWindow(d, screen), 0, 0, static_cast<unsigned>(width),
                                        static_cast<unsigned>(height), 0, BlackPixel(d, screen), BlackPixel(d, screen));
  XStoreName(d, window, title.c_str());
  XMapWindow(d, window);
  XSync(d, False);
  return window;
}

void DestroyWindow(void* display, unsigned long window) {
  XDestroyWindow(AsDisplay(display), window);
  XSync(AsDisplay(display), False);
}

void ResizeWindow(void* display, unsigned long window, int width, int height) {
  XResizeWindow(AsDisplay(display), window, static_cast<unsigned>(width), static_cast<unsigned>(height));
  XSync(AsDisplay(display), False);
}

void GetSize(void* display, unsigned long window, int& width, int& height) {
  XWindowAttributes attributes{};
  XGetWindowAttributes(AsDisplay(display), window, &attributes);
  width = attributes.width;
  height = attributes.height;
}

unsigned long VisualId(void* display, unsigned long window) {
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(AsDisplay(display), window, &attributes)) return 0;
  return XVisualIDFromVisual(attributes.visual);
}

}  // namespace platform::detail::x11
