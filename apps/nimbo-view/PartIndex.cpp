#include "PartIndex.h"

namespace nimboview {

void PartIndex::Add(const Model& model, const std::string& file) {
  for (const Part& part : model.parts) {
    // Names were widened byte by byte from the file's UTF-8.
    std::string name;
    for (wchar_t c : part.name) name += static_cast<char>(c);
    labels[{model.id, part.id}] = PartLabel{file, name};
  }
}

std::optional<PartLabel> PartIndex::Find(const RenderId& path) const {
  if (path.Length() < 3) return std::nullopt;
  const auto found = labels.find({path[1], path[2]});
  if (found == labels.end()) return std::nullopt;
  return found->second;
}

}  // namespace nimboview
