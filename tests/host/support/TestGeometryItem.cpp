#include "TestGeometryItem.h"

#include <algorithm>
#include <utility>

namespace NimboTest {

TestGeometryItem::TestGeometryItem(std::uint64_t id, Kind kind, std::vector<float> vertices,
                                   std::vector<std::uint32_t> indices)
    : AGeometryItem(id), kind(kind), vertices(std::move(vertices)), indices(std::move(indices)) {}

bool TestGeometryItem::GetBoundingBox(float minimum[3], float maximum[3]) const {
  if (vertices.size() < 3) {
    return false;
  }
  std::copy_n(vertices.begin(), 3, minimum);
  std::copy_n(vertices.begin(), 3, maximum);
  for (std::size_t i = 3; i + 2 < vertices.size(); i += 3) {
    for (std::size_t k = 0; k < 3; ++k) {
      minimum[k] = std::min(minimum[k], vertices[i + k]);
      maximum[k] = std::max(maximum[k], vertices[i + k]);
    }
  }
  return true;
}

AGeometryItem* TestGeometryItemFactory::CreateTriangles(std::uint64_t id, const std::vector<float>& vertices,
                                                        const std::vector<float>& /*normals*/,
                                                        const std::vector<std::uint32_t>& indices) {
  return new TestGeometryItem(id, TestGeometryItem::Kind::Triangles, vertices, indices);
}

AGeometryItem* TestGeometryItemFactory::CreateLines(std::uint64_t id, const std::vector<float>& vertices,
                                                    const std::vector<std::uint32_t>& indices) {
  return new TestGeometryItem(id, TestGeometryItem::Kind::Lines, vertices, indices);
}

AGeometryItem* TestGeometryItemFactory::CreatePoints(std::uint64_t id, const std::vector<float>& vertices) {
  return new TestGeometryItem(id, TestGeometryItem::Kind::Points, vertices);
}

}  // namespace NimboTest
