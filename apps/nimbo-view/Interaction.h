// What a user does with the pointer, turned into the host's calls: records
// for the view's controller (the aperture and rubber band follow them, the
// controller moves the camera), picks, highlight of the hovered node and
// selection. Shared by the render command, session scripts and the window.
#ifndef NIMBO_APPS_NIMBO_VIEW_INTERACTION_H
#define NIMBO_APPS_NIMBO_VIEW_INTERACTION_H

#include <array>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "KivVizCore/RenderId.h"
#include "ViewHost.h"

namespace nimboview {

struct PickResult {
  int x = 0;
  int y = 0;
  std::optional<RenderId> path;               // from PickVisualAt
  std::optional<std::array<float, 3>> point;  // from PickPoint

  // One JSON object on one line: {"x":..,"y":..,"path":[..]|null,"point":[..]|null}.
  std::string Json() const;
};

class Interaction {
 public:
  explicit Interaction(ViewHost& host) : host(host) {}

  // The pointer moved with no button: the aperture follows, the node under
  // it is highlighted (and the previous one no longer).
  void Hover(int x, int y);
  // The pointer left the window: the hover highlight goes.
  void Leave(int x, int y);
  // A click: the node under the pointer is selected; on the background the
  // selection is cleared. Returns the picked path, if any.
  std::optional<RenderId> Click(int x, int y);
  // Selects a node; a hover leaving it then leaves the selection.
  void Select(const RenderId& path);
  // Unselects what was selected here; lasting marks the host made otherwise
  // (a list highlight) stay.
  void ClearSelection();

  // A rubber-band drag: the rectangle shows from the press to the pointer.
  void BandPress(int x, int y);
  void BandMove(int x, int y);
  // The release hides the rectangle and selects the visible nodes inside it;
  // returns them.
  std::vector<RenderId> BandRelease(int x, int y);

  // Camera drags (type 6 orbit, 7 pan) in pixel steps, and the wheel.
  void Drag(int type, int x0, int y0, int x1, int y1);
  void Wheel(int steps, int x, int y);
  void Key(int code, int x, int y);

  PickResult Pick(int x, int y);
  const std::optional<RenderId>& Hovered() const { return hovered; }
  // Forgets the hovered and selected nodes (after the scene is cleared).
  void Forget() {
    hovered.reset();
    selections.clear();
    bandStart.reset();
  }

 private:
  std::optional<RenderId> PathAt(int x, int y);
  // Takes the hover highlight off the hovered node, unless the node was
  // marked before the hover or has been selected since: the view's removal
  // of a mark would take a lasting one with it.
  void EndHover();

  ViewHost& host;
  std::optional<RenderId> hovered;
  bool hoverMarked = false;  // the hovered node's mark is the hover's own
  std::set<RenderId> selections;
  std::optional<std::array<int, 2>> bandStart;
};

}  // namespace nimboview

#endif
