// Puts models into a view through its scene-building interface, under the
// scene convention root / model / part / category / geometry node.
#ifndef NIMBO_APPS_NIMBO_VIEW_SCENEBUILDER_H
#define NIMBO_APPS_NIMBO_VIEW_SCENEBUILDER_H

#include <vector>

#include "KivVizCore/KivVizCore.h"
#include "SceneModel.h"

namespace nimboview {

class SceneBuilder {
 public:
  // Id of the geometry node under each category node.
  static constexpr std::uint64_t GeometryNodeId = 1;

  explicit SceneBuilder(AView3DAdapter& scene) : scene(scene) {}

  // Adds the models in one BeginScene/EndScene pass. Throws
  // std::runtime_error naming the model when a node cannot be made (for
  // example a model id that is taken already).
  void Add(const std::vector<Model>& models);

 private:
  void AddPart(const Part& part);
  bool OpenCategory(std::uint64_t category, const RGBAColor& color);

  AView3DAdapter& scene;
};

}  // namespace nimboview

#endif
