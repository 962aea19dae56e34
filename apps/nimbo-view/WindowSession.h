// The interactive window's input handling: left drag orbits, right or
// middle drag pans, the wheel zooms, hovering highlights the node under the
// pointer with the aperture around it, a click selects, a shift-left drag
// draws the rubber band and selects the visible nodes inside. Keys: F fits,
// P toggles the projection, Escape clears the selection, Q closes.
#ifndef NIMBO_VIEW_WINDOW_SESSION_H
#define NIMBO_VIEW_WINDOW_SESSION_H

#include "Interaction.h"

namespace nimboview {

class ViewHost;

class WindowSession {
 public:
  enum class Button { Left, Right, Middle };

  explicit WindowSession(ViewHost& host) : host(host), interaction(host) {}

  void PointerMoved(int x, int y);
  void ButtonPressed(Button button, bool shift, int x, int y);
  void ButtonReleased(Button button, int x, int y);
  void Scrolled(int steps, int x, int y);
  // Returns false when the key asks to close the window.
  bool KeyPressed(int key, int x, int y);
  void Left();

  // Whether something changed since the last frame.
  bool TakeDirty();

 private:
  enum class Gesture { None, Pressed, Orbit, Pan, Band };

  ViewHost& host;
  Interaction interaction;
  Gesture gesture = Gesture::None;
  int pressX = 0;
  int pressY = 0;
  bool dirty = true;
};

}  // namespace nimboview

#endif
