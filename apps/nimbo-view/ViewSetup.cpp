#include "ViewSetup.h"

#include <map>

#include "KivVizCore/IView3D.h"
#include "NimboCore/ACamera.h"
#include "NimboCore/Settings.h"
#include "ViewHost.h"

namespace nimboview {

const std::set<std::string>& ViewSetup::ValuedOptions() {
  static const std::set<std::string> names = {
      "--size",           "--azimuth", "--elevation", "--distance", "--background", "--background-bottom",
      "--background-top", "--plugin",  "--view",      "--up"};
  return names;
}

const std::set<std::string>& ViewSetup::Flags() {
  static const std::set<std::string> names = {"--ortho", "--back-faces"};
  return names;
}

const char* ViewSetup::Help() {
  return "  --size WxH                 window size in pixels (default 800x600)\n"
         "  --view NAME                front, top, side (from +X) or iso\n"
         "  --azimuth DEG              camera azimuth about the up axis, from the front\n"
         "                             towards the right (default 30)\n"
         "  --elevation DEG            camera elevation above the ground plane (default 25)\n"
         "  --distance D               eye distance from the scene centre (default: fitted)\n"
         "  --up AXIS                  the axis that points up: x, y, z, -x, -y or -z\n"
         "                             (default y; with z up the front looks along +Y)\n"
         "  --ortho                    orthographic projection (default perspective)\n"
         "  --back-faces               draw back faces too, for meshes wound inside out\n"
         "                             (default: culled)\n"
         "  --background COLOUR        both background colours: #rrggbb, #rrggbbaa,\n"
         "                             r,g,b[,a] (0 to 255) or a name (black, white, grey,\n"
         "                             red, green, blue, yellow, cyan, magenta)\n"
         "  --background-bottom COLOUR bottom of the background gradient\n"
         "  --background-top COLOUR    top of the background gradient\n"
         "  --plugin PATH              the view plug-in (default: $NIMBO_VIEW_PLUGIN, else\n"
         "                             " NIMBO_VIEW_PLUGIN_FROM_BIN " from the executable's folder)\n";
}

std::optional<std::array<float, 2>> ViewSetup::Preset(const std::string& name) {
  // Iso looks down the diagonal of a cube: atan(1 / sqrt(2)) above the ground.
  static const std::map<std::string, std::array<float, 2>> presets = {
      {"front", {0.0f, 0.0f}}, {"top", {0.0f, 90.0f}}, {"side", {90.0f, 0.0f}}, {"iso", {45.0f, 35.264f}}};
  const auto found = presets.find(name);
  if (found == presets.end()) return std::nullopt;
  return found->second;
}

std::optional<std::array<float, 3>> ViewSetup::Axis(const std::string& name) {
  static const std::map<std::string, std::array<float, 3>> axes = {
      {"x", {1, 0, 0}}, {"y", {0, 1, 0}}, {"z", {0, 0, 1}}, {"-x", {-1, 0, 0}}, {"-y", {0, -1, 0}}, {"-z", {0, 0, -1}}};
  const auto found = axes.find(name);
  if (found == axes.end()) return std::nullopt;
  return found->second;
}

ViewSetup ViewSetup::From(const CommandLine& line, int defaultWidth, int defaultHeight) {
  ViewSetup setup;
  setup.width = defaultWidth;
  setup.height = defaultHeight;
  if (auto size = line.Value("--size")) {
    const auto [width, height] = CommandLine::Size(*size, "--size");
    setup.width = width;
    setup.height = height;
  }
  if (auto value = line.Value("--view")) {
    const auto angles = Preset(*value);
    if (!angles) throw UsageError("--view: '" + *value + "' is not front, top, side or iso");
    setup.azimuth = (*angles)[0];
    setup.elevation = (*angles)[1];
  }
  if (auto value = line.Value("--up")) {
    const auto axis = Axis(*value);
    if (!axis) throw UsageError("--up: '" + *value + "' is not x, y, z, -x, -y or -z");
    setup.up = *axis;
  }
  setup.backFaces = line.Has("--back-faces");
  if (auto value = line.Value("--azimuth")) setup.azimuth = CommandLine::Number(*value, "--azimuth");
  if (auto value = line.Value("--elevation")) {
    setup.elevation = CommandLine::Number(*value, "--elevation");
  }
  if (auto value = line.Value("--distance")) {
    setup.distance = CommandLine::Number(*value, "--distance");
    if (*setup.distance <= 0.0f) throw UsageError("--distance: must be positive");
  }
  setup.orthographic = line.Has("--ortho");
  if (auto value = line.Value("--background")) {
    setup.backgroundBottom = setup.backgroundTop = CommandLine::Color(*value, "--background");
  }
  if (auto value = line.Value("--background-bottom")) {
    setup.backgroundBottom = CommandLine::Color(*value, "--background-bottom");
  }
  if (auto value = line.Value("--background-top")) {
    setup.backgroundTop = CommandLine::Color(*value, "--background-top");
  }
  setup.pluginPath = line.Value("--plugin").value_or(ViewHost::DefaultPluginPath());
  return setup;
}

void ViewSetup::ApplyBackground() const {
  if (backgroundBottom) Settings::Current().SetBackgroundColor1(*backgroundBottom);
  if (backgroundTop) Settings::Current().SetBackgroundColor2(*backgroundTop);
}

void ViewSetup::ApplyCamera(ViewHost& host) const {
  host.SetUpAxis(up);
  static_cast<IView3D&>(host.View()).SetBackFacesVisible(backFaces);
  host.View().GetCamera()->SetOrthographic(orthographic);
  host.Aim(azimuth, elevation, distance);
}

}  // namespace nimboview
