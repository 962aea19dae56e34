// The object behind an HGLRC: a compatibility-profile EGL context made for
// one pixel format, and which thread has it current.
#ifndef NIMBO_PLATFORM_SRC_RENDERINGCONTEXT_H
#define NIMBO_PLATFORM_SRC_RENDERINGCONTEXT_H

#include <windows.h>

#include <memory>

#include "EglDisplay.h"

struct HGLRC__ {
  HGLRC__(std::shared_ptr<platform::detail::EglDisplay> display, EGLConfig config, EGLContext context)
      : display(std::move(display)), config(config), context(context) {}
  ~HGLRC__() { eglDestroyContext(display->Handle(), context); }
  HGLRC__(const HGLRC__&) = delete;
  HGLRC__& operator=(const HGLRC__&) = delete;

  const std::shared_ptr<platform::detail::EglDisplay> display;
  const EGLConfig config;
  const EGLContext context;
  // The thread that has it current, 0 when none.
  DWORD ownerThread = 0;
};

#endif
