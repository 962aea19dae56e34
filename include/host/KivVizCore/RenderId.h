// The path of a scene node: the ids from the root down to the node, with an
// origin value telling where the path comes from (1: a view's scene, as
// picking and the host's entity lookup make them). Two paths are equal when
// they hold the same ids in the same order and the same origin.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZCORE_RENDERID_H
#define NIMBO_INCLUDE_HOST_KIVVIZCORE_RENDERID_H

#include <compare>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <vector>

#include "HostExtensions.h"
#include "KivVizCore/Export.h"

class KIVVIZCORE_EXPORT RenderId {
 public:
  static constexpr int SceneOrigin = 1;

  // Empty, origin 0.
  RenderId();
  RenderId(const std::vector<std::uint64_t>& ids, int origin);

  std::size_t Length() const { return ids.size(); }
  // Precondition: index < Length().
  const std::uint64_t& operator[](std::size_t index) const { return ids[index]; }

  bool operator==(const RenderId& other) const;

#if NIMBO_HOST_EXTENSIONS
  // Ours, beyond the host's paths.
  bool IsEmpty() const { return ids.empty(); }
  const std::vector<std::uint64_t>& Ids() const { return ids; }
  int GetOrigin() const { return origin; }
  void Append(std::uint64_t id);
  // Origin first, then the ids lexicographically; for ordered containers.
  std::strong_ordering operator<=>(const RenderId& other) const;
#endif

 private:
  std::vector<std::uint64_t> ids;
  int origin;
};

#if NIMBO_HOST_EXTENSIONS
// Ours: writes "origin:[id/id/...]".
KIVVIZCORE_EXPORT std::ostream& operator<<(std::ostream& out, const RenderId& path);
#endif

#endif
