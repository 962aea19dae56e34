// The visible nodes inside a rectangle of the window, as the view's picks
// find them: a node counts when it shows at some pixel there, or within the
// few pixels around it that a pick's box reaches. The work grows with the
// scene, not with the rectangle's area: one selection pass through the
// view's own traversal finds the pickable nodes that reach into the
// rectangle, then two depth-only passes over just those find the ones that
// are not hidden behind the others everywhere. A band of a few pick boxes
// is picked at every third pixel instead, as a click picks: each box's one
// winner, not all that shows in it.
#ifndef NIMBO_APPS_NIMBO_VIEW_RECTANGLEPICK_H
#define NIMBO_APPS_NIMBO_VIEW_RECTANGLEPICK_H

#include <set>
#include <vector>

#include "KivVizCore/RenderId.h"
#include "ViewHost.h"

class GeoNode;

namespace nimboview {

class RectanglePick {
 public:
  explicit RectanglePick(ViewHost& host) : host(host) {}

  // The corners are window pixels, either way round and anywhere: the part
  // outside the window shows nothing. Throws std::runtime_error when the
  // rectangle holds more nodes than a selection buffer can take.
  std::set<RenderId> VisibleNodes(int x0, int y0, int x1, int y1);

 private:
  // Pixel bounds, inclusive, rows counted from the top.
  struct Region {
    int left = 0;
    int top = 0;
    int right = -1;
    int bottom = -1;
  };
  struct Candidate {
    RenderId path;
    // The path's nodes below the root, the last one drawn with its geometry.
    std::vector<GeoNode*> nodes;
  };

  std::vector<Candidate> NodesReachingInto(const Region& region);
  bool IsPickable(const RenderId& path);
  std::vector<bool> ShowingCandidates(const Region& region, const std::vector<Candidate>& candidates);
  // The view's projection and camera, with the pick box of the region in
  // front of the projection when picking.
  void LoadMatrices(const Region& region, bool picking);
  void Draw(const Candidate& candidate);

  ViewHost& host;
  int width = 0;
  int height = 0;
};

}  // namespace nimboview

#endif
