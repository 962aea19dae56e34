#include "SpatialChunker.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <string>
#include <utility>

#include "Float3.h"
#include "MedianSplit.h"

namespace KivVizOpenGL::detail {

namespace {

struct Range {
  std::size_t begin;
  std::size_t end;
};

// A primitive with its centroid beside it, so that the splits read memory in
// order instead of looking every centroid up.
struct Entry {
  Float3 centroid;
  std::uint32_t primitive;
};

class MedianSplitter {
 public:
  MedianSplitter(std::vector<Entry>& entries, std::size_t limit) : entries(entries), limit(limit) {}

  // Appends the parts of entries[begin, end) to `parts`, depth first.
  void Split(std::size_t begin, std::size_t end, std::vector<Range>& parts) {
    if (end - begin <= limit) {
      parts.push_back({begin, end});
      return;
    }
    Aabb bounds;
    for (std::size_t i = begin; i < end; ++i) {
      bounds.Grow(entries[i].centroid);
    }
    const std::size_t split =
        MedianSplit(entries, begin, end, bounds.LongestAxis(), [](const Entry& e) { return e.primitive; });
    Split(begin, split, parts);
    Split(split, end, parts);
  }

 private:
  std::vector<Entry>& entries;
  std::size_t limit;
};

void CheckSizes(std::span<const float> vertices, std::span<const float> normals, std::span<const std::uint32_t> indices,
                std::uint32_t cornersPerPrimitive) {
  if (vertices.size() % 3 != 0) {
    throw std::invalid_argument(
        "KivVizOpenGL::detail::SpatialChunker::Split: vertex array size is not a multiple of 3");
  }
  if (indices.size() % cornersPerPrimitive != 0) {
    throw std::invalid_argument("KivVizOpenGL::detail::SpatialChunker::Split: index array size is not a multiple of " +
                                std::to_string(cornersPerPrimitive));
  }
  if (!normals.empty() && normals.size() != vertices.size()) {
    throw std::invalid_argument("KivVizOpenGL::detail::SpatialChunker::Split: normals do not match the vertices");
  }
  const std::size_t vertexCount = vertices.size() / 3;
  for (const std::uint32_t index : indices) {
    if (index >= vertexCount) {
      throw std::invalid_argument("KivVizOpenGL::detail::SpatialChunker::Split: vertex index out of range");
    }
  }
}

}  // namespace

SpatialChunker::SpatialChunker(std::uint32_t maxPrimitivesPerChunk, std::uint32_t cornersPerPrimitive)
    : maxPrimitivesPerChunk(maxPrimitivesPerChunk), cornersPerPrimitive(cornersPerPrimitive) {
  if (maxPrimitivesPerChunk == 0) {
    throw std::invalid_argument("KivVizOpenGL::detail::SpatialChunker::SpatialChunker: the chunk size limit is zero");
  }
  if (cornersPerPrimitive < 1 || cornersPerPrimitive > 3) {
    throw std::invalid_argument(
        "KivVizOpenGL::detail::SpatialChunker::SpatialChunker: primitives have 1, 2 or 3 corners");
  }
}

ChunkedMesh SpatialChunker::Split(std::span<const float> vertices, std::span<const float> normals,
                                  std::span<const std::uint32_t> indices) const {
  CheckSizes(vertices, normals, indices, cornersPerPrimitive);
  const std::size_t corners = cornersPerPrimitive;
  const std::size_t primitiveCount = indices.size() / corners;
  const float share = 1.0f / static_cast<float>(corners);
  std::vector<Entry> entries(primitiveCount);
  for (std::size_t p = 0; p < primitiveCount; ++p) {
    Float3 sum = Float3::At(vertices, indices[corners * p]);
    for (std::size_t corner = 1; corner < corners; ++corner) {
      sum = sum + Float3::At(vertices, indices[corners * p + corner]);
    }
    entries[p] = Entry{sum * share, static_cast<std::uint32_t>(p)};
  }
  std::vector<Range> parts;
  if (primitiveCount != 0) {
    MedianSplitter(entries, maxPrimitivesPerChunk).Split(0, primitiveCount, parts);
  }

  ChunkedMesh mesh;
  mesh.indices.reserve(indices.size());
  mesh.chunks.reserve(parts.size());
  // Vertices on the borders between chunks appear once in each. Reserving
  // touches no memory, so half as many again spares regrowing.
  const std::size_t vertexEstimate = vertices.size() / 3 + vertices.size() / 6;
  mesh.sourceVertices.reserve(vertexEstimate);
  mesh.vertices.reserve(3 * vertexEstimate);
  mesh.normals.reserve(normals.empty() ? 0 : 3 * vertexEstimate);
  // Each part's primitives in input order: one counting pass over the input
  // instead of a sort per part (the parts tile [0, primitiveCount) in order).
  std::vector<std::uint32_t> partOf(primitiveCount);
  for (std::size_t p = 0; p < parts.size(); ++p) {
    for (std::size_t i = parts[p].begin; i < parts[p].end; ++i)
      partOf[entries[i].primitive] = static_cast<std::uint32_t>(p);
  }
  entries = {};
  std::vector<std::size_t> next(parts.size());
  for (std::size_t p = 0; p < parts.size(); ++p) next[p] = parts[p].begin;
  std::vector<std::uint32_t> grouped(primitiveCount);
  for (std::uint32_t p = 0; p < static_cast<std::uint32_t>(primitiveCount); ++p) grouped[next[partOf[p]]++] = p;

  // Input vertex -> output vertex, valid for the chunk being written: every
  // vertex the chunk uses is assigned before its primitives are written.
  std::vector<std::uint32_t> outputVertex(vertices.size() / 3);
  // The last part that listed each input vertex, so that a part lists each once.
  std::vector<std::uint32_t> listedBy(vertices.size() / 3, std::numeric_limits<std::uint32_t>::max());
  std::vector<std::uint32_t> used;
  for (std::size_t p = 0; p < parts.size(); ++p) {
    const Range& part = parts[p];
    const auto first = grouped.begin() + static_cast<std::ptrdiff_t>(part.begin);
    const auto last = grouped.begin() + static_cast<std::ptrdiff_t>(part.end);
    used.clear();
    for (auto it = first; it != last; ++it) {
      for (std::size_t corner = 0; corner < corners; ++corner) {
        const std::uint32_t vertex = indices[corners * *it + corner];
        if (listedBy[vertex] != p) {
          listedBy[vertex] = static_cast<std::uint32_t>(p);
          used.push_back(vertex);
        }
      }
    }
    std::sort(used.begin(), used.end());

    MeshChunk chunk;
    chunk.firstPrimitive = static_cast<std::uint32_t>(part.begin);
    chunk.primitiveCount = static_cast<std::uint32_t>(part.end - part.begin);
    chunk.firstVertex = static_cast<std::uint32_t>(mesh.sourceVertices.size());
    chunk.vertexCount = static_cast<std::uint32_t>(used.size());
    // Sized up front: three floats are too few to copy by a call each.
    mesh.vertices.resize(mesh.vertices.size() + 3 * used.size());
    mesh.normals.resize(normals.empty() ? 0 : mesh.vertices.size());
    for (const std::uint32_t vertex : used) {
      const std::size_t output = mesh.sourceVertices.size();
      outputVertex[vertex] = static_cast<std::uint32_t>(output);
      mesh.sourceVertices.push_back(vertex);
      std::copy_n(vertices.begin() + 3 * std::ptrdiff_t{vertex}, 3, mesh.vertices.begin() + 3 * std::ptrdiff_t(output));
      if (!normals.empty()) {
        std::copy_n(normals.begin() + 3 * std::ptrdiff_t{vertex}, 3, mesh.normals.begin() + 3 * std::ptrdiff_t(output));
      }
      chunk.bounds.Grow(Float3::At(vertices, vertex));
    }
    for (auto it = first; it != last; ++it) {
      for (std::size_t corner = 0; corner < corners; ++corner) {
        mesh.indices.push_back(outputVertex[indices[corners * *it + corner]]);
      }
    }
    mesh.chunks.push_back(chunk);
  }
  mesh.sourcePrimitives = std::move(grouped);
  return mesh;
}

}  // namespace KivVizOpenGL::detail
