// Plain geometry items and their factory for the host libraries' tests: they
// keep their arrays and know their bounding box, without the GL item
// library. They draw nothing and rays never hit them.
#ifndef NIMBO_TESTS_HOST_SUPPORT_TESTGEOMETRYITEM_H
#define NIMBO_TESTS_HOST_SUPPORT_TESTGEOMETRYITEM_H

#include <cstdint>
#include <vector>

#include "KivVizCore/AGeometryItem.h"
#include "KivVizCore/AGeometryItemFactory.h"

namespace NimboTest {

class TestGeometryItem : public AGeometryItem {
 public:
  enum class Kind { Points, Lines, Triangles };

  // vertices: three floats each; indices: two per segment (Lines) or three
  // per triangle (Triangles), unused for Points.
  TestGeometryItem(std::uint64_t id, Kind kind, std::vector<float> vertices, std::vector<std::uint32_t> indices = {});

  void Display(AView3DAdapter*) override {}
  bool GetBoundingBox(float minimum[3], float maximum[3]) const override;

  Kind GetKind() const { return kind; }
  const std::vector<float>& Vertices() const { return vertices; }
  const std::vector<std::uint32_t>& Indices() const { return indices; }

 private:
  Kind kind;
  std::vector<float> vertices;
  std::vector<std::uint32_t> indices;
};

class TestGeometryItemFactory : public AGeometryItemFactory {
 public:
  AGeometryItem* CreateTriangles(std::uint64_t id, const std::vector<float>& vertices, const std::vector<float>& normals,
                                 const std::vector<std::uint32_t>& indices) override;
  AGeometryItem* CreateLines(std::uint64_t id, const std::vector<float>& vertices,
                             const std::vector<std::uint32_t>& indices) override;
  AGeometryItem* CreatePoints(std::uint64_t id, const std::vector<float>& vertices) override;
};

}  // namespace NimboTest

#endif
