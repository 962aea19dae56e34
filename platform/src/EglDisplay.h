// An initialised EGL display and the configurations it offers as pixel
// formats. One exists per kind of window: the offscreen display (Mesa's
// surfaceless platform unless NIMBO_EGL_PLATFORM picks another) and one per
// X11 connection. Displays are made on first use and stay until the process
// ends (see DisplayRegistry for why they are never terminated).
#ifndef NIMBO_PLATFORM_SRC_EGLDISPLAY_H
#define NIMBO_PLATFORM_SRC_EGLDISPLAY_H

#include <EGL/egl.h>

#include <memory>
#include <vector>

namespace platform::detail {

class EglDisplay {
 public:
  enum class SurfaceKind { Pbuffer, Window };

  // The display for offscreen windows. Throws std::runtime_error when EGL
  // cannot be initialised.
  static std::shared_ptr<EglDisplay> Offscreen();
  // The display for windows on the given X11 connection.
  static std::shared_ptr<EglDisplay> ForX11(void* x11Display);

  EglDisplay(const EglDisplay&) = delete;
  EglDisplay& operator=(const EglDisplay&) = delete;

  EGLDisplay Handle() const { return display; }
  SurfaceKind Kind() const { return kind; }

  // Configurations usable for compatibility-profile OpenGL on this display's
  // surfaces, in EGL's own order; pixel format i is Configs()[i - 1].
  const std::vector<EGLConfig>& Configs() const { return configs; }

  EglDisplay(EGLDisplay handle, SurfaceKind surfaceKind);

 private:
  EGLDisplay display;
  SurfaceKind kind;
  std::vector<EGLConfig> configs;
};

}  // namespace platform::detail

#endif
