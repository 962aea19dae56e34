// The parts of loaded models as JSON lines, so that a caller can check what
// an import made: ids, name, colour, transparency and geometry counts.
#ifndef NIMBO_VIEW_PART_LISTING_H
#define NIMBO_VIEW_PART_LISTING_H

#include <string>

#include "SceneModel.h"

namespace nimboview {

class PartListing {
 public:
  // {"model":M,"part":P,"name":"..","color":[r,g,b,a],"transparent":bool,
  //  "triangles":N,"segments":N,"points":N}
  static std::string Json(const Model& model, const Part& part);
};

}  // namespace nimboview

#endif
