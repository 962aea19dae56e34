// The triangles of an arrow along +Z from the origin: a closed shaft
// (cylinder with a bottom cap) and a cone on top with its base ring, with
// outward normals and counter-clockwise front faces, so that it lights and
// culls like any closed solid.
#ifndef NIMBO_HOST_KIVVIZOPENGL_ARROWMESH_H
#define NIMBO_HOST_KIVVIZOPENGL_ARROWMESH_H

#include <cstdint>
#include <vector>

namespace KivVizOpenGL {

class ArrowMesh {
 public:
  // slices around the axis (at least 3), stacks along shaft and cone (at
  // least 1); shaftLength is clamped to [0, length].
  ArrowMesh(int slices, int stacks, float length, float shaftLength, float shaftRadius, float coneRadius);

  // Draws with client vertex and normal arrays; the caller saves and
  // restores the client array state.
  void Draw() const;

 private:
  // The side of a cylinder or cone from the circle (radius0, z0) to the
  // circle (radius1, z1), normals perpendicular to the slope.
  void AddMantle(int slices, int stacks, float radius0, float z0, float radius1, float z1);
  // A flat ring between two radii at height z, facing -Z.
  void AddDownwardRing(int slices, float innerRadius, float outerRadius, float z);
  void AddVertex(float x, float y, float z, float nx, float ny, float nz);

  std::vector<float> vertices;
  std::vector<float> normals;
  std::vector<std::uint32_t> indices;
};

}  // namespace KivVizOpenGL

#endif
