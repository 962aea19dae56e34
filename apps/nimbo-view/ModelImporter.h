// Reads model files with Assimp into the scene model: one part per mesh
// (per instance of it in the node tree), node transforms baked into the
// vertices so that geometry is stored where it is drawn, the material's
// colour and opacity as the part's colour, and triangles, lines and points
// as the surfaces, curves and points categories.
#ifndef NIMBO_APPS_NIMBO_VIEW_MODELIMPORTER_H
#define NIMBO_APPS_NIMBO_VIEW_MODELIMPORTER_H

#include <cstdint>
#include <string>

#include "SceneModel.h"

namespace nimboview {

class ModelImporter {
 public:
  // Files at least this large report their progress on stderr.
  static constexpr std::uintmax_t ProgressThresholdBytes = 4u << 20;

  // Throws std::runtime_error naming the file when it cannot be read, is
  // malformed or holds no geometry.
  static Model Import(const std::string& path, std::uint64_t modelId);
};

}  // namespace nimboview

#endif
