#include "ScriptRunner.h"

#include <cmath>
#include <cstdlib>
#include <ostream>
#include <sstream>

#include "CommandLine.h"
#include "DemoScene.h"
#include "KivVizCore/AView3DAdapter.h"
#include "KivVizCore/IView3D.h"
#include "ModelImporter.h"
#include "NimboCore/ACamera.h"
#include "NimboCore/IViewOp.h"
#include "NimboCore/Settings.h"
#include "SceneBuilder.h"
#include "ViewHost.h"
#include "ViewKeys.h"

namespace nimboview {
namespace {

int Int(const std::string& word) { return CommandLine::Integer(word, "argument"); }
float Float(const std::string& word) { return CommandLine::Number(word, "argument"); }

RenderId Path(const std::string& word) { return SessionScript::NodePath(word); }

std::string Text(const std::optional<RenderId>& path) {
  if (!path) return "none";
  std::string text;
  for (std::size_t i = 0; i < path->Length(); ++i) {
    if (i > 0) text += '/';
    text += std::to_string((*path)[i]);
  }
  return text;
}

class Failure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace

RenderId ScriptRunner::ExistingNode(const std::string& word) {
  const RenderId path = Path(word);
  if (host.Scene().GetNode(path) == nullptr) throw Failure("no node at " + word);
  return path;
}

void ScriptRunner::FitLoaded() {
  if (firstAim) {
    host.Aim((*firstAim)[0], (*firstAim)[1], std::nullopt);
    firstAim.reset();
  } else {
    host.Fit();
  }
}

void ScriptRunner::Run(const SessionScript& script) {
  directory = std::filesystem::path(script.Name()).parent_path();
  for (const Statement& statement : script.Statements()) {
    try {
      Execute(statement);
    } catch (const std::exception& error) {
      throw ScriptError(script.Name(), statement.line, error.what());
    }
  }
}

void ScriptRunner::Execute(const Statement& statement) {
  const std::string& verb = statement.verb;
  const std::vector<std::string>& a = statement.arguments;
  if (verb == "size") {
    const std::array<int, 2> size = SessionScript::WindowSize(a);
    host.Resize(size[0], size[1]);
    // The last frame has the old size: pixels and snapshots wait for a new one.
    framed = false;
  } else if (verb == "demo") {
    if (nextModelId != DemoScene::ModelId) throw Failure("the demo scene goes into an empty scene");
    DemoScene::AddTo(host);
    nextModelId = DemoScene::ModelId + 1;
    FitLoaded();
  } else if (verb == "load") {
    const std::filesystem::path file = directory / a[0];
    SceneBuilder(host.Scene()).Add({ModelImporter::Import(file.string(), nextModelId++)});
    FitLoaded();
  } else if (verb == "clear") {
    static_cast<IView3D&>(host.View()).ClearAll();
    interaction.Forget();
    nextModelId = 1;
  } else if (verb == "camera") {
    firstAim.reset();
    host.Aim(Float(a[0]), Float(a[1]), a.size() > 2 ? std::optional<float>(Float(a[2])) : std::nullopt);
  } else if (verb == "ortho") {
    host.View().GetCamera()->SetOrthographic(a[0] == "on");
  } else if (verb == "fit") {
    host.Fit();
  } else if (verb == "background") {
    Settings::Current().SetBackgroundColor1(CommandLine::Color(a[0], "colour"));
    Settings::Current().SetBackgroundColor2(CommandLine::Color(a.back(), "colour"));
  } else if (verb == "hover") {
    interaction.Hover(Int(a[0]), Int(a[1]));
  } else if (verb == "leave") {
    interaction.Leave(0, 0);
  } else if (verb == "click") {
    interaction.Click(Int(a[0]), Int(a[1]));
  } else if (verb == "press") {
    interaction.BandPress(Int(a[0]), Int(a[1]));
  } else if (verb == "drag") {
    interaction.BandMove(Int(a[0]), Int(a[1]));
  } else if (verb == "release") {
    for (const RenderId& path : interaction.BandRelease(Int(a[0]), Int(a[1]))) {
      out << "{\"selected\":\"" << Text(path) << "\"}\n";
    }
  } else if (verb == "orbit" || verb == "pan") {
    interaction.Drag(verb == "orbit" ? IViewOp::Orbit : IViewOp::Pan, Int(a[0]), Int(a[1]),
                     Int(a[2]), Int(a[3]));
  } else if (verb == "wheel") {
    interaction.Wheel(Int(a[0]), Int(a[1]), Int(a[2]));
  } else if (verb == "key") {
    ViewKeys::Press(Int(a[0]), Int(a[1]), Int(a[2]), host, interaction);
  } else if (verb == "render") {
    host.Render();
    framed = true;
  } else if (verb == "pick") {
    out << interaction.Pick(Int(a[0]), Int(a[1])).Json() << '\n';
  } else if (verb == "highlight") {
    host.Scene().Highlight(ExistingNode(a[0]));
  } else if (verb == "unhighlight") {
    if (a.empty()) {
      host.Scene().UnHighlight();
    } else {
      host.Scene().UnHighlight(Path(a[0]));
    }
  } else if (verb == "select") {
    interaction.Select(ExistingNode(a[0]));
  } else if (verb == "unselect") {
    if (a.empty()) {
      host.Scene().UnSelect();
    } else {
      host.Scene().UnSelect(Path(a[0]));
    }
  } else if (verb == "snapshot") {
    if (!framed) throw Failure("no frame rendered yet");
    platform::WritePng((directory / a[0]).string(), host.Snapshot());
  } else if (verb == "expect") {
    Expect(statement);
  }
}

void ScriptRunner::Expect(const Statement& statement) {
  const std::string& what = statement.arguments[0];
  const std::vector<std::string> a(statement.arguments.begin() + 1, statement.arguments.end());
  std::ostringstream failure;
  if (what == "pixel") {
    if (!framed) throw Failure("no frame rendered yet");
    const platform::Image image = host.Snapshot();
    const int x = Int(a[0]);
    const int y = Int(a[1]);
    if (x < 0 || y < 0 || x >= image.width || y >= image.height) {
      failure << "pixel " << a[0] << "," << a[1] << " lies outside the " << image.width << "x" << image.height
              << " frame";
      throw Failure(failure.str());
    }
    const RGBAColor expected = CommandLine::Color(a[2], "colour");
    const int tolerance = a.size() > 3 ? Int(a[3]) : 16;
    const auto actual = image.At(x, y);
    const int wanted[3] = {expected.red, expected.green, expected.blue};
    for (int i = 0; i < 3; ++i) {
      if (std::abs(actual[i] - wanted[i]) > tolerance) {
        failure << "expected pixel " << x << "," << y << " to be " << a[2] << " (within "
                << tolerance << "), got " << int{actual[0]} << "," << int{actual[1]} << ","
                << int{actual[2]};
        throw Failure(failure.str());
      }
    }
  } else if (what == "pick") {
    const std::optional<RenderId> actual = interaction.Pick(Int(a[0]), Int(a[1])).path;
    if (Text(actual) != (a[2] == "none" ? "none" : Text(Path(a[2])))) {
      failure << "expected pick at " << a[0] << "," << a[1] << " to be " << a[2] << ", got " << Text(actual);
      throw Failure(failure.str());
    }
  } else if (what == "point") {
    const PickResult result = interaction.Pick(Int(a[0]), Int(a[1]));
    const float tolerance = a.size() > 5 ? Float(a[5]) : 0.01f;
    bool near = result.point.has_value();
    for (int i = 0; near && i < 3; ++i) near = std::fabs((*result.point)[i] - Float(a[2 + i])) <= tolerance;
    if (!near) {
      failure << "expected point at " << a[0] << "," << a[1] << " near " << a[2] << " " << a[3]
              << " " << a[4] << ", got ";
      if (result.point) {
        failure << (*result.point)[0] << " " << (*result.point)[1] << " " << (*result.point)[2];
      } else {
        failure << "none";
      }
      throw Failure(failure.str());
    }
  } else {
    const bool wanted = what == "highlighted";
    if (host.Scene().IsHighlighted(Path(a[0])) != wanted) {
      failure << "expected " << a[0] << (wanted ? " to be" : " not to be") << " highlighted";
      throw Failure(failure.str());
    }
  }
}

}  // namespace nimboview
