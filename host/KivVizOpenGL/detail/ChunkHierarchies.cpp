#include "ChunkHierarchies.h"

#include <algorithm>
#include <stdexcept>

#include "Float3.h"

namespace KivVizOpenGL::detail {

ChunkHierarchies::ChunkHierarchies(const ChunkedMesh& mesh, std::uint32_t corners)
    : mesh_(mesh), corners_(corners) {
  const std::size_t primitives =
      mesh.chunks.empty() ? 0 : std::size_t{mesh.chunks.back().firstPrimitive} + mesh.chunks.back().primitiveCount;
  const bool covered = mesh.indices.empty() ? corners == 1 && mesh.vertices.size() / 3 == primitives
                                            : mesh.indices.size() == std::size_t{corners} * primitives;
  if (!covered) {
    throw std::invalid_argument(
        "KivVizOpenGL::detail::ChunkHierarchies::ChunkHierarchies: the chunks do not cover the mesh's primitives");
  }
  boxes_.reserve(mesh.chunks.size());
  for (const MeshChunk& chunk : mesh.chunks) {
    Aabb box;
    for (std::size_t p = chunk.firstPrimitive; p < std::size_t{chunk.firstPrimitive} + chunk.primitiveCount; ++p) {
      box.Merge(PrimitiveBox(p));
    }
    bounds_.Merge(box);
    boxes_.push_back(box);
  }
  chunks_ = Bvh(boxes_);
  hierarchies_.resize(mesh.chunks.size());
}

ChunkHierarchies::~ChunkHierarchies() = default;

const Bvh& ChunkHierarchies::Of(std::uint32_t chunk) const {
  std::unique_ptr<Bvh>& hierarchy = hierarchies_[chunk];
  if (!hierarchy) {
    const MeshChunk& part = mesh_.chunks[chunk];
    std::vector<Aabb> primitiveBoxes;
    primitiveBoxes.reserve(part.primitiveCount);
    for (std::size_t p = part.firstPrimitive; p < std::size_t{part.firstPrimitive} + part.primitiveCount; ++p) {
      primitiveBoxes.push_back(PrimitiveBox(p));
    }
    hierarchy = std::make_unique<Bvh>(primitiveBoxes);
  }
  return *hierarchy;
}

std::size_t ChunkHierarchies::BuiltCount() const {
  return static_cast<std::size_t>(
      std::count_if(hierarchies_.begin(), hierarchies_.end(), [](const auto& built) { return built != nullptr; }));
}

Aabb ChunkHierarchies::PrimitiveBox(std::size_t primitive) const {
  Aabb box;
  for (std::size_t corner = 0; corner < corners_; ++corner) {
    const std::size_t index = mesh_.indices.empty() ? primitive : mesh_.indices[corners_ * primitive + corner];
    const Float3 vertex = Float3::At(mesh_.vertices, index);
    if (!IsFinite(vertex)) {
      return Aabb();
    }
    box.Grow(vertex);
  }
  return box;
}

}  // namespace KivVizOpenGL::detail
