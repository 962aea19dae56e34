#include "SceneSource.h"

#include "DemoScene.h"
#include "ModelImporter.h"
#include "SceneBuilder.h"
#include "ViewHost.h"

namespace nimboview {

std::vector<Model> SceneSource::Load(ViewHost& host, const std::vector<std::string>& paths) {
  std::vector<Model> models;
  if (paths.empty()) {
    models.push_back(DemoScene::Build());
    DemoScene::AddTo(host);
    return models;
  }
  for (const std::string& path : paths) models.push_back(ModelImporter::Import(path, models.size() + 1));
  SceneBuilder(host.Scene()).Add(models);
  return models;
}

}  // namespace nimboview
