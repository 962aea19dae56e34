#include "ItemArrays.h"

#include <stdexcept>
#include <string>

#include "detail/Float3.h"

namespace KivVizOpenGL {

namespace {

void Refuse(const char* function, const char* why) { throw std::invalid_argument(std::string(function) + ": " + why); }

void GrowIfFinite(detail::Aabb& box, const detail::Float3& point) {
  if (detail::IsFinite(point)) {
    box.Grow(point);
  }
}

}  // namespace

void CheckArrays(const char* function, std::span<const float> vertices, std::span<const float> normals,
                 std::span<const std::uint32_t> indices, std::size_t indicesPerPrimitive) {
  if (vertices.size() % 3 != 0) {
    Refuse(function, "vertex array is not whole xyz triples");
  }
  if (!normals.empty() && normals.size() != vertices.size()) {
    Refuse(function, "normal array does not match the vertex array");
  }
  if (indicesPerPrimitive != 0 && indices.size() % indicesPerPrimitive != 0) {
    Refuse(function, "index array is not whole primitives");
  }
  const std::size_t vertexCount = vertices.size() / 3;
  for (const std::uint32_t index : indices) {
    if (index >= vertexCount) {
      Refuse(function, "vertex index out of range");
    }
  }
}

detail::Aabb BoundsOf(std::span<const float> vertices) {
  detail::Aabb box;
  for (std::size_t vertex = 0; vertex < vertices.size() / 3; ++vertex) {
    GrowIfFinite(box, detail::Float3::At(vertices, vertex));
  }
  return box;
}

detail::Aabb BoundsOf(std::span<const float> vertices, std::span<const std::uint32_t> indices) {
  detail::Aabb box;
  for (const std::uint32_t index : indices) {
    GrowIfFinite(box, detail::Float3::At(vertices, index));
  }
  return box;
}

void StoreCorners(const detail::Aabb& box, float minimum[3], float maximum[3]) {
  for (int axis = 0; axis < 3; ++axis) {
    minimum[axis] = box.Min()[axis];
    maximum[axis] = box.Max()[axis];
  }
}

bool CopyBounds(const detail::Aabb& box, float minimum[3], float maximum[3]) {
  if (box.IsEmpty()) {
    return false;
  }
  StoreCorners(box, minimum, maximum);
  return true;
}

}  // namespace KivVizOpenGL
