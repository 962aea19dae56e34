// Plain geometry items and their factory for the host libraries' tests: they
// draw in immediate mode, know their bounding box, can be hit by a ray, and
// count how often they were drawn, so a test can see what a traversal did
// without the GL item library.
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
  TestGeometryItem(std::uint64_t id, Kind kind, std::vector<float> vertices,
                   std::vector<std::uint32_t> indices = {});

  void Display(AView3DAdapter* adapter) override;
  // Triangles: exact. Points and segments: within HitTolerance of the ray.
  bool RayHit(const float origin[3], const float direction[3], float scalar, float hitPoint[3],
              float& parameter) const override;
  bool GetBoundingBox(float minimum[3], float maximum[3]) const override;

  Kind GetKind() const { return kind; }
  const std::vector<float>& Vertices() const { return vertices; }
  const std::vector<std::uint32_t>& Indices() const { return indices; }
  int DisplayCount() const { return displayCount; }
  // The adapter the last Display was given.
  AView3DAdapter* LastAdapter() const { return lastAdapter; }

  static constexpr float HitTolerance = 0.01f;

 private:
  Kind kind;
  std::vector<float> vertices;
  std::vector<std::uint32_t> indices;
  int displayCount = 0;
  AView3DAdapter* lastAdapter = nullptr;
};

class TestGeometryItemFactory : public AGeometryItemFactory {
 public:
  AGeometryItem* CreateTriangles(std::uint64_t id, const std::vector<float>& vertices, const std::vector<float>& normals,
                                 const std::vector<std::uint32_t>& indices) override;
  AGeometryItem* CreateLines(std::uint64_t id, const std::vector<float>& vertices,
                             const std::vector<std::uint32_t>& indices) override;
  AGeometryItem* CreatePoints(std::uint64_t id, const std::vector<float>& vertices) override;

  // Every item made so far, in order (not owned: the nodes own them).
  const std::vector<TestGeometryItem*>& Made() const { return made; }

 private:
  std::vector<TestGeometryItem*> made;
};

}  // namespace NimboTest

#endif
