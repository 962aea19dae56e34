#include "ViewSetup.h"

#include "NimboCore/ACamera.h"
#include "NimboCore/Settings.h"
#include "ViewHost.h"

namespace nimboview {

const std::set<std::string>& ViewSetup::ValuedOptions() {
  static const std::set<std::string> names = {"--size",       "--azimuth",           "--elevation",
                                              "--distance",   "--background",        "--background-bottom",
                                              "--background-top", "--plugin"};
  return names;
}

const std::set<std::string>& ViewSetup::Flags() {
  static const std::set<std::string> names = {"--ortho"};
  return names;
}

const char* ViewSetup::Help() {
  return "  --size WxH                 window size in pixels\n"
         "  --azimuth DEG              camera azimuth about +Y, from +Z towards +X (default 30)\n"
         "  --elevation DEG            camera elevation above the XZ plane (default 25)\n"
         "  --distance D               eye distance from the scene centre (default: fitted)\n"
         "  --ortho                    orthographic projection\n"
         "  --background COLOUR        both background colours (#rrggbb or r,g,b)\n"
         "  --background-bottom COLOUR bottom of the background gradient\n"
         "  --background-top COLOUR    top of the background gradient\n"
         "  --plugin PATH              the view plug-in (default: $NIMBO_VIEW_PLUGIN, else\n"
         "                             " NIMBO_VIEW_PLUGIN_FROM_BIN " from the executable's folder)\n";
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
  host.View().GetCamera()->SetOrthographic(orthographic);
  host.Aim(azimuth, elevation, distance);
}

}  // namespace nimboview
