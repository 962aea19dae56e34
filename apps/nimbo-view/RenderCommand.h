// `nimbo-view render [MODEL...] -o FILE.png`: builds the scene on an
// offscreen window, fits the camera, replays pointer actions, prints the
// requested picks as JSON lines and writes the picture.
#ifndef NIMBO_APPS_NIMBO_VIEW_RENDERCOMMAND_H
#define NIMBO_APPS_NIMBO_VIEW_RENDERCOMMAND_H

#include <string>
#include <vector>

namespace nimboview {

class RenderCommand {
 public:
  static const char* Help();
  // The process exit code. Throws UsageError for bad arguments and
  // std::exception for failures on the way.
  static int Run(const std::vector<std::string>& arguments);
};

}  // namespace nimboview

#endif
