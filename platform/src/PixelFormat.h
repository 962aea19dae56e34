// Pixel formats as Win32 sees them: an EGL configuration described as a
// PIXELFORMATDESCRIPTOR, and the choice of the closest one to a request.
#ifndef NIMBO_PLATFORM_SRC_PIXELFORMAT_H
#define NIMBO_PLATFORM_SRC_PIXELFORMAT_H

#include <windows.h>
#include <EGL/egl.h>

#include <vector>

namespace platform::detail {

class PixelFormat {
 public:
  static PIXELFORMATDESCRIPTOR Describe(EGLDisplay display, EGLConfig config);
  // 1-based index of the closest format, 0 when none can serve the request
  // (another pixel type, or a required capability that no format has).
  static int ChooseClosest(const std::vector<PIXELFORMATDESCRIPTOR>& formats, const PIXELFORMATDESCRIPTOR& request);
};

}  // namespace platform::detail

#endif
