#include "SpatialChunker.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <stdexcept>

#include "Float3.h"

namespace KivVizOpenGL::detail {

namespace {

struct Range {
  std::size_t begin;
  std::size_t end;
};

// A NaN centroid sorts last, so the comparison stays a strict weak order.
float SortKey(float coordinate) {
  return std::isnan(coordinate) ? std::numeric_limits<float>::infinity() : coordinate;
}

class MedianSplitter {
 public:
  MedianSplitter(std::span<const Float3> centroids, std::vector<std::uint32_t>& triangles,
                 std::size_t limit)
      : centroids_(centroids), triangles_(triangles), limit_(limit) {}

  // Appends the parts of triangles_[begin, end) to `parts`, depth first.
  void Split(std::size_t begin, std::size_t end, std::vector<Range>& parts) {
    if (end - begin <= limit_) {
      parts.push_back({begin, end});
      return;
    }
    Aabb bounds;
    for (std::size_t i = begin; i < end; ++i) {
      bounds.Grow(centroids_[triangles_[i]]);
    }
    const int axis = bounds.LongestAxis();
    const auto first = triangles_.begin() + static_cast<std::ptrdiff_t>(begin);
    const auto middle = first + static_cast<std::ptrdiff_t>((end - begin) / 2);
    const auto last = triangles_.begin() + static_cast<std::ptrdiff_t>(end);
    std::nth_element(first, middle, last, [&](std::uint32_t a, std::uint32_t b) {
      const float ka = SortKey(centroids_[a][axis]);
      const float kb = SortKey(centroids_[b][axis]);
      return ka < kb || (ka == kb && a < b);
    });
    const auto split = static_cast<std::size_t>(middle - triangles_.begin());
    Split(begin, split, parts);
    Split(split, end, parts);
  }

 private:
  std::span<const Float3> centroids_;
  std::vector<std::uint32_t>& triangles_;
  std::size_t limit_;
};

void CheckSizes(std::span<const float> vertices, std::span<const float> normals,
                std::span<const std::uint32_t> indices) {
  if (vertices.size() % 3 != 0 || indices.size() % 3 != 0) {
    throw std::invalid_argument(
        "KivVizOpenGL::detail::SpatialChunker::Split: array size is not a multiple of 3");
  }
  if (!normals.empty() && normals.size() != vertices.size()) {
    throw std::invalid_argument(
        "KivVizOpenGL::detail::SpatialChunker::Split: normals do not match the vertices");
  }
  const std::size_t vertexCount = vertices.size() / 3;
  for (const std::uint32_t index : indices) {
    if (index >= vertexCount) {
      throw std::invalid_argument(
          "KivVizOpenGL::detail::SpatialChunker::Split: vertex index out of range");
    }
  }
}

}  // namespace

SpatialChunker::SpatialChunker(std::uint32_t maxTrianglesPerChunk)
    : maxTrianglesPerChunk_(maxTrianglesPerChunk) {
  if (maxTrianglesPerChunk == 0) {
    throw std::invalid_argument(
        "KivVizOpenGL::detail::SpatialChunker::SpatialChunker: the chunk size limit is zero");
  }
}

ChunkedMesh SpatialChunker::Split(std::span<const float> vertices, std::span<const float> normals,
                                  std::span<const std::uint32_t> indices) const {
  CheckSizes(vertices, normals, indices);
  const std::size_t triangleCount = indices.size() / 3;
  std::vector<Float3> centroids(triangleCount);
  for (std::size_t t = 0; t < triangleCount; ++t) {
    const Float3 sum = Float3::At(vertices, indices[3 * t]) +
                       Float3::At(vertices, indices[3 * t + 1]) +
                       Float3::At(vertices, indices[3 * t + 2]);
    centroids[t] = sum * (1.0f / 3.0f);
  }
  std::vector<std::uint32_t> triangles(triangleCount);
  std::iota(triangles.begin(), triangles.end(), 0u);
  std::vector<Range> parts;
  if (triangleCount != 0) {
    MedianSplitter(centroids, triangles, maxTrianglesPerChunk_).Split(0, triangleCount, parts);
  }

  ChunkedMesh mesh;
  mesh.indices.reserve(indices.size());
  mesh.sourceTriangles.reserve(triangleCount);
  mesh.chunks.reserve(parts.size());
  // Input vertex -> output vertex, valid for the chunk being written: every
  // vertex the chunk uses is assigned before its triangles are written.
  std::vector<std::uint32_t> outputVertex(vertices.size() / 3);
  std::vector<std::uint32_t> used;
  for (const Range& part : parts) {
    const auto first = triangles.begin() + static_cast<std::ptrdiff_t>(part.begin);
    const auto last = triangles.begin() + static_cast<std::ptrdiff_t>(part.end);
    std::sort(first, last);
    used.clear();
    for (auto it = first; it != last; ++it) {
      used.insert(used.end(), indices.begin() + 3 * std::ptrdiff_t{*it},
                  indices.begin() + 3 * std::ptrdiff_t{*it} + 3);
    }
    std::sort(used.begin(), used.end());
    used.erase(std::unique(used.begin(), used.end()), used.end());

    MeshChunk chunk;
    chunk.firstTriangle = static_cast<std::uint32_t>(mesh.sourceTriangles.size());
    chunk.triangleCount = static_cast<std::uint32_t>(part.end - part.begin);
    chunk.firstVertex = static_cast<std::uint32_t>(mesh.sourceVertices.size());
    chunk.vertexCount = static_cast<std::uint32_t>(used.size());
    for (const std::uint32_t vertex : used) {
      outputVertex[vertex] = static_cast<std::uint32_t>(mesh.sourceVertices.size());
      mesh.sourceVertices.push_back(vertex);
      const auto xyz = vertices.subspan(3 * std::size_t{vertex}, 3);
      mesh.vertices.insert(mesh.vertices.end(), xyz.begin(), xyz.end());
      if (!normals.empty()) {
        const auto normal = normals.subspan(3 * std::size_t{vertex}, 3);
        mesh.normals.insert(mesh.normals.end(), normal.begin(), normal.end());
      }
      chunk.bounds.Grow(Float3::At(vertices, vertex));
    }
    for (auto it = first; it != last; ++it) {
      mesh.sourceTriangles.push_back(*it);
      for (std::size_t corner = 0; corner < 3; ++corner) {
        mesh.indices.push_back(outputVertex[indices[3 * std::size_t{*it} + corner]]);
      }
    }
    mesh.chunks.push_back(chunk);
  }
  return mesh;
}

}  // namespace KivVizOpenGL::detail
