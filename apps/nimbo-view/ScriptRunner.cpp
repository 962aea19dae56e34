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
      const ScriptVerb& verb = ScriptVerb::Of(statement);
      verb.run(*this, verb.Read(statement));
    } catch (const std::exception& error) {
      throw ScriptError(script.Name(), statement.line, error.what());
    }
  }
}

const std::vector<ScriptVerb>& ScriptRunner::Verbs() {
  // Short names keep each entry's handler to a few lines.
  using R = ScriptRunner;
  using A = Arguments;
  static const std::vector<ScriptVerb> verbs = {
      {.name = "size",
       .form = "ii",
       .help = "  size W H                 resize the window (1 to 8192 each)\n",
       .check = [](const A& a) { SessionScript::WindowSize(a); },
       .run =
           [](R& r, const A& a) {
             const std::array<int, 2> size = SessionScript::WindowSize(a);
             r.host.Resize(size[0], size[1]);
             // The last frame has the old size: pixels and snapshots wait for a new one.
             r.framed = false;
           }},
      {.name = "demo",
       .form = "",
       .help = "  demo | ",
       .run =
           [](R& r, const A&) {
             if (r.nextModelId != DemoScene::ModelId) throw Failure("the demo scene goes into an empty scene");
             DemoScene::AddTo(r.host);
             r.nextModelId = DemoScene::ModelId + 1;
             r.FitLoaded();
           }},
      {.name = "load",
       .form = "s",
       .help = "load FILE         add the demo scene or a model (FILE relative to the script);\n"
               "                           the first one aims the camera as render does (azimuth 30,\n"
               "                           elevation 25) unless a camera line came before\n",
       .run =
           [](R& r, const A& a) {
             const std::filesystem::path file = r.directory / a[0];
             SceneBuilder(r.host.Scene()).Add({ModelImporter::Import(file.string(), r.nextModelId++)});
             r.FitLoaded();
           }},
      {.name = "clear",
       .form = "",
       .help = "  clear                    empty the scene\n",
       .run =
           [](R& r, const A&) {
             static_cast<IView3D&>(r.host.View()).ClearAll();
             r.interaction.Forget();
             r.nextModelId = 1;
           }},
      {.name = "camera",
       .form = "ff|f",
       .help = "  camera AZ EL [DIST]      aim and fit the camera;  ",
       .run =
           [](R& r, const A& a) {
             r.firstAim.reset();
             r.host.Aim(Float(a[0]), Float(a[1]), a.size() > 2 ? std::optional<float>(Float(a[2])) : std::nullopt);
           }},
      {.name = "fit", .form = "", .help = "fit  refits;  ", .run = [](R& r, const A&) { r.host.Fit(); }},
      {.name = "ortho",
       .form = "s",
       .help = "ortho on|off\n",
       .check =
           [](const A& a) {
             if (a[0] != "on" && a[0] != "off") throw UsageError("ortho takes on or off");
           },
       .run = [](R& r, const A& a) { r.host.View().GetCamera()->SetOrthographic(a[0] == "on"); }},
      {.name = "background",
       .form = "c|c",
       .help = "  background COLOUR [TOP]  background colours (#rrggbb, #rrggbbaa, r,g,b[,a] or a name)\n",
       .run =
           [](R&, const A& a) {
             Settings::Current().SetBackgroundColor1(CommandLine::Color(a[0], "colour"));
             Settings::Current().SetBackgroundColor2(CommandLine::Color(a.back(), "colour"));
           }},
      {.name = "hover",
       .form = "ii",
       .help = "  hover X Y | ",
       .run = [](R& r, const A& a) { r.interaction.Hover(Int(a[0]), Int(a[1])); }},
      {.name = "leave", .form = "", .help = "leave | ", .run = [](R& r, const A&) { r.interaction.Leave(0, 0); }},
      {.name = "click",
       .form = "ii",
       .help = "click X Y\n",
       .run = [](R& r, const A& a) { r.interaction.Click(Int(a[0]), Int(a[1])); }},
      {.name = "press",
       .form = "ii",
       .help = "  press X Y | ",
       .run = [](R& r, const A& a) { r.interaction.BandPress(Int(a[0]), Int(a[1])); }},
      {.name = "drag",
       .form = "ii",
       .help = "drag X Y | ",
       .run = [](R& r, const A& a) { r.interaction.BandMove(Int(a[0]), Int(a[1])); }},
      {.name = "release",
       .form = "ii",
       .help = "release X Y   rubber band; the release selects inside\n",
       .run =
           [](R& r, const A& a) {
             for (const RenderId& path : r.interaction.BandRelease(Int(a[0]), Int(a[1]))) {
               r.out << "{\"selected\":\"" << Text(path) << "\"}\n";
             }
           }},
      {.name = "orbit",
       .form = "iiii",
       .help = "  orbit X0 Y0 X1 Y1 | ",
       .run = [](R& r, const A& a) { r.interaction.Drag(IViewOp::Orbit, Int(a[0]), Int(a[1]), Int(a[2]), Int(a[3])); }},
      {.name = "pan",
       .form = "iiii",
       .help = "pan X0 Y0 X1 Y1 | ",
       .run = [](R& r, const A& a) { r.interaction.Drag(IViewOp::Pan, Int(a[0]), Int(a[1]), Int(a[2]), Int(a[3])); }},
      {.name = "wheel",
       .form = "iii",
       .help = "wheel STEPS X Y\n",
       .run = [](R& r, const A& a) { r.interaction.Wheel(Int(a[0]), Int(a[1]), Int(a[2])); }},
      {.name = "key",
       .form = "iii",
       .help = "  key CODE X Y             press a key with the pointer at X Y (codes below)\n",
       .run = [](R& r, const A& a) { ViewKeys::Press(Int(a[0]), Int(a[1]), Int(a[2]), r.host, r.interaction); }},
      {.name = "render",
       .form = "",
       .help = "  render                   draw a frame\n",
       .run =
           [](R& r, const A&) {
             r.host.Render();
             r.framed = true;
           }},
      {.name = "pick",
       .form = "ii",
       .help = "  pick X Y                 print the pick as a JSON line\n",
       .run = [](R& r, const A& a) { r.out << r.interaction.Pick(Int(a[0]), Int(a[1])).Json() << '\n'; }},
      {.name = "highlight",
       .form = "p",
       .help = "  highlight PATH | ",
       .run = [](R& r, const A& a) { r.host.Scene().Highlight(r.ExistingNode(a[0])); }},
      {.name = "unhighlight",
       .form = "|p",
       .help = "unhighlight [PATH] | ",
       .run =
           [](R& r, const A& a) {
             if (a.empty()) {
               r.host.Scene().UnHighlight();
             } else {
               r.host.Scene().UnHighlight(Path(a[0]));
             }
           }},
      {.name = "select",
       .form = "p",
       .help = "select PATH | ",
       .run = [](R& r, const A& a) { r.interaction.Select(r.ExistingNode(a[0])); }},
      {.name = "unselect",
       .form = "|p",
       .help = "unselect [PATH]\n",
       .run =
           [](R& r, const A& a) {
             if (a.empty()) {
               r.host.Scene().UnSelect();
             } else {
               r.host.Scene().UnSelect(Path(a[0]));
             }
           }},
      {.name = "snapshot",
       .form = "s",
       .help = "  snapshot FILE.png        write the last frame\n",
       .run =
           [](R& r, const A& a) {
             if (!r.framed) throw Failure("no frame rendered yet");
             platform::WritePng((r.directory / a[0]).string(), r.host.Snapshot());
           }},
      {.name = "expect pixel",
       .form = "iic|I",
       .help = "  expect pixel X Y COLOUR [TOLERANCE]   in the last frame (default tolerance %)\n",
       .fallback = "16",
       .run = [](R& r, const A& a) { r.ExpectPixel(a); }},
      {.name = "expect pick",
       .form = "iin",
       .help = "  expect pick X Y PATH|none\n",
       .run = [](R& r, const A& a) { r.ExpectPick(a); }},
      {.name = "expect point",
       .form = "iifff|F",
       .help = "  expect point X Y PX PY PZ [TOLERANCE] (default %)\n",
       .fallback = "0.01",
       .run = [](R& r, const A& a) { r.ExpectPoint(a); }},
      {.name = "expect highlighted",
       .form = "p",
       .help = "  expect highlighted PATH | ",
       .run = [](R& r, const A& a) { r.ExpectHighlighted(a, true); }},
      {.name = "expect not-highlighted",
       .form = "p",
       .help = "expect not-highlighted PATH\n",
       .run = [](R& r, const A& a) { r.ExpectHighlighted(a, false); }},
  };
  return verbs;
}

void ScriptRunner::ExpectPixel(const Arguments& a) {
  if (!framed) throw Failure("no frame rendered yet");
  const platform::Image image = host.Snapshot();
  const int x = Int(a[0]);
  const int y = Int(a[1]);
  std::ostringstream failure;
  if (x < 0 || y < 0 || x >= image.width || y >= image.height) {
    failure << "pixel " << a[0] << "," << a[1] << " lies outside the " << image.width << "x" << image.height
            << " frame";
    throw Failure(failure.str());
  }
  const RGBAColor expected = CommandLine::Color(a[2], "colour");
  const int tolerance = Int(a[3]);
  const auto actual = image.At(x, y);
  const int wanted[3] = {expected.red, expected.green, expected.blue};
  for (int i = 0; i < 3; ++i) {
    if (std::abs(actual[i] - wanted[i]) > tolerance) {
      failure << "expected pixel " << x << "," << y << " to be " << a[2] << " (within " << tolerance << "), got "
              << int{actual[0]} << "," << int{actual[1]} << "," << int{actual[2]};
      throw Failure(failure.str());
    }
  }
}

void ScriptRunner::ExpectPick(const Arguments& a) {
  const std::optional<RenderId> actual = interaction.Pick(Int(a[0]), Int(a[1])).path;
  if (Text(actual) != (a[2] == "none" ? "none" : Text(Path(a[2])))) {
    throw Failure("expected pick at " + a[0] + "," + a[1] + " to be " + a[2] + ", got " + Text(actual));
  }
}

void ScriptRunner::ExpectPoint(const Arguments& a) {
  const PickResult result = interaction.Pick(Int(a[0]), Int(a[1]));
  const float tolerance = Float(a[5]);
  bool near = result.point.has_value();
  for (int i = 0; near && i < 3; ++i) near = std::fabs((*result.point)[i] - Float(a[2 + i])) <= tolerance;
  if (!near) {
    std::ostringstream failure;
    failure << "expected point at " << a[0] << "," << a[1] << " near " << a[2] << " " << a[3] << " " << a[4]
            << ", got ";
    if (result.point) {
      failure << (*result.point)[0] << " " << (*result.point)[1] << " " << (*result.point)[2];
    } else {
      failure << "none";
    }
    throw Failure(failure.str());
  }
}

void ScriptRunner::ExpectHighlighted(const Arguments& a, bool wanted) {
  if (host.Scene().IsHighlighted(Path(a[0])) != wanted) {
    throw Failure("expected " + a[0] + (wanted ? " to be" : " not to be") + " highlighted");
  }
}

}  // namespace nimboview
