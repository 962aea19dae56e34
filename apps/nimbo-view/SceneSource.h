// Fills a view's scene from the command line's model files, or with the
// demo scene when there are none.
#ifndef NIMBO_APPS_NIMBO_VIEW_SCENESOURCE_H
#define NIMBO_APPS_NIMBO_VIEW_SCENESOURCE_H

#include <string>
#include <vector>

#include "SceneModel.h"

namespace nimboview {

class ViewHost;

class SceneSource {
 public:
  // Imports every file first (model ids 1, 2, ... in the order given), so
  // that a bad file leaves the scene untouched. Returns the models added.
  static std::vector<Model> Load(ViewHost& host, const std::vector<std::string>& paths);
};

}  // namespace nimboview

#endif
