#include "PrimitiveChunks.h"

#include <algorithm>
#include <numeric>

#include "ClientArrays.h"
#include "ItemArrays.h"
#include "ItemCulling.h"

namespace KivVizOpenGL {

namespace {

// Runs of consecutive primitives, each with the box of the vertices it uses;
// points have no indices.
std::vector<detail::MeshChunk> RunsAsGiven(std::span<const float> vertices, std::span<const std::uint32_t> indices,
                                           std::uint32_t corners) {
  std::vector<detail::MeshChunk> runs;
  const bool points = indices.empty();
  const auto primitives = static_cast<std::uint32_t>(points ? vertices.size() / 3 : indices.size() / corners);
  for (std::uint32_t first = 0; first < primitives; first += PrimitiveChunks::PrimitivesPerChunk) {
    detail::MeshChunk run;
    run.firstPrimitive = first;
    run.primitiveCount = std::min(PrimitiveChunks::PrimitivesPerChunk, primitives - first);
    run.bounds = points ? BoundsOf(vertices.subspan(3 * std::size_t{first}, 3 * std::size_t{run.primitiveCount}))
                        : BoundsOf(vertices, indices.subspan(std::size_t{corners} * first,
                                                             std::size_t{corners} * run.primitiveCount));
    runs.push_back(run);
  }
  return runs;
}

}  // namespace

std::uint32_t PrimitiveChunks::CornersOf(GLenum mode) { return mode == GL_TRIANGLES ? 3 : mode == GL_LINES ? 2 : 1; }

PrimitiveChunks::PrimitiveChunks(GLenum mode, std::span<const float> vertices, std::span<const float> normals,
                                 std::span<const std::uint32_t> indices, Order order)
    : mode(mode), corners(CornersOf(mode)) {
  if (mode == GL_POINTS) {
    indices = {};
  }
  if (order == Order::Spatial) {
    if (mode == GL_POINTS) {
      // The chunker takes each point as a primitive of one corner. It lists
      // a chunk's vertices in input order, as it does its primitives, so in
      // its result point p is vertex p and the indices can go.
      std::vector<std::uint32_t> everyVertex(vertices.size() / 3);
      std::iota(everyVertex.begin(), everyVertex.end(), 0u);
      mesh = detail::SpatialChunker(PrimitivesPerChunk, 1).Split(vertices, normals, everyVertex);
      mesh.indices = {};
    } else {
      mesh = detail::SpatialChunker(PrimitivesPerChunk, corners).Split(vertices, normals, indices);
    }
    // Triangle picks need each triangle's input index; nothing needs the
    // vertices'.
    mesh.sourceVertices = {};
    if (mode != GL_TRIANGLES) {
      mesh.sourcePrimitives = {};
    }
    drawVertices = mesh.vertices;
    drawNormals = mesh.normals;
    drawIndices = mesh.indices;
  } else {
    mesh.chunks = RunsAsGiven(vertices, indices, corners);
    drawVertices = vertices;
    drawNormals = normals;
    drawIndices = indices;
  }
  // Spatial chunks come in the order of the median splits, so neighbours in
  // the sequence are neighbours in space and their joint boxes stay tight;
  // runs of a mesh in its own order are as tight as that order is coherent.
  levels.emplace_back();
  for (const detail::MeshChunk& chunk : mesh.chunks) levels.back().push_back(chunk.bounds);
  while (levels.back().size() > 1) {
    const std::vector<detail::Aabb>& below = levels.back();
    std::vector<detail::Aabb> above((below.size() + 1) / 2);
    for (std::size_t i = 0; i < below.size(); ++i) above[i / 2].Merge(below[i]);
    levels.push_back(std::move(above));
  }
}

void PrimitiveChunks::Draw(const detail::ViewVolume& volume) const {
  if (mesh.chunks.empty()) {
    return;
  }
  UseClientArrays(drawVertices.data(), drawNormals.empty() ? nullptr : drawNormals.data());
  Run run;
  Visit(volume, levels.size() - 1, 0, run);
  Flush(run);
}

void PrimitiveChunks::Visit(const detail::ViewVolume& volume, std::size_t level, std::size_t index, Run& run) const {
  if (index >= levels[level].size() || !volume.Intersects(levels[level][index])) {
    return;
  }
  if (level > 0) {
    Visit(volume, level - 1, 2 * index, run);
    Visit(volume, level - 1, 2 * index + 1, run);
    return;
  }
  const detail::MeshChunk& chunk = mesh.chunks[index];
  if (run.count != 0 && run.first + run.count == chunk.firstPrimitive) {
    run.count += chunk.primitiveCount;
    return;
  }
  Flush(run);
  run = Run{chunk.firstPrimitive, chunk.primitiveCount};
}

void PrimitiveChunks::Flush(Run& run) const {
  if (run.count != 0 && mode == GL_POINTS) {
    glDrawArrays(GL_POINTS, static_cast<GLint>(run.first), static_cast<GLsizei>(run.count));
  } else if (run.count != 0) {
    glDrawElements(mode, static_cast<GLsizei>(corners * run.count), GL_UNSIGNED_INT,
                   drawIndices.data() + std::size_t{corners} * run.first);
  }
  run = Run{};
}

const PrimitiveChunks& SpatialChunksOf(GLenum mode, std::span<const float> vertices, std::span<const float> normals,
                                       std::span<const std::uint32_t> indices,
                                       std::unique_ptr<PrimitiveChunks>& spatial) {
  if (!spatial) {
    spatial = std::make_unique<PrimitiveChunks>(mode, vertices, normals, indices, PrimitiveChunks::Order::Spatial);
  }
  return *spatial;
}

void DrawItemArrays(GLenum mode, std::span<const float> vertices, std::span<const float> normals,
                    std::span<const std::uint32_t> indices, const detail::ViewVolume& volume, const detail::Aabb& box,
                    std::unique_ptr<PrimitiveChunks>& spatial, std::unique_ptr<PrimitiveChunks>& runs) {
  const std::size_t primitives =
      mode == GL_POINTS ? vertices.size() / 3 : indices.size() / PrimitiveChunks::CornersOf(mode);
  if (PrimitiveChunks::IsBig(primitives)) {
    // Arrays wholly in view gain nothing from chunks; building them waits
    // for the first pass that can skip some, so that a first frame is not
    // slowed. Picks take spatial chunks, frames chunks in the arrays' order.
    const bool selecting = IsSelecting();
    std::unique_ptr<PrimitiveChunks>& parts = selecting ? spatial : runs;
    if (parts || !volume.Contains(box)) {
      if (!parts) {
        parts = std::make_unique<PrimitiveChunks>(
            mode, vertices, normals, indices,
            selecting ? PrimitiveChunks::Order::Spatial : PrimitiveChunks::Order::AsGiven);
      }
      parts->Draw(volume);
      return;
    }
  }
  UseClientArrays(vertices.data(), normals.empty() ? nullptr : normals.data());
  if (mode == GL_POINTS) {
    glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(primitives));
  } else {
    glDrawElements(mode, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_INT, indices.data());
  }
}

}  // namespace KivVizOpenGL
