#include "RunCommand.h"

#include <iostream>
#include <string>

#include "CommandLine.h"
#include "ScriptRunner.h"
#include "SessionScript.h"
#include "ViewHost.h"
#include "ViewKeys.h"
#include "ViewSetup.h"
#include "platform/Window.h"

namespace nimboview {

const char* RunCommand::Help() {
  static const std::string help =
      std::string(
          "usage: nimbo-view run SCRIPT [--size WxH] [--plugin PATH]\n"
          "Replays a session script on an offscreen window (default 400x300), starting\n"
          "with an empty scene. Picks and rubber-band selections go to stdout as JSON lines.\n"
          "A bad line or a failed expectation stops it with SCRIPT:LINE: and exit code 1.\n") +
      SessionScript::Reference() + ViewKeys::Help();
  return help.c_str();
}

int RunCommand::Run(const std::vector<std::string>& arguments) {
  const CommandLine line(arguments, {"--size", "--plugin"}, {});
  if (line.Positionals().size() != 1) throw UsageError("run: expected one SCRIPT");
  const ViewSetup setup = ViewSetup::From(line, 400, 300);
  // The whole script is checked before the plug-in is loaded.
  const SessionScript script = SessionScript::Read(line.Positionals()[0]);
  ViewHost host(setup.pluginPath, platform::Window::CreateOffscreen(setup.width, setup.height));
  ScriptRunner runner(host, std::cout);
  runner.AimFirstLoad(setup.azimuth, setup.elevation);
  runner.Run(script);
  return 0;
}

}  // namespace nimboview
