#include "WindowSession.h"

#include <cstdlib>

#include "KivVizCore/AView3DAdapter.h"
#include "NimboCore/ACamera.h"
#include "NimboCore/Controller.h"
#include "NimboCore/ViewOp.h"
#include "ViewHost.h"

namespace nimboview {
namespace {

// A press that moves less than this is a click, not a drag.
constexpr int kClickSlop = 3;

}  // namespace

void WindowSession::PointerMoved(int x, int y) {
  dirty = true;
  switch (gesture) {
    case Gesture::None:
      interaction.Hover(x, y);
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
    interaction.BandRelease(x, y);
  } else if (gesture == Gesture::Pressed && left) {
    interaction.Click(x, y);
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
  interaction.Key(key, x, y);
  dirty = true;
  switch (key) {
    case 'F':
      host.Fit();
      return true;
    case 'P':
      host.View().GetCamera()->SetOrthographic(!host.View().GetCamera()->IsOrthographic());
      return true;
    case 27:
      interaction.ClearSelection();
      return true;
    case 'Q':
      return false;
    default:
      return true;
  }
}

void WindowSession::Left() {
  interaction.Leave(0, 0);
  dirty = true;
}

bool WindowSession::TakeDirty() {
  const bool was = dirty;
  dirty = false;
  return was;
}

}  // namespace nimboview
