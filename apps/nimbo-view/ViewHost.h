// The host side of one view: loads the plug-in as the host does (dlopen, the
// exports, the type check, doLoad, createInstance), gives the view a window,
// switches its aperture and rubber band on, adds the markup factory, and
// renders. Everything is reached through the view's interfaces.
//
// Destruction order matters: the view is uninitialised and deleted first
// (it releases its context on the window), then the window goes, and the
// plug-in library is closed last, because the view's code lives in it.
#ifndef NIMBO_APPS_NIMBO_VIEW_VIEWHOST_H
#define NIMBO_APPS_NIMBO_VIEW_VIEWHOST_H

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "NimboCore/AView3D.h"
#include "NimboCore/PluginLoader.h"
#include "platform/Image.h"
#include "platform/Window.h"

class AViewObject;

namespace nimboview {

class ViewHost {
 public:
  // Takes the window; throws std::runtime_error when the plug-in cannot be
  // loaded or gives no view.
  ViewHost(const std::string& pluginPath, platform::Window window);
  ~ViewHost();
  ViewHost(const ViewHost&) = delete;
  ViewHost& operator=(const ViewHost&) = delete;

  // Where the plug-in is looked for: NIMBO_VIEW_PLUGIN when set, otherwise
  // where the build and the install put it relative to this executable
  // (../lib/nimbo-view3d/View3dOpenGlSG.so).
  static std::string DefaultPluginPath();

  AView3D& View() { return *view; }
  // The view's scene-building interface (paths, picks, marks).
  AView3DAdapter& Scene() { return *view; }
  platform::Window& Window() { return *window; }
  // Null when the plug-in made no such overlay.
  AViewObject* Overlay(const std::string& name);

  void Resize(int width, int height);
  // Sets the scene bounds from the scene and fits the camera to them.
  void Fit();
  // Puts the eye on the sphere around the target seen from the azimuth
  // (degrees about the up axis, from the front towards the right) and
  // elevation (degrees above the plane across the up axis), then fits the
  // scene; a distance moves the eye to it.
  void Aim(float azimuthDegrees, float elevationDegrees, std::optional<float> distance);
  // The world axis that Aim keeps upwards: a unit vector along x, y or z,
  // either way. With +Y up the front is +Z; with Z up, -Y (+Y for -Z); with
  // X up, +Z.
  void SetUpAxis(const std::array<float, 3>& axis) { up = axis; }
  const std::array<float, 3>& UpAxis() const { return up; }
  void Render();
  // Renders once when no frame was drawn yet: picking needs the context.
  void EnsureRendered();
  // What the window showed after the last Render.
  platform::Image Snapshot() const { return window->PresentedImage(); }

 private:
  PluginLoader loader;
  std::optional<platform::Window> window;
  AView3D* view = nullptr;
  bool rendered = false;
  std::array<float, 3> up{0.0f, 1.0f, 0.0f};
};

}  // namespace nimboview

#endif
