#include "WindowCommand.h"

#include <GLFW/glfw3.h>

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "GlfwWindow.h"
#include "PartIndex.h"
#include "SceneSource.h"
#include "ScriptRunner.h"
#include "SessionScript.h"
#include "ViewHost.h"
#include "ViewKeys.h"
#include "ViewSetup.h"
#include "WindowSession.h"
#include "platform/Window.h"

namespace nimboview {
namespace {

WindowSession& SessionOf(GLFWwindow* window) { return *static_cast<WindowSession*>(glfwGetWindowUserPointer(window)); }

void Pointer(GLFWwindow* window, int& x, int& y) {
  double px = 0.0;
  double py = 0.0;
  glfwGetCursorPos(window, &px, &py);
  x = static_cast<int>(px);
  y = static_cast<int>(py);
}

void OnCursor(GLFWwindow* window, double x, double y) {
  SessionOf(window).PointerMoved(static_cast<int>(x), static_cast<int>(y));
}

void OnButton(GLFWwindow* window, int button, int action, int mods) {
  int x = 0;
  int y = 0;
  Pointer(window, x, y);
  const WindowSession::Button which = button == GLFW_MOUSE_BUTTON_LEFT    ? WindowSession::Button::Left
                                      : button == GLFW_MOUSE_BUTTON_RIGHT ? WindowSession::Button::Right
                                                                          : WindowSession::Button::Middle;
  if (action == GLFW_PRESS) {
    SessionOf(window).ButtonPressed(which, (mods & GLFW_MOD_SHIFT) != 0, x, y);
  } else if (action == GLFW_RELEASE) {
    SessionOf(window).ButtonReleased(which, x, y);
  }
}

void OnScroll(GLFWwindow* window, double, double dy) {
  int x = 0;
  int y = 0;
  Pointer(window, x, y);
  SessionOf(window).Scrolled(dy > 0.0 ? 1 : (dy < 0.0 ? -1 : 0), x, y);
}

void OnKey(GLFWwindow* window, int key, int, int action, int) {
  if (action != GLFW_PRESS) return;
  int x = 0;
  int y = 0;
  Pointer(window, x, y);
  // GLFW's codes of letters and digits are their capital ASCII codes.
  const int code = key == GLFW_KEY_ESCAPE ? ViewKeys::Escape : key;
  if (!SessionOf(window).KeyPressed(code, x, y)) glfwSetWindowShouldClose(window, GLFW_TRUE);
}

void OnEnter(GLFWwindow* window, int entered) {
  if (entered == GLFW_FALSE) SessionOf(window).Left();
}

}  // namespace

const char* WindowCommand::Help() {
  static const std::string help =
      std::string(
          "usage: nimbo-view window [MODEL...] [options]\n"
          "Opens an interactive window (needs DISPLAY) on the models or the demo scene.\n"
          "  left drag: orbit   right/middle drag: pan   wheel: zoom\n"
          "  hover: highlight under the aperture; the title names the file and part,\n"
          "    and stdout gets {\"hovered\":PATH|null,\"file\":..,\"part\":..} as it changes\n"
          "  click: select, and print {\"selected\":PATH|null,\"file\":..,\"part\":..,\"point\":..}\n"
          "  shift + left drag: rubber band, selects (and prints) the visible nodes inside\n"
          "  S: screenshot to nimbo-view-N.png, printed as {\"screenshot\":FILE}\n"
          "  --script FILE              replay a session script on the window, then close;\n"
          "                             without models it starts empty, as run does\n"
          "  --screenshot FILE.png      with --script: write what the window shows at the end\n") +
      ViewKeys::Help() + ViewSetup::Help();
  return help.c_str();
}

int WindowCommand::Run(const std::vector<std::string>& arguments) {
  std::set<std::string> valued = ViewSetup::ValuedOptions();
  valued.insert({"--script", "--screenshot"});
  const CommandLine line(arguments, valued, ViewSetup::Flags());
  if (line.Has("--screenshot") && !line.Has("--script")) throw UsageError("--screenshot needs --script");
  if (auto screenshot = line.Value("--screenshot")) CommandLine::CheckPngName(*screenshot, "--screenshot");
  const ViewSetup setup = ViewSetup::From(line, 800, 600);
  setup.ApplyBackground();
  std::optional<SessionScript> script;
  if (auto path = line.Value("--script")) script = SessionScript::Read(*path);

  // Named from the start: the scene loads after the window opens.
  std::string title = "nimbo-view: ";
  if (line.Positionals().empty()) title += script ? "script" : "demo";
  for (std::size_t i = 0; i < line.Positionals().size(); ++i) {
    title += (i > 0 ? ", " : "") + std::filesystem::path(line.Positionals()[i]).filename().string();
  }
  // The GLFW window outlives the view host, whose platform window only wraps it.
  GlfwWindow glfw(setup.width, setup.height, title);
  ViewHost host(setup.pluginPath, platform::Window::WrapNative(glfw.X11Display(), glfw.X11Window()));
  // A script starts on an empty scene, as `run` does, unless models are given.
  const bool empty = script && line.Positionals().empty();
  const std::vector<Model> models = empty ? std::vector<Model>() : SceneSource::Load(host, line.Positionals());
  setup.ApplyCamera(host);
  host.Render();

  if (script) {
    glfwPollEvents();
    ScriptRunner runner(host, std::cout, models.size() + 1);
    if (empty) runner.AimFirstLoad(setup.azimuth, setup.elevation);
    runner.Run(*script);
    host.Render();
    if (auto screenshot = line.Value("--screenshot")) platform::WritePng(*screenshot, host.Snapshot());
    return 0;
  }

  PartIndex parts;
  for (std::size_t i = 0; i < models.size(); ++i) {
    parts.Add(models[i], line.Positionals().empty() ? "demo" : line.Positionals()[i]);
  }
  GLFWwindow* window = glfw.Get();
  WindowSession session(
      host, std::move(parts), title, [window](const std::string& text) { glfwSetWindowTitle(window, text.c_str()); },
      std::cout);
  glfwSetWindowUserPointer(window, &session);
  glfwSetCursorPosCallback(window, OnCursor);
  glfwSetMouseButtonCallback(window, OnButton);
  glfwSetScrollCallback(window, OnScroll);
  glfwSetKeyCallback(window, OnKey);
  glfwSetCursorEnterCallback(window, OnEnter);
  while (glfwWindowShouldClose(window) == GLFW_FALSE) {
    glfwWaitEventsTimeout(0.25);
    int width = 0;
    int height = 0;
    glfwGetFramebufferSize(window, &width, &height);
    if (width > 0 && height > 0 && (width != host.Window().Width() || height != host.Window().Height())) {
      host.Resize(width, height);
    }
    if (session.TakeDirty()) host.Render();
  }
  return 0;
}

}  // namespace nimboview
