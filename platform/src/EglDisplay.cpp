#include "EglDisplay.h"

#include <EGL/eglext.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace platform::detail {
namespace {

std::string EglErrorText(const char* what) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%04x", static_cast<unsigned>(eglGetError()));
  return std::string(what) + " failed (EGL error " + code + ")";
}

PFNEGLGETPLATFORMDISPLAYEXTPROC GetPlatformDisplayFunction() {
  auto function = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (function == nullptr) throw std::runtime_error("EGL lacks eglGetPlatformDisplayEXT");
  return function;
}

// The first EGL device, or the one NIMBO_EGL_DEVICE names, for running
// offscreen on a GPU driver that has no surfaceless platform.
EGLDisplay OpenDeviceDisplay() {
  auto queryDevices = reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
  if (queryDevices == nullptr) throw std::runtime_error("EGL lacks eglQueryDevicesEXT");
  EGLDeviceEXT devices[16];
  EGLint count = 0;
  if (!queryDevices(16, devices, &count) || count == 0) throw std::runtime_error("no EGL device found");
  int index = 0;
  if (const char* chosen = std::getenv("NIMBO_EGL_DEVICE")) index = std::atoi(chosen);
  if (index < 0 || index >= count) throw std::runtime_error("NIMBO_EGL_DEVICE is out of range");
  return GetPlatformDisplayFunction()(EGL_PLATFORM_DEVICE_EXT, devices[index], nullptr);
}

EGLDisplay OpenOffscreenDisplay() {
  const char* requested = std::getenv("NIMBO_EGL_PLATFORM");
  const std::string_view platform = requested ? requested : "surfaceless";
  if (platform == "surfaceless")
    return GetPlatformDisplayFunction()(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  if (platform == "device") return OpenDeviceDisplay();
  throw std::runtime_error("NIMBO_EGL_PLATFORM must be 'surfaceless' or 'device', not '" + std::string(platform) + "'");
}

EGLint Attribute(EGLDisplay display, EGLConfig config, EGLint name) {
  EGLint value = 0;
  eglGetConfigAttrib(display, config, name, &value);
  return value;
}

// Hands out the displays and keeps them for the life of the process. They are
// never terminated: at exit other static destructors may still release GL
// objects, terminating would unload the driver under them, and EGL itself
// caches one display per native display anyway. The process end reclaims it.
struct DisplayRegistry {
  std::mutex mutex;
  std::shared_ptr<EglDisplay> offscreen;
  std::map<void*, std::shared_ptr<EglDisplay>> x11;

  static DisplayRegistry& Instance() {
    static DisplayRegistry* registry = new DisplayRegistry;
    return *registry;
  }
};

}  // namespace

EglDisplay::EglDisplay(EGLDisplay handle, SurfaceKind surfaceKind) : display(handle), kind(surfaceKind) {
  if (display == EGL_NO_DISPLAY) throw std::runtime_error(EglErrorText("eglGetPlatformDisplay"));
  if (!eglInitialize(display, nullptr, nullptr)) throw std::runtime_error(EglErrorText("eglInitialize"));
  if (!eglBindAPI(EGL_OPENGL_API)) {
    eglTerminate(display);
    throw std::runtime_error(EglErrorText("eglBindAPI(EGL_OPENGL_API)"));
  }

  EGLint total = 0;
  eglGetConfigs(display, nullptr, 0, &total);
  std::vector<EGLConfig> all(static_cast<std::size_t>(total));
  eglGetConfigs(display, all.data(), total, &total);
  all.resize(static_cast<std::size_t>(total));

  const EGLint surfaceBit = kind == SurfaceKind::Pbuffer ? EGL_PBUFFER_BIT : EGL_WINDOW_BIT;
  for (EGLConfig config : all) {
    if ((Attribute(display, config, EGL_RENDERABLE_TYPE) & EGL_OPENGL_BIT) == 0) continue;
    if ((Attribute(display, config, EGL_SURFACE_TYPE) & surfaceBit) == 0) continue;
    if (Attribute(display, config, EGL_COLOR_BUFFER_TYPE) != EGL_RGB_BUFFER) continue;
    // Win32's own list of formats holds single-sampled ones of at most 8
    // bits a channel; multisampled, 10-bit and float formats are reached
    // only through extensions, and a descriptor could not tell them apart.
    if (Attribute(display, config, EGL_SAMPLE_BUFFERS) != 0) continue;
    if (Attribute(display, config, EGL_RED_SIZE) > 8 || Attribute(display, config, EGL_GREEN_SIZE) > 8 ||
        Attribute(display, config, EGL_BLUE_SIZE) > 8) {
      continue;
    }
    configs.push_back(config);
  }
  if (configs.empty()) {
    eglTerminate(display);
    throw std::runtime_error("EGL offers no OpenGL configuration for this kind of window");
  }
}

std::shared_ptr<EglDisplay> EglDisplay::Offscreen() {
  auto& registry = DisplayRegistry::Instance();
  std::lock_guard lock(registry.mutex);
  if (!registry.offscreen)
    registry.offscreen = std::make_shared<EglDisplay>(OpenOffscreenDisplay(), SurfaceKind::Pbuffer);
  return registry.offscreen;
}

std::shared_ptr<EglDisplay> EglDisplay::ForX11(void* x11Display) {
  auto& registry = DisplayRegistry::Instance();
  std::lock_guard lock(registry.mutex);
  auto& slot = registry.x11[x11Display];
  if (!slot)
    slot = std::make_shared<EglDisplay>(GetPlatformDisplayFunction()(EGL_PLATFORM_X11_KHR, x11Display, nullptr),
                                        SurfaceKind::Window);
  return slot;
}

}  // namespace platform::detail
