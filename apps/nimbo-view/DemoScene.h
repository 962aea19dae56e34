// The built-in demo scene: what the view can do in one picture. Opaque and
// transparent parts on a base plate, a part hidden by a filter, a helix of
// curves, a grid of points, a markup made by the host's markup factory and a
// node with a lasting highlight.
#ifndef NIMBO_APPS_NIMBO_VIEW_DEMOSCENE_H
#define NIMBO_APPS_NIMBO_VIEW_DEMOSCENE_H

#include <cstdint>
#include <vector>

#include "KivVizCore/RenderId.h"
#include "SceneModel.h"

namespace nimboview {

class ViewHost;

class DemoScene {
 public:
  static constexpr std::uint64_t ModelId = 1;
  static constexpr int HiddenFilterId = 7;

  // The demo's model, under ModelId.
  static Model Build();
  // Adds the model to the view, hides the filtered part, adds the markup and
  // highlights the marked part.
  static void AddTo(ViewHost& host);
  // The node that carries the lasting highlight.
  static RenderId MarkedPath();
};

}  // namespace nimboview

#endif
