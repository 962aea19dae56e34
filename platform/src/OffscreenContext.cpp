#include "platform/OffscreenContext.h"

#include <stdexcept>

namespace platform {

OffscreenContext::OffscreenContext(int width, int height) : window(platform::Window::CreateOffscreen(width, height)) {
  dc = GetDC(window.Handle());
  PIXELFORMATDESCRIPTOR request{};
  request.nSize = sizeof request;
  request.nVersion = 1;
  request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  request.iPixelType = PFD_TYPE_RGBA;
  request.cColorBits = 24;
  request.cDepthBits = 24;
  const int format = ChoosePixelFormat(dc, &request);
  if (format == 0 || !SetPixelFormat(dc, format, &request)) {
    throw std::runtime_error("OffscreenContext: no pixel format");
  }
  context = wglCreateContext(dc);
  if (context == nullptr || !wglMakeCurrent(dc, context)) {
    if (context != nullptr) {
      wglDeleteContext(context);
    }
    throw std::runtime_error("OffscreenContext: cannot make a context current");
  }
}

OffscreenContext::~OffscreenContext() {
  // The context goes before the window it draws to.
  wglMakeCurrent(nullptr, nullptr);
  wglDeleteContext(context);
}

void OffscreenContext::MakeCurrent() const { wglMakeCurrent(dc, context); }

}  // namespace platform
