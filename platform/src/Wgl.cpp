// WGL: rendering contexts over EGL, and bitmap font display lists.
#include <windows.h>

#include "CurrentBinding.h"
#include "DeviceContext.h"
#include "FontBitmaps.h"
#include "Handles.h"
#include "RenderingContext.h"
#include "WindowObject.h"

using platform::detail::CurrentBinding;
using platform::detail::FontBitmaps;
using platform::detail::Handles;

extern "C" {

HGLRC WINAPI wglCreateContext(HDC hdc) {
  HDC__* dc = HDC__::FromHandle(hdc);
  if (dc == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  HWND__* window = dc->window;
  if (window == nullptr || !window->HasFormat()) {
    SetLastError(ERROR_INVALID_PIXEL_FORMAT);
    return nullptr;
  }
  // The API choice is per thread in EGL; compatibility profile is EGL's
  // default for desktop OpenGL contexts without attributes.
  eglBindAPI(EGL_OPENGL_API);
  EGLConfig config = window->Formats()[static_cast<std::size_t>(window->pixelFormat - 1)];
  EGLContext context = eglCreateContext(window->display->Handle(), config, EGL_NO_CONTEXT, nullptr);
  if (context == EGL_NO_CONTEXT) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  auto* rc = new HGLRC__(window->display, config, context);
  Handles::Contexts().Add(rc);
  return rc;
}

BOOL WINAPI wglDeleteContext(HGLRC hglrc) {
  if (!Handles::Contexts().Contains(hglrc)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  auto& binding = CurrentBinding::OfThisThread();
  if (binding.context == hglrc) {
    binding.Release();
  } else if (hglrc->ownerThread != 0) {
    SetLastError(ERROR_BUSY);  // current on another thread
    return FALSE;
  }
  Handles::Contexts().Remove(hglrc);
  delete hglrc;
  return TRUE;
}

BOOL WINAPI wglMakeCurrent(HDC hdc, HGLRC hglrc) {
  auto& binding = CurrentBinding::OfThisThread();
  if (hglrc == nullptr) {
    binding.Release();
    return TRUE;
  }
  // On any failure the thread is left with no current context.
  if (!Handles::Contexts().Contains(hglrc)) {
    binding.Release();
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (hglrc->ownerThread != 0 && binding.context != hglrc) {
    binding.Release();
    SetLastError(ERROR_BUSY);
    return FALSE;
  }
  HDC__* dc = HDC__::FromHandle(hdc);
  if (dc == nullptr) {
    binding.Release();
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  HWND__* window = dc->window;
  if (window == nullptr || !window->HasFormat() || window->display != hglrc->display ||
      window->Formats()[static_cast<std::size_t>(window->pixelFormat - 1)] != hglrc->config) {
    binding.Release();
    SetLastError(ERROR_INVALID_PIXEL_FORMAT);
    return FALSE;
  }
  eglBindAPI(EGL_OPENGL_API);
  if (!binding.Bind(dc, hglrc)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

HGLRC WINAPI wglGetCurrentContext(void) { return CurrentBinding::OfThisThread().context; }

PROC WINAPI wglGetProcAddress(LPCSTR lpszProc) {
  if (lpszProc == nullptr || CurrentBinding::OfThisThread().context == nullptr) return nullptr;
  return reinterpret_cast<PROC>(eglGetProcAddress(lpszProc));
}

HDC WINAPI wglGetCurrentDC(void) { return CurrentBinding::OfThisThread().dc; }

BOOL WINAPI wglUseFontBitmapsW(HDC hdc, DWORD first, DWORD count, DWORD listBase) {
  HDC__* dc = HDC__::FromHandle(hdc);
  if (dc == nullptr || CurrentBinding::OfThisThread().context == nullptr) {
    // Display lists need a current rendering context to live in.
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!FontBitmaps::Build(*dc->font, first, count, listBase)) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  return TRUE;
}
}
