// The interactive window's input handling: left drag orbits, right or
// middle drag pans, the wheel zooms, hovering highlights the node under the
// pointer with the aperture around it and names its file and part in the
// title and on stdout, a click selects and prints the selection as a JSON
// line, a
// shift-left drag draws the rubber band and selects the visible nodes inside.
// Keys as ViewKeys lists; S writes a screenshot, Q closes.
#ifndef NIMBO_APPS_NIMBO_VIEW_WINDOWSESSION_H
#define NIMBO_APPS_NIMBO_VIEW_WINDOWSESSION_H

#include <functional>
#include <iosfwd>
#include <string>

#include "Interaction.h"
#include "PartIndex.h"

namespace nimboview {

class ViewHost;

class WindowSession {
 public:
  enum class Button { Left, Right, Middle };
  using TitleSetter = std::function<void(const std::string&)>;

  // Selections and screenshots are reported on `out`; the title names the
  // files (`title`) or the hovered part.
  WindowSession(ViewHost& host, PartIndex parts, std::string title, TitleSetter setTitle, std::ostream& out);

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

  void ShowHovered();
  // {KEY:PATH|null,"file":..,"part":..,"point":[x,y,z]|null}; the point
  // only with a pick (a click's), not for a hover or a rubber band.
  void PrintNode(const char* key, const std::optional<RenderId>& path, const std::optional<PickResult>& pick);
  // Writes nimbo-view-N.png in the working folder, N the first number free.
  void Screenshot();

  ViewHost& host;
  Interaction interaction;
  PartIndex parts;
  std::string title;
  std::string shownTitle;
  std::optional<RenderId> printedHover;
  TitleSetter setTitle;
  std::ostream& out;
  Gesture gesture = Gesture::None;
  int pressX = 0;
  int pressY = 0;
  bool dirty = true;
};

}  // namespace nimboview

#endif
