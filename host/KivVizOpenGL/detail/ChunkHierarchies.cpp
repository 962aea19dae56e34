#include "ChunkHierarchies.h"

#include <stdexcept>
#include <utility>

#include "Float3.h"

namespace KivVizOpenGL::detail {

ChunkHierarchies::ChunkHierarchies(const ChunkedMesh& source, std::uint32_t cornerCount)
    : mesh(source), corners(cornerCount) {
  const std::size_t primitives =
      mesh.chunks.empty() ? 0 : std::size_t{mesh.chunks.back().firstPrimitive} + mesh.chunks.back().primitiveCount;
  const bool covered = mesh.indices.empty() ? corners == 1 && mesh.vertices.size() / 3 == primitives
                                            : mesh.indices.size() == std::size_t{corners} * primitives;
  if (!covered) {
    throw std::invalid_argument(
        "KivVizOpenGL::detail::ChunkHierarchies::ChunkHierarchies: the chunks do not cover the mesh's primitives");
  }
  std::vector<Aabb> boxes;
  boxes.reserve(mesh.chunks.size());
  for (const MeshChunk& chunk : mesh.chunks) {
    Aabb box;
    for (std::size_t p = chunk.firstPrimitive; p < std::size_t{chunk.firstPrimitive} + chunk.primitiveCount; ++p) {
      box.Merge(PrimitiveBox(p));
    }
    boxes.push_back(box);
  }
  levels = TwoLevelHierarchy<Bvh>(std::move(boxes), [this](std::uint32_t chunk) {
    const MeshChunk& part = mesh.chunks[chunk];
    std::vector<Aabb> primitiveBoxes;
    primitiveBoxes.reserve(part.primitiveCount);
    for (std::size_t p = part.firstPrimitive; p < std::size_t{part.firstPrimitive} + part.primitiveCount; ++p) {
      primitiveBoxes.push_back(PrimitiveBox(p));
    }
    return std::make_unique<Bvh>(primitiveBoxes);
  });
}

ChunkHierarchies::~ChunkHierarchies() = default;

Aabb ChunkHierarchies::PrimitiveBox(std::size_t primitive) const {
  Aabb box;
  for (std::size_t corner = 0; corner < corners; ++corner) {
    const std::size_t index = mesh.indices.empty() ? primitive : mesh.indices[corners * primitive + corner];
    const Float3 vertex = Float3::At(mesh.vertices, index);
    if (!IsFinite(vertex)) {
      return Aabb();
    }
    box.Grow(vertex);
  }
  return box;
}

}  // namespace KivVizOpenGL::detail
