// `nimbo-view window [MODEL...]`: an interactive window on the X display.
// With --script it replays a session script on the window instead of
// waiting for input, writes --screenshot and closes.
#ifndef NIMBO_APPS_NIMBO_VIEW_WINDOWCOMMAND_H
#define NIMBO_APPS_NIMBO_VIEW_WINDOWCOMMAND_H

#include <string>
#include <vector>

namespace nimboview {

class WindowCommand {
 public:
  static const char* Help();
  static int Run(const std::vector<std::string>& arguments);
};

}  // namespace nimboview

#endif
