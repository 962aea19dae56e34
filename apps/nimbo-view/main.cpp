// nimbo-view: the host application of the 3D view plug-in.
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "CommandLine.h"
#include "RenderCommand.h"
#include "RunCommand.h"
#include "WindowCommand.h"
#include "platform/DebugOutput.h"

namespace {

const char* kUsage =
    "usage: nimbo-view COMMAND [ARGS...]\n"
    "Loads the View3dOpenGlSG plug-in and shows scenes with it.\n"
    "  -h, --help      show this help;  --version  show the version\n"
    "commands:\n"
    "  render [MODEL...] -o FILE.png   render headless to a PNG\n"
    "  run SCRIPT                      replay a session script\n"
    "  window [MODEL...]               open an interactive window\n"
    "Without a model the built-in demo scene is shown.\n"
    "The plug-in's debug output goes to stderr when NIMBO_VIEW_DEBUG is set.\n"
    "'nimbo-view COMMAND --help' describes a command.\n";

bool WantsHelp(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (argument == "--help" || argument == "-h") return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  // Debug output is for a debugger, as on Windows: shown only when asked for.
  if (std::getenv("NIMBO_VIEW_DEBUG") == nullptr) platform::SetDebugOutputSink([](std::string_view) {});
  if (argc < 2) {
    std::cerr << "nimbo-view: no command given (render, run or window); try 'nimbo-view --help'\n";
    return 2;
  }
  if (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") {
    std::cout << kUsage;
    return 0;
  }
  if (std::string(argv[1]) == "--version") {
    std::cout << "nimbo-view " NIMBO_VIEW_VERSION "\n";
    return 0;
  }
  const std::string command = argv[1];
  const std::vector<std::string> arguments(argv + 2, argv + argc);
  struct Command {
    const char* name;
    const char* (*help)();
    int (*run)(const std::vector<std::string>&);
  };
  const Command commands[] = {
      {"render", nimboview::RenderCommand::Help, nimboview::RenderCommand::Run},
      {"run", nimboview::RunCommand::Help, nimboview::RunCommand::Run},
      {"window", nimboview::WindowCommand::Help, nimboview::WindowCommand::Run},
  };
  for (const Command& entry : commands) {
    if (command != entry.name) continue;
    if (WantsHelp(arguments)) {
      std::cout << entry.help();
      return 0;
    }
    try {
      return entry.run(arguments);
    } catch (const nimboview::UsageError& error) {
      // One line naming the problem; the whole help would bury it.
      std::cerr << "nimbo-view " << command << ": " << error.what() << "; try 'nimbo-view " << command << " --help'\n";
      return 2;
    } catch (const std::exception& error) {
      std::cerr << "nimbo-view " << command << ": " << error.what() << '\n';
      return 1;
    }
  }
  std::cerr << "nimbo-view: unknown command '" << command << "'; try 'nimbo-view --help'\n";
  return 2;
}
