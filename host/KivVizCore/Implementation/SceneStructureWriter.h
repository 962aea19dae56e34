// Writes a scene tree as text, one node a line, indented two blanks per
// level:   <id> "<name>"   and, with details, the node's kind and what it
// carries:  group | leaf items=<n>, colour=(r,g,b,a) [translucent],
// transform, hidden, filter=<id>, parents=<n> (only what applies, in this
// order). A node shared by several groups appears under each of them.
#ifndef NIMBO_HOST_KIVVIZCORE_IMPLEMENTATION_SCENESTRUCTUREWRITER_H
#define NIMBO_HOST_KIVVIZCORE_IMPLEMENTATION_SCENESTRUCTUREWRITER_H

#include <string>

class GeoNode;

namespace KivVizCore::Implementation {

class SceneStructureWriter {
 public:
  explicit SceneStructureWriter(bool details) : details(details) {}

  // The text of the tree under top (top included); empty for null.
  std::string Write(const GeoNode* top) const;

 private:
  void WriteNode(const GeoNode& node, int depth, std::string& text) const;
  void WriteDetails(const GeoNode& node, std::string& text) const;

  bool details;
};

}  // namespace KivVizCore::Implementation

#endif
