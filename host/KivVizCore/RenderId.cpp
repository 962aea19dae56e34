#include "KivVizCore/RenderId.h"

#include <ostream>

RenderId::RenderId() : origin(0) {}

RenderId::RenderId(const std::vector<std::uint64_t>& ids, int origin) : ids(ids), origin(origin) {}

void RenderId::Append(std::uint64_t id) { ids.push_back(id); }

bool RenderId::operator==(const RenderId& other) const {
  return ids.size() == other.ids.size() && origin == other.origin && ids == other.ids;
}

std::strong_ordering RenderId::operator<=>(const RenderId& other) const {
  if (const auto byOrigin = origin <=> other.origin; byOrigin != 0) {
    return byOrigin;
  }
  return ids <=> other.ids;
}

std::ostream& operator<<(std::ostream& out, const RenderId& path) {
  out << path.GetOrigin() << ":[";
  for (std::size_t i = 0; i < path.Length(); ++i) {
    out << (i == 0 ? "" : "/") << path[i];
  }
  return out << ']';
}
