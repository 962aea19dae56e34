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
  double translation[3] = {};
};

class RecordingItem : public AGeometryItem {
 public:
  RecordingItem(std::uint64_t id, std::vector<DrawRecord>& log, int* deletions = nullptr)
      : AGeometryItem(id), log_(log), deletions_(deletions) {}
  ~RecordingItem() override;
  void Display(AView3DAdapter* adapter) override;

 private:
  std::vector<DrawRecord>& log_;
  int* deletions_;
};

}  // namespace plugintest

#endif
