#include "ChunkedTriangleBvh.h"

#include <algorithm>
#include <span>
#include <stdexcept>
#include <utility>

namespace KivVizOpenGL::detail {

namespace {

// The box a chunk's hits can lie in. A chunk with a non-finite vertex gets
// the box of its finite triangles: the others are never hit, and an
// infinite box would leave the chunk out of the hierarchy.
Aabb HittableBox(const ChunkedMesh& mesh, const MeshChunk& chunk) {
  if (chunk.bounds.IsFinite()) {
    return chunk.bounds;
  }
  Aabb box;
  const std::size_t end = 3 * (std::size_t{chunk.firstPrimitive} + chunk.primitiveCount);
  for (std::size_t corner = 3 * std::size_t{chunk.firstPrimitive}; corner < end; corner += 3) {
    const Float3 a = Float3::At(mesh.vertices, mesh.indices[corner]);
    const Float3 b = Float3::At(mesh.vertices, mesh.indices[corner + 1]);
    const Float3 c = Float3::At(mesh.vertices, mesh.indices[corner + 2]);
    if (IsFinite(a) && IsFinite(b) && IsFinite(c)) {
      box.Grow(a);
      box.Grow(b);
      box.Grow(c);
    }
  }
  return box;
}

}  // namespace

ChunkedTriangleBvh::ChunkedTriangleBvh(const ChunkedMesh& source) : mesh(source) {
  if (mesh.sourcePrimitives.size() != mesh.indices.size() / 3) {
    throw std::invalid_argument(
        "KivVizOpenGL::detail::ChunkedTriangleBvh::ChunkedTriangleBvh: the mesh lacks its source triangles");
  }
  std::vector<Aabb> boxes;
  boxes.reserve(mesh.chunks.size());
  for (const MeshChunk& chunk : mesh.chunks) {
    boxes.push_back(HittableBox(mesh, chunk));
  }
  levels = TwoLevelHierarchy<TriangleBvh>(std::move(boxes), [this](std::uint32_t chunk) {
    const MeshChunk& part = mesh.chunks[chunk];
    // The chunk's indices point into the whole vertex array; its triangles
    // keep their order, so local indices order as the input's do.
    return std::make_unique<TriangleBvh>(
        std::span<const float>(mesh.vertices),
        std::span<const std::uint32_t>(mesh.indices)
            .subspan(3 * std::size_t{part.firstPrimitive}, 3 * std::size_t{part.primitiveCount}));
  });
}

ChunkedTriangleBvh::~ChunkedTriangleBvh() = default;

std::optional<TriangleHit> ChunkedTriangleBvh::Intersect(const Float3& origin, const Float3& direction,
                                                         float maxT) const {
  const Ray ray(origin, direction);
  std::optional<TriangleHit> nearest;
  const Bvh& chunks = levels.Chunks();
  chunks.Traverse(ray, 0.0f, maxT, [&](std::uint32_t first, std::uint32_t count, float bound) {
    for (std::size_t i = first; i < std::size_t{first} + count; ++i) {
      const std::uint32_t chunk = chunks.PrimitiveOrder()[i];
      // Only the chunks the ray reaches get a hierarchy of their own.
      RayInterval reach{0.0f, std::min(bound * Aabb::kExitWidening, std::numeric_limits<float>::max())};
      if (!levels.BoxOf(chunk).ClipRay(ray, 0.0f, reach)) {
        continue;
      }
      const auto hit = levels.Of(chunk).Intersect(origin, direction, bound);
      if (!hit) {
        continue;
      }
      // hit->t <= bound == nearest->t here, as within one chunk.
      const std::uint32_t triangle = mesh.sourcePrimitives[mesh.chunks[chunk].firstPrimitive + hit->triangle];
      if (!nearest || hit->t < nearest->t || triangle < nearest->triangle) {
        nearest = TriangleHit{triangle, hit->t, hit->u, hit->v};
        bound = hit->t;
      }
    }
    return bound;
  });
  return nearest;
}

}  // namespace KivVizOpenGL::detail
