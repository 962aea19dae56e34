#include "CurrentBinding.h"

#include "RenderingContext.h"
#include "WindowObject.h"

namespace platform::detail {

CurrentBinding& CurrentBinding::OfThisThread() {
  thread_local CurrentBinding binding;
  return binding;
}

bool CurrentBinding::Bind(HDC newDc, HGLRC newContext) {
  Release();
  EGLSurface surface = newDc->window->surface;
  if (!eglMakeCurrent(newContext->display->Handle(), surface, surface, newContext->context)) return false;
  context = newContext;
  dc = newDc;
  context->ownerThread = GetCurrentThreadId();
  return true;
}

void CurrentBinding::Release() {
  if (context == nullptr) return;
  eglMakeCurrent(context->display->Handle(), EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  context->ownerThread = 0;
  context = nullptr;
  dc = nullptr;
}

void CurrentBinding::Rebind() {
  if (context == nullptr) return;
  EGLSurface surface = dc->window->surface;
  eglMakeCurrent(context->display->Handle(), surface, surface, context->context);
}

}  // namespace platform::detail
