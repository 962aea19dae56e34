// Casts a world ray through a scene on the CPU: visits what a frame would
// draw (filters and visibility honoured, transforms applied, the overlay
// subtree left out) and finds the nearest hit of the leaves' items.
#ifndef NIMBO_HOST_KIVVIZCORE_IMPLEMENTATION_SCENERAYCASTER_H
#define NIMBO_HOST_KIVVIZCORE_IMPLEMENTATION_SCENERAYCASTER_H

#include <cstdint>
#include <vector>

class AFilterManager;
class GeoNode;
class Node;
class Ray;
class RenderId;

namespace KivVizCore::Implementation {

class SceneRayCaster {
 public:
  // filterManager may be null: then no filter hides anything.
  SceneRayCaster(const AFilterManager* filterManager, std::uint64_t skippedRootChild)
      : filterManager(filterManager), skippedRootChild(skippedRootChild) {}

  // Writes the path of the nearest hit (root id first, origin 1) and returns
  // true; false with path unchanged when nothing is hit.
  bool Cast(const Node& root, const Ray& ray, RenderId& path);

 private:
  void Visit(const GeoNode& node, const double transform[16]);
  bool IsShown(const GeoNode& node) const;
  void HitItems(const GeoNode& node, const double transform[16]);

  const AFilterManager* filterManager;
  std::uint64_t skippedRootChild;
  const Ray* ray = nullptr;
  std::vector<std::uint64_t> currentPath;
  std::vector<std::uint64_t> nearestPath;
  float nearest = 0.0f;
  bool found = false;
};

}  // namespace KivVizCore::Implementation

#endif
