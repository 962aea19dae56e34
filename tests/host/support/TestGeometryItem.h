// Plain geometry items for the host libraries' tests: they keep their arrays
// and know their bounding box, without the GL item library.
#ifndef NIMBO_TESTS_HOST_SUPPORT_TESTGEOMETRYITEM_H
#define NIMBO_TESTS_HOST_SUPPORT_TESTGEOMETRYITEM_H

#include <algorithm>
#include <cstdint>
#include <vector>

#include "KivVizCore/AGeometryItem.h"
#include "KivVizCore/AGeometryItemFactory.h"

namespace NimboTest {

class TestGeometryItem : public AGeometryItem {
 public:
  enum class Kind { Points, Lines, Triangles };

  TestGeometryItem(std::uint64_t id, Kind kind, std::vector<float> vertices, std::vector<std::uint32_t> indices = {})
      : AGeometryItem(id), kind(kind), vertices(std::move(vertices)), indices(std::move(indices)) {}

  void Display(AView3DAdapter*) override {}
  bool GetBoundingBox(float minimum[3], float maximum[3]) const override {
    if (vertices.size() < 3) return false;
    std::copy_n(vertices.begin(), 3, minimum);
    std::copy_n(vertices.begin(), 3, maximum);
    for (std::size_t i = 3; i < vertices.size(); ++i) {
      minimum[i % 3] = std::min(minimum[i % 3], vertices[i]);
      maximum[i % 3] = std::max(maximum[i % 3], vertices[i]);
    }
    return true;
  }

  const Kind kind;
  const std::vector<float> vertices;
  const std::vector<std::uint32_t> indices;
};

class TestGeometryItemFactory : public AGeometryItemFactory {
 public:
  AGeometryItem* CreateTriangles(std::uint64_t id, const std::vector<float>& vertices, const std::vector<float>&,
                                 const std::vector<std::uint32_t>& indices) override {
    return new TestGeometryItem(id, TestGeometryItem::Kind::Triangles, vertices, indices);
  }
  AGeometryItem* CreateLines(std::uint64_t id, const std::vector<float>& vertices,
                             const std::vector<std::uint32_t>& indices) override {
    return new TestGeometryItem(id, TestGeometryItem::Kind::Lines, vertices, indices);
  }
  AGeometryItem* CreatePoints(std::uint64_t id, const std::vector<float>& vertices, float) override {
    return new TestGeometryItem(id, TestGeometryItem::Kind::Points, vertices);
  }
};

}  // namespace NimboTest

#endif
