// Makes the scene's geometry items for whoever builds a scene, without the
// builder knowing the drawing library. Every item returned is new and owned
// by the caller until it is handed to a node.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZCORE_AGEOMETRYITEMFACTORY_H
#define NIMBO_INCLUDE_HOST_KIVVIZCORE_AGEOMETRYITEMFACTORY_H

#include <cstdint>
#include <vector>

#include "HostExtensions.h"
#include "KivVizCore/Export.h"
#include "KivVizCore/KivVizCore.h"

class KIVVIZCORE_EXPORT AGeometryItemFactory {
 public:
  virtual ~AGeometryItemFactory();

#if NIMBO_HOST_EXTENSIONS
  // Ours: how our scene builders make items; the plug-in only hands the
  // factory out.
  // A lit triangle mesh: three floats per vertex and per normal, three
  // indices per triangle.
  virtual AGeometryItem* CreateTriangles(std::uint64_t id, const std::vector<float>& vertices,
                                         const std::vector<float>& normals,
                                         const std::vector<std::uint32_t>& indices) = 0;
  // Unlit line segments, two indices per segment.
  virtual AGeometryItem* CreateLines(std::uint64_t id, const std::vector<float>& vertices,
                                     const std::vector<std::uint32_t>& indices) = 0;
  // Unlit points, three floats each, drawn `size` pixels wide.
  virtual AGeometryItem* CreatePoints(std::uint64_t id, const std::vector<float>& vertices, float size) = 0;
#endif

 protected:
  AGeometryItemFactory() = default;
};

#endif
