#include "WindowSession.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <ostream>
#include <sstream>

#include "KivVizCore/AView3DAdapter.h"
#include "NimboCore/Controller.h"
#include "NimboCore/ViewOp.h"
#include "PartListing.h"
#include "ViewHost.h"
#include "ViewKeys.h"

namespace nimboview {
namespace {

// A press that moves less than this is a click, not a drag.
constexpr int kClickSlop = 3;

std::string PathJson(const RenderId& path) {
  std::string text = "[";
  for (std::size_t i = 0; i < path.Length(); ++i) {
    if (i > 0) text += ',';
    text += std::to_string(path[i]);
  }
  return text + "]";
}

}  // namespace

WindowSession::WindowSession(ViewHost& host, PartIndex parts, std::string title, TitleSetter setTitle,
                             std::ostream& out)
    : host(host),
      interaction(host),
      parts(std::move(parts)),
      title(std::move(title)),
      setTitle(std::move(setTitle)),
      out(out) {
  ShowHovered();
}

void WindowSession::ShowHovered() {
  if (interaction.Hovered() != printedHover) {
    printedHover = interaction.Hovered();
    PrintNode("hovered", printedHover, std::nullopt);
  }
  std::string text = title;
  if (const auto& hovered = interaction.Hovered()) {
    if (const std::optional<PartLabel> label = parts.Find(*hovered)) {
      text = "nimbo-view: " + std::filesystem::path(label->file).filename().string() + ": " + label->part;
    }
  }
  if (text == shownTitle) return;
  shownTitle = text;
  setTitle(text);
}

void WindowSession::PrintNode(const char* key, const std::optional<RenderId>& path,
                              const std::optional<PickResult>& pick) {
  std::ostringstream line;
  line << "{\"" << key << "\":";
  if (!path) {
    line << "null}";
  } else {
    line << PathJson(*path);
    if (const std::optional<PartLabel> label = parts.Find(*path)) {
      line << ",\"file\":" << PartListing::Quote(label->file) << ",\"part\":" << PartListing::Quote(label->part);
    }
    if (pick) {
      line << ",\"point\":";
      if (pick->point) {
        line << '[' << (*pick->point)[0] << ',' << (*pick->point)[1] << ',' << (*pick->point)[2] << ']';
      } else {
        line << "null";
      }
    }
    line << '}';
  }
  // Flushed at once: a script or a person reading the pipe waits for it.
  out << line.str() << std::endl;
}

void WindowSession::Screenshot() {
  std::string name;
  for (int n = 1;; ++n) {
    name = "nimbo-view-" + std::to_string(n) + ".png";
    std::error_code error;
    if (!std::filesystem::exists(name, error)) break;
  }
  try {
    platform::WritePng(name, host.Snapshot());
    out << "{\"screenshot\":" << PartListing::Quote(name) << '}' << std::endl;
  } catch (const std::exception& error) {
    // The session goes on: a full disk is no reason to lose the view.
    std::cerr << "nimbo-view window: " << error.what() << '\n';
  }
}

void WindowSession::PointerMoved(int x, int y) {
  dirty = true;
  switch (gesture) {
    case Gesture::None:
      interaction.Hover(x, y);
      ShowHovered();
      break;
    case Gesture::Pressed:
      if (std::abs(x - pressX) + std::abs(y - pressY) < kClickSlop) break;
      gesture = Gesture::Orbit;
      {
        ViewOp start(IViewOp::Orbit, 1, pressX, pressY);
        host.View().GetController()->Notify(&start);
      }
      [[fallthrough]];
    case Gesture::Orbit:
    case Gesture::Pan: {
      ViewOp op(gesture == Gesture::Orbit ? IViewOp::Orbit : IViewOp::Pan, 2, x, y);
      host.View().GetController()->Notify(&op);
      break;
    }
    case Gesture::Band:
      interaction.BandMove(x, y);
      break;
  }
}

void WindowSession::ButtonPressed(Button button, bool shift, int x, int y) {
  if (gesture != Gesture::None) return;
  pressX = x;
  pressY = y;
  if (button == Button::Left && shift) {
    gesture = Gesture::Band;
    interaction.BandPress(x, y);
  } else if (button == Button::Left) {
    gesture = Gesture::Pressed;
  } else {
    gesture = Gesture::Pan;
    ViewOp op(IViewOp::Pan, 1, x, y);
    host.View().GetController()->Notify(&op);
  }
  dirty = true;
}

void WindowSession::ButtonReleased(Button button, int x, int y) {
  const bool left = button == Button::Left;
  if (gesture == Gesture::Band && left) {
    for (const RenderId& path : interaction.BandRelease(x, y)) PrintNode("selected", path, std::nullopt);
  } else if (gesture == Gesture::Pressed && left) {
    const std::optional<RenderId> path = interaction.Click(x, y);
    PrintNode("selected", path, path ? std::optional<PickResult>(interaction.Pick(x, y)) : std::nullopt);
  } else if ((gesture == Gesture::Orbit && left) || (gesture == Gesture::Pan && !left)) {
    ViewOp release(IViewOp::Idle, 0, x, y);
    host.View().GetController()->Notify(&release);
  } else {
    return;
  }
  gesture = Gesture::None;
  dirty = true;
}

void WindowSession::Scrolled(int steps, int x, int y) {
  interaction.Wheel(steps, x, y);
  dirty = true;
}

bool WindowSession::KeyPressed(int key, int x, int y) {
  dirty = true;
  switch (ViewKeys::Press(key, x, y, host, interaction)) {
    case ViewKeys::Effect::Quit:
      return false;
    case ViewKeys::Effect::Screenshot:
      Screenshot();
      return true;
    default:
      return true;
  }
}

void WindowSession::Left() {
  interaction.Leave(0, 0);
  ShowHovered();
  dirty = true;
}

bool WindowSession::TakeDirty() {
  const bool was = dirty;
  dirty = false;
  return was;
}

}  // namespace nimboview
