#include "KivVizOpenGL/GeometryItemFactoryGL.h"

#include "KivVizOpenGL/GeometryItemLinesGL.h"
#include "KivVizOpenGL/GeometryItemPointsGL.h"
#include "KivVizOpenGL/GeometryItemTrianglesGL.h"

AGeometryItem* GeometryItemFactoryGL::CreateTriangles(std::uint64_t id, const std::vector<float>& vertices,
                                                      const std::vector<float>& normals,
                                                      const std::vector<std::uint32_t>& indices) {
  return new GeometryItemTrianglesGL(id, vertices, normals, indices);
}

AGeometryItem* GeometryItemFactoryGL::CreateLines(std::uint64_t id, const std::vector<float>& vertices,
                                                  const std::vector<std::uint32_t>& indices) {
  return new GeometryItemLinesGL(id, vertices, indices);
}

AGeometryItem* GeometryItemFactoryGL::CreatePoints(std::uint64_t id, const std::vector<float>& vertices, float size) {
  auto* points = new GeometryItemPointsGL(id, vertices);
  points->pointSize = size;
  return points;
}
