// The parts of loaded models as JSON lines, so that a caller can check what
// an import made: ids, name, colour, transparency and geometry counts, and a
// summary of each model: its file, totals and bounding box.
#ifndef NIMBO_APPS_NIMBO_VIEW_PARTLISTING_H
#define NIMBO_APPS_NIMBO_VIEW_PARTLISTING_H

#include <string>

#include "SceneModel.h"

namespace nimboview {

class PartListing {
 public:
  // {"model":M,"part":P,"name":"..","color":[r,g,b,a],"transparent":bool,
  //  "triangles":N,"segments":N,"points":N[,"hidden":true]}
  static std::string Json(const Model& model, const Part& part);
  // {"model":M,"file":"..","parts":N,"triangles":N,"segments":N,"points":N,
  //  "min":[x,y,z],"max":[x,y,z]}
  static std::string Summary(const Model& model, const std::string& file);
  // Bytes as a JSON string: UTF-8 kept, quotes, backslashes and control
  // characters escaped.
  static std::string Quote(const std::string& bytes);
};

}  // namespace nimboview

#endif
