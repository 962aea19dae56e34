// The object behind an HWND: an EGL surface of the window's size once a
// pixel format is set, its own device context, and the image it presented
// last.
#ifndef NIMBO_PLATFORM_SRC_WINDOWOBJECT_H
#define NIMBO_PLATFORM_SRC_WINDOWOBJECT_H

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "DeviceContext.h"
#include "EglDisplay.h"

struct HWND__ {
  enum class Kind { Offscreen, Native };

  HWND__(Kind kind, std::shared_ptr<platform::detail::EglDisplay> display, int width, int height,
         void* x11Display = nullptr, unsigned long x11Window = 0, bool ownsX11Window = false);
  ~HWND__();
  HWND__(const HWND__&) = delete;
  HWND__& operator=(const HWND__&) = delete;

  // The configurations this window can take as pixel formats (1-based).
  const std::vector<EGLConfig>& Formats() const { return formats; }
  bool HasFormat() const { return pixelFormat != 0; }
  // Creates the surface for pixel format `index`; false if EGL refuses.
  bool ApplyFormat(int index);
  void Resize(int newWidth, int newHeight);
  // Copies the current colour buffer into the presented image: one read-back.
  void CapturePresentedImage();

  const Kind kind;
  const std::shared_ptr<platform::detail::EglDisplay> display;
  int width;
  int height;
  HDC__ dc{this};

  std::vector<EGLConfig> formats;
  int pixelFormat = 0;
  EGLSurface surface = EGL_NO_SURFACE;

  void* const x11Display;
  const unsigned long x11Window;
  const bool ownsX11Window;

  bool presentEnabled = true;
  int presentedWidth = 0;
  int presentedHeight = 0;
  std::vector<std::uint8_t> presentedBottomUp;
  std::uint64_t presentCount = 0;

 private:
  EGLSurface CreateSurface(EGLConfig config) const;
};

#endif
