// Which file and part a node path lies in, for the window's title and the
// selection it prints: paths run 1 / model / part / category / node.
#ifndef NIMBO_APPS_NIMBO_VIEW_PARTINDEX_H
#define NIMBO_APPS_NIMBO_VIEW_PARTINDEX_H

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "KivVizCore/RenderId.h"
#include "SceneModel.h"

namespace nimboview {

struct PartLabel {
  std::string file;
  std::string part;
};

class PartIndex {
 public:
  void Add(const Model& model, const std::string& file);
  // None for a path that is not in a part added here.
  std::optional<PartLabel> Find(const RenderId& path) const;

 private:
  std::map<std::pair<std::uint64_t, std::uint64_t>, PartLabel> labels;
};

}  // namespace nimboview

#endif
