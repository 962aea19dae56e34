// Makes the OpenGL scene items: triangle meshes, line segments and points.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZOPENGL_GEOMETRYITEMFACTORYGL_H
#define NIMBO_INCLUDE_HOST_KIVVIZOPENGL_GEOMETRYITEMFACTORYGL_H

#include <cstdint>
#include <vector>

#include "KivVizCore/AGeometryItemFactory.h"
#include "KivVizOpenGL/Export.h"

class KIVVIZOPENGL_EXPORT GeometryItemFactoryGL : public AGeometryItemFactory {
 public:
  GeometryItemFactoryGL() = default;

#if NIMBO_HOST_EXTENSIONS
  AGeometryItem* CreateTriangles(std::uint64_t id, const std::vector<float>& vertices,
                                 const std::vector<float>& normals, const std::vector<std::uint32_t>& indices) override;
  AGeometryItem* CreateLines(std::uint64_t id, const std::vector<float>& vertices,
                             const std::vector<std::uint32_t>& indices) override;
  AGeometryItem* CreatePoints(std::uint64_t id, const std::vector<float>& vertices, float size) override;
#endif
};

#endif
