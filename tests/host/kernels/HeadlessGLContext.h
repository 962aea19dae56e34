// An offscreen window of the platform layer with a rendering context current
// on the calling thread while the object lives, for the kernel tests and
// benchmarks that need GL state.
#ifndef NIMBO_TESTS_KERNELS_HEADLESSGLCONTEXT_H
#define NIMBO_TESTS_KERNELS_HEADLESSGLCONTEXT_H

#include <windows.h>

#include "platform/Window.h"

namespace KivVizOpenGL::detail::test {

class HeadlessGLContext {
 public:
  // Throws std::runtime_error when the window or the context cannot be made.
  HeadlessGLContext(int width, int height);
  // Makes no context current, then deletes the context, then the window.
  ~HeadlessGLContext();
  HeadlessGLContext(const HeadlessGLContext&) = delete;
  HeadlessGLContext& operator=(const HeadlessGLContext&) = delete;

 private:
  platform::Window window_;
  HDC dc_ = nullptr;
  HGLRC context_ = nullptr;
};

}  // namespace KivVizOpenGL::detail::test

#endif
