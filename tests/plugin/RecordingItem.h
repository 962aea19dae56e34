// A geometry item that draws nothing and records the GL state the view
// hands it, so tests can see which pass drew which leaf and how.
#ifndef NIMBO_TESTS_PLUGIN_RECORDING_ITEM_H
#define NIMBO_TESTS_PLUGIN_RECORDING_ITEM_H

#include <cstdint>
#include <vector>

#include "KivVizCore/AGeometryItem.h"

namespace plugintest {

struct DrawRecord {
  std::uint64_t item = 0;
  bool cullEnabled = false;
  int cullMode = 0;
  float color[4] = {};
  int attribDepth = 0;
  int nameDepth = 0;
  double translation[3] = {};  // of the model-view matrix
};

class RecordingItem : public AGeometryItem {
 public:
  // Counts its destruction in `deletions` when given.
  RecordingItem(std::uint64_t id, std::vector<DrawRecord>& log, int* deletions = nullptr)
      : AGeometryItem(id), log(log), deletions(deletions) {}
  ~RecordingItem() override {
    if (deletions != nullptr) ++*deletions;
  }
  void Display(AView3DAdapter* adapter) override;

 private:
  std::vector<DrawRecord>& log;
  int* deletions;
};

}  // namespace plugintest

#endif
