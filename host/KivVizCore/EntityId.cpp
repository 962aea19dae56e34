#include "KivVizCore/EntityId.h"

#include <ostream>

EntityId::EntityId() = default;

EntityId::EntityId(std::uint64_t model) : ids{model, 0, 0, 0}, level(Level::Model) {}

EntityId::EntityId(std::uint64_t model, std::uint64_t part) : ids{model, part, 0, 0}, level(Level::Part) {}

EntityId::EntityId(std::uint64_t model, std::uint64_t part, std::uint64_t category)
    : ids{model, part, category, 0}, level(Level::Category) {}

EntityId::EntityId(std::uint64_t model, std::uint64_t part, std::uint64_t category, std::uint64_t element)
    : ids{model, part, category, element}, level(Level::Element) {}

std::ostream& operator<<(std::ostream& out, const EntityId& entity) {
  const int depth = static_cast<int>(entity.GetLevel());
  const std::uint64_t ids[] = {entity.GetModel(), entity.GetPart(), entity.GetCategory(), entity.GetElement()};
  out << "entity(";
  for (int i = 0; i < depth; ++i) {
    out << (i == 0 ? "" : "/") << ids[i];
  }
  return out << ')';
}
