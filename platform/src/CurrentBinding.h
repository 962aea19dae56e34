// The calling thread's current rendering context and device context, as
// wglGetCurrentContext and wglGetCurrentDC report them.
#ifndef NIMBO_PLATFORM_SRC_CURRENTBINDING_H
#define NIMBO_PLATFORM_SRC_CURRENTBINDING_H

#include <windows.h>

namespace platform::detail {

struct CurrentBinding {
  HGLRC context = nullptr;
  HDC dc = nullptr;

  static CurrentBinding& OfThisThread();

  // A thread that ends gives its context up, so that others may delete it
  // or make it current.
  ~CurrentBinding() { Release(); }

  // Binds the context to the device context's window surface; false if EGL
  // refuses. Releases whatever was current first.
  bool Bind(HDC newDc, HGLRC newContext);
  // Makes no context current on this thread.
  void Release();
  // Re-attaches the current context to its window's (new) surface.
  void Rebind();
};

}  // namespace platform::detail

#endif
