// Checks and boxes for the vertex and index arrays that the scene items are
// made from: a bad array is refused when the item is made, not when GL reads
// past its end.
#ifndef NIMBO_HOST_KIVVIZOPENGL_ITEMARRAYS_H
#define NIMBO_HOST_KIVVIZOPENGL_ITEMARRAYS_H

#include <cstddef>
#include <cstdint>
#include <span>

#include "detail/Aabb.h"

namespace KivVizOpenGL {

// Throws std::invalid_argument, naming `function`, when vertices is not whole
// xyz triples, normals is neither empty nor as long as vertices, indices is
// not whole primitives of `indicesPerPrimitive`, or an index is out of range.
void CheckArrays(const char* function, std::span<const float> vertices, std::span<const float> normals,
                 std::span<const std::uint32_t> indices, std::size_t indicesPerPrimitive);

// The box of the finite vertices; the empty box when there are none.
detail::Aabb BoundsOf(std::span<const float> vertices);
// The same for the vertices that the indices refer to.
detail::Aabb BoundsOf(std::span<const float> vertices, std::span<const std::uint32_t> indices);

// Writes the box's corners, also those of the empty box (+inf, -inf), so
// that ToAabb gives the same box back.
void StoreCorners(const detail::Aabb& box, float minimum[3], float maximum[3]);
// Writes the corners of a non-empty box; false, nothing written, for the
// empty box.
bool CopyBounds(const detail::Aabb& box, float minimum[3], float maximum[3]);
inline detail::Aabb ToAabb(const float minimum[3], const float maximum[3]) {
  return detail::Aabb({minimum[0], minimum[1], minimum[2]}, {maximum[0], maximum[1], maximum[2]});
}

}  // namespace KivVizOpenGL

#endif
