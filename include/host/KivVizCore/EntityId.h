// The host's address of an entity of a scene: a model, a part of a model, a
// category of a part (10000 points, 10001 curves, 10002 surfaces) or an
// element of a category. The host turns it into the node path its scene
// builder used, and a path back into an entity.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZCORE_ENTITYID_H
#define NIMBO_INCLUDE_HOST_KIVVIZCORE_ENTITYID_H

#include <array>
#include <cstdint>
#include <iosfwd>

#include "KivVizCore/Export.h"

class KIVVIZCORE_EXPORT EntityId {
 public:
  enum class Level { None = 0, Model = 1, Part = 2, Category = 3, Element = 4 };

  // Addresses nothing.
  EntityId();
  explicit EntityId(std::uint64_t model);
  EntityId(std::uint64_t model, std::uint64_t part);
  EntityId(std::uint64_t model, std::uint64_t part, std::uint64_t category);
  EntityId(std::uint64_t model, std::uint64_t part, std::uint64_t category, std::uint64_t element);

  Level GetLevel() const { return level; }
  bool IsValid() const { return level != Level::None; }
  // Ids below the entity's level read 0.
  std::uint64_t GetModel() const { return ids[0]; }
  std::uint64_t GetPart() const { return ids[1]; }
  std::uint64_t GetCategory() const { return ids[2]; }
  std::uint64_t GetElement() const { return ids[3]; }

  bool operator==(const EntityId& other) const = default;

 private:
  std::array<std::uint64_t, 4> ids{};
  Level level = Level::None;
};

KIVVIZCORE_EXPORT std::ostream& operator<<(std::ostream& out, const EntityId& entity);

#endif
