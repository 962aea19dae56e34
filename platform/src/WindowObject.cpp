#include "WindowObject.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include "CurrentBinding.h"
#include "Handles.h"
#include "X11Window.h"

using platform::detail::CurrentBinding;
using platform::detail::EglDisplay;

HWND__::HWND__(Kind kind, std::shared_ptr<EglDisplay> display, int width, int height, void* x11Display,
               unsigned long x11Window, bool ownsX11Window)
    : kind(kind),
      display(std::move(display)),
      width(width),
      height(height),
      x11Display(x11Display),
      x11Window(x11Window),
      ownsX11Window(ownsX11Window) {
  const auto& all = this->display->Configs();
  if (kind == Kind::Native) {
    // An X window surface needs a configuration of the window's own visual.
    const unsigned long visual = platform::detail::x11::VisualId(x11Display, x11Window);
    for (EGLConfig config : all) {
      EGLint id = 0;
      eglGetConfigAttrib(this->display->Handle(), config, EGL_NATIVE_VISUAL_ID, &id);
      if (static_cast<unsigned long>(id) == visual) formats.push_back(config);
    }
  }
  if (formats.empty()) formats = all;
  platform::detail::Handles::Windows().Add(this);
}

HWND__::~HWND__() {
  platform::detail::Handles::Windows().Remove(this);
  auto& binding = CurrentBinding::OfThisThread();
  if (binding.dc == &dc) binding.Release();
  if (surface != EGL_NO_SURFACE) eglDestroySurface(display->Handle(), surface);
  if (ownsX11Window) platform::detail::x11::DestroyWindow(x11Display, x11Window);
}

EGLSurface HWND__::CreateSurface(EGLConfig config) const {
  if (kind == Kind::Offscreen) {
    const EGLint attributes[] = {EGL_WIDTH, width > 0 ? width : 1, EGL_HEIGHT, height > 0 ? height : 1, EGL_NONE};
    return eglCreatePbufferSurface(display->Handle(), config, attributes);
  }
  unsigned long window = x11Window;
  return eglCreatePlatformWindowSurface(display->Handle(), config, &window, nullptr);
}

bool HWND__::ApplyFormat(int index) {
  EGLSurface created = CreateSurface(formats[static_cast<std::size_t>(index - 1)]);
  if (created == EGL_NO_SURFACE) return false;
  surface = created;
  pixelFormat = index;
  return true;
}

void HWND__::Resize(int newWidth, int newHeight) {
  width = newWidth;
  height = newHeight;
  if (kind == Kind::Native) {
    // The EGL window surface follows the X window by itself.
    if (ownsX11Window) platform::detail::x11::ResizeWindow(x11Display, x11Window, width, height);
    return;
  }
  if (surface == EGL_NO_SURFACE) return;
  // A pbuffer has a fixed size: make a new one and move a current context onto
  // it before the old one goes, so the context never loses its drawable.
  EGLSurface old = surface;
  EGLSurface created = CreateSurface(formats[static_cast<std::size_t>(pixelFormat - 1)]);
  if (created == EGL_NO_SURFACE) return;
  surface = created;
  auto& binding = CurrentBinding::OfThisThread();
  if (binding.dc == &dc) binding.Rebind();
  eglDestroySurface(display->Handle(), old);
}

void HWND__::CapturePresentedImage() {
  presentedWidth = width > 0 ? width : 0;
  presentedHeight = height > 0 ? height : 0;
  presentedBottomUp.resize(static_cast<std::size_t>(presentedWidth) * static_cast<std::size_t>(presentedHeight) * 4);
  ++presentCount;
  if (presentedBottomUp.empty()) return;

  // Read the window, not a framebuffer object the caller left bound, and
  // leave the caller's pixel-pack state as it was.
  GLint readFramebuffer = 0;
  glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer);
  if (readFramebuffer != 0) glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
  GLint packBuffer = 0;
  glGetIntegerv(GL_PIXEL_PACK_BUFFER_BINDING, &packBuffer);
  if (packBuffer != 0) glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  glPixelStorei(GL_PACK_SKIP_ROWS, 0);
  glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
  glPixelStorei(GL_PACK_SWAP_BYTES, GL_FALSE);
  glPixelStorei(GL_PACK_LSB_FIRST, GL_FALSE);
  glReadPixels(0, 0, presentedWidth, presentedHeight, GL_RGBA, GL_UNSIGNED_BYTE, presentedBottomUp.data());
  glPopClientAttrib();
  if (packBuffer != 0) glBindBuffer(GL_PIXEL_PACK_BUFFER, static_cast<GLuint>(packBuffer));
  if (readFramebuffer != 0) glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(readFramebuffer));
}
