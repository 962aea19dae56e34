#include "TriangleChunks.h"

#include <windows.h>

#include <GL/gl.h>

#include <algorithm>

#include "ClientArrays.h"
#include "ItemArrays.h"

namespace KivVizOpenGL {

namespace {

// Runs of consecutive triangles, each with the box of the vertices it uses.
std::vector<detail::MeshChunk> RunsAsGiven(std::span<const float> vertices, std::span<const std::uint32_t> indices) {
  std::vector<detail::MeshChunk> runs;
  const auto triangles = static_cast<std::uint32_t>(indices.size() / 3);
  for (std::uint32_t first = 0; first < triangles; first += TriangleChunks::TrianglesPerChunk) {
    detail::MeshChunk run;
    run.firstTriangle = first;
    run.triangleCount = std::min(TriangleChunks::TrianglesPerChunk, triangles - first);
    run.bounds = BoundsOf(vertices, indices.subspan(3 * std::size_t{first}, 3 * std::size_t{run.triangleCount}));
    runs.push_back(run);
  }
  return runs;
}

}  // namespace

TriangleChunks::TriangleChunks(std::span<const float> vertices, std::span<const float> normals,
                               std::span<const std::uint32_t> indices, Order order) {
  if (order == Order::Spatial) {
    mesh = detail::SpatialChunker(TrianglesPerChunk).Split(vertices, normals, indices);
    // Picks need each triangle's input index; nothing needs the vertices'.
    mesh.sourceVertices = {};
    drawVertices = mesh.vertices;
    drawNormals = mesh.normals;
    drawIndices = mesh.indices;
  } else {
    mesh.chunks = RunsAsGiven(vertices, indices);
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

void TriangleChunks::Draw(const detail::ViewVolume& volume) const {
  if (mesh.chunks.empty()) {
    return;
  }
  UseClientArrays(drawVertices.data(), drawNormals.empty() ? nullptr : drawNormals.data());
  Run run;
  Visit(volume, levels.size() - 1, 0, run);
  Flush(run);
}

void TriangleChunks::Visit(const detail::ViewVolume& volume, std::size_t level, std::size_t index,
                           Run& run) const {
  if (index >= levels[level].size() || !volume.Intersects(levels[level][index])) {
    return;
  }
  if (level > 0) {
    Visit(volume, level - 1, 2 * index, run);
    Visit(volume, level - 1, 2 * index + 1, run);
    return;
  }
  const detail::MeshChunk& chunk = mesh.chunks[index];
  if (run.count != 0 && run.first + run.count == chunk.firstTriangle) {
    run.count += chunk.triangleCount;
    return;
  }
  Flush(run);
  run = Run{chunk.firstTriangle, chunk.triangleCount};
}

void TriangleChunks::Flush(Run& run) const {
  if (run.count != 0) {
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(3 * run.count), GL_UNSIGNED_INT,
                   drawIndices.data() + 3 * std::size_t{run.first});
  }
  run = Run{};
}

}  // namespace KivVizOpenGL
