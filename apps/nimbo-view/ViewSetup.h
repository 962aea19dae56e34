// The options that set up a view, shared by the render and window commands:
// window size, camera (direction, preset, up axis, projection), back faces,
// background colours and where the plug-in is.
#ifndef NIMBO_APPS_NIMBO_VIEW_VIEWSETUP_H
#define NIMBO_APPS_NIMBO_VIEW_VIEWSETUP_H

#include <array>
#include <optional>
#include <set>
#include <string>

#include "CommandLine.h"
#include "KivVizCore/RGBAColor.h"

namespace nimboview {

class ViewHost;

struct ViewSetup {
  // The option names this struct reads.
  static const std::set<std::string>& ValuedOptions();
  static const std::set<std::string>& Flags();
  // The help text lines for them.
  static const char* Help();

  // The azimuth and elevation of a named view (front, top, side, iso).
  static std::optional<std::array<float, 2>> Preset(const std::string& name);
  // The unit vector of an axis name: x, y, z, -x, -y or -z.
  static std::optional<std::array<float, 3>> Axis(const std::string& name);

  // Throws UsageError for bad values.
  static ViewSetup From(const CommandLine& line, int defaultWidth, int defaultHeight);

  // Puts the background colours into the host's settings, which the view
  // reads at each frame.
  void ApplyBackground() const;
  // Sets the up axis, the projection and the back faces, and aims and fits
  // the camera at the scene in the view.
  void ApplyCamera(ViewHost& host) const;

  int width = 800;
  int height = 600;
  float azimuth = 30.0f;
  float elevation = 25.0f;
  std::optional<float> distance;
  bool orthographic = false;
  bool backFaces = false;
  std::array<float, 3> up{0.0f, 1.0f, 0.0f};
  std::optional<RGBAColor> backgroundBottom;
  std::optional<RGBAColor> backgroundTop;
  std::string pluginPath;
};

}  // namespace nimboview

#endif
