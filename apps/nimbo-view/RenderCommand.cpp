#include "RenderCommand.h"

#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "CommandLine.h"
#include "Interaction.h"
#include "PartListing.h"
#include "SceneSource.h"
#include "ViewHost.h"
#include "ViewSetup.h"
#include "platform/Window.h"

namespace nimboview {

const char* RenderCommand::Help() {
  static const std::string help =
      std::string(
          "usage: nimbo-view render [MODEL...] -o FILE.png [options]\n"
          "Renders the models (the demo scene when none is given) offscreen to a PNG and\n"
          "says on stderr what it wrote. Results go to stdout as JSON lines.\n"
          "  -o, --output FILE.png      the PNG to write (required)\n"
          "  --hover X,Y                move the pointer there: the aperture follows and the\n"
          "                             node under it is highlighted\n"
          "  --click X,Y                click there: the node under it is selected\n"
          "  --drag X0,Y0,X1,Y1         rubber-band drag, shown in the picture\n"
          "  --pick X,Y                 print the pick there as a JSON line:\n"
          "                             {\"x\":..,\"y\":..,\"path\":[..]|null,\"point\":[x,y,z]|null}\n"
          "                             point is null where the ray misses the part's geometry\n"
          "  --list-parts               print each part of the scene as a JSON line, then a\n"
          "                             summary of each model: file, totals, bounding box\n"
          "Pointer actions and picks run in the order given.\n"
          "A path is 1/MODEL/PART/CATEGORY/1, where CATEGORY is 10000 for points,\n"
          "10001 for curves (line segments) and 10002 for surfaces (triangles).\n") +
      ViewSetup::Help();
  return help.c_str();
}

int RenderCommand::Run(const std::vector<std::string>& arguments) {
  std::set<std::string> valued = ViewSetup::ValuedOptions();
  valued.insert({"-o", "--output", "--hover", "--click", "--drag", "--pick"});
  std::set<std::string> flags = ViewSetup::Flags();
  flags.insert("--list-parts");
  const CommandLine line(arguments, valued, flags);
  const std::optional<std::string> output = line.LastValue({"-o", "--output"});
  if (!output) throw UsageError("no output file (-o FILE.png)");
  CommandLine::CheckPngName(*output, "-o");
  const ViewSetup setup = ViewSetup::From(line, 800, 600);
  // The pointer actions in the order given, checked before anything loads.
  std::vector<std::pair<std::string, std::vector<int>>> actions;
  for (const auto& [option, value] : line.Options()) {
    if (option == "--hover" || option == "--click" || option == "--pick") {
      actions.emplace_back(option, CommandLine::Integers(value, 2, option));
    } else if (option == "--drag") {
      actions.emplace_back(option, CommandLine::Integers(value, 4, option));
    }
  }
  setup.ApplyBackground();

  ViewHost host(setup.pluginPath, platform::Window::CreateOffscreen(setup.width, setup.height));
  const std::vector<Model> models = SceneSource::Load(host, line.Positionals());
  if (line.Has("--list-parts")) {
    for (std::size_t i = 0; i < models.size(); ++i) {
      for (const Part& part : models[i].parts) std::cout << PartListing::Json(models[i], part) << '\n';
      const std::string file = line.Positionals().empty() ? "(demo)" : line.Positionals()[i];
      std::cout << PartListing::Summary(models[i], file) << '\n';
    }
  }
  setup.ApplyCamera(host);
  host.Render();

  Interaction interaction(host);
  for (const auto& [option, at] : actions) {
    if (option == "--hover") {
      interaction.Hover(at[0], at[1]);
    } else if (option == "--click") {
      interaction.Click(at[0], at[1]);
    } else if (option == "--drag") {
      interaction.BandPress(at[0], at[1]);
      interaction.BandMove(at[2], at[3]);
    } else {
      std::cout << interaction.Pick(at[0], at[1]).Json() << '\n';
    }
  }
  host.Render();
  const platform::Image image = host.Snapshot();
  platform::WritePng(*output, image);
  std::cerr << "nimbo-view render: wrote " << *output << " (" << image.width << "x" << image.height << ")\n";
  return 0;
}

}  // namespace nimboview
