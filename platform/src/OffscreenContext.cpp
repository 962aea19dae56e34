#include "platform/OffscreenContext.h"

#include <stdexcept>

namespace platform {

OffscreenContext::OffscreenContext(int width, int height)
    : window_(platform::Window::CreateOffscreen(width, height)) {
  dc_ = GetDC(window_.Handle());
  PIXELFORMATDESCRIPTOR request{};
  request.nSize = sizeof request;
  request.nVersion = 1;
  request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  request.iPixelType = PFD_TYPE_RGBA;
  request.cColorBits = 24;
  request.cDepthBits = 24;
  const int format = ChoosePixelFormat(dc_, &request);
  if (format == 0 || !SetPixelFormat(dc_, format, &request)) {
    throw std::runtime_error("OffscreenContext: no pixel format");
  }
  context_ = wglCreateContext(dc_);
  if (context_ == nullptr || !wglMakeCurrent(dc_, context_)) {
    if (context_ != nullptr) {
      wglDeleteContext(context_);
    }
    throw std::runtime_error("OffscreenContext: cannot make a context current");
  }
}

OffscreenContext::~OffscreenContext() {
  // The context goes before the window it draws to.
  wglMakeCurrent(nullptr, nullptr);
  wglDeleteContext(context_);
}

void OffscreenContext::MakeCurrent() const { wglMakeCurrent(dc_, context_); }

}  // namespace platform
