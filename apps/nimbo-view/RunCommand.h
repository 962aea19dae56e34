// `nimbo-view run SCRIPT`: replays a session script on an offscreen window.
#ifndef NIMBO_APPS_NIMBO_VIEW_RUNCOMMAND_H
#define NIMBO_APPS_NIMBO_VIEW_RUNCOMMAND_H

#include <string>
#include <vector>

namespace nimboview {

class RunCommand {
 public:
  static const char* Help();
  // 0 when every line ran and every expectation held, 1 otherwise (the
  // message names the script's line).
  static int Run(const std::vector<std::string>& arguments);
};

}  // namespace nimboview

#endif
