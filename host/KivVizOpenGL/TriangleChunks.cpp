#include "TriangleChunks.h"

#include <windows.h>

#include <GL/gl.h>

#include "ClientArrays.h"

namespace KivVizOpenGL {

TriangleChunks::TriangleChunks(std::span<const float> vertices, std::span<const float> normals,
                               std::span<const std::uint32_t> indices)
    : mesh(detail::SpatialChunker(TrianglesPerChunk).Split(vertices, normals, indices)) {
  // Only drawing needs the rearranged mesh; the mapping back is dead weight.
  mesh.sourceTriangles = {};
  mesh.sourceVertices = {};
  // Chunks come in the order of the median splits, so neighbours in the
  // sequence are neighbours in space and their joint boxes stay tight.
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
  UseClientArrays(mesh.vertices.data(), mesh.normals.empty() ? nullptr : mesh.normals.data());
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
                   mesh.indices.data() + 3 * std::size_t{run.first});
  }
  run = Run{};
}

}  // namespace KivVizOpenGL
