// Rendering options: defaults, and telling listeners of every change.
#include <gtest/gtest.h>

#include <vector>

#include "KivVizCore/IRenderingOptionsListener.h"
#include "KivVizCore/RenderingOptions.h"

namespace {

class RecordingListener : public IRenderingOptionsListener {
 public:
  void RenderingOptionsNotify(IRenderingOptions* options) override { told.push_back(options); }
  std::vector<IRenderingOptions*> told;
};

TEST(RenderingOptionsTest, EverythingIsOnAtFirstAndEverySetterTellsEveryListenerOnce) {
  RenderingOptions options;
  EXPECT_TRUE(options.pickSurfaces && options.pickCurves && options.pickPoints);
  EXPECT_TRUE(options.IsFilterVisible(1));
  EXPECT_TRUE(options.IsFilterVisible(-3));
  RecordingListener first;
  RecordingListener second;
  options.AddListener(&first);
  options.AddListener(&second);
  options.AddListener(&first);
  options.AddListener(nullptr);
  EXPECT_EQ(options.Listeners().size(), 2u);
  options.SetPickCurves(false);
  options.SetFilterVisible(4, false);
  EXPECT_FALSE(options.pickCurves);
  EXPECT_FALSE(options.IsFilterVisible(4));
  EXPECT_TRUE(options.IsFilterVisible(5));
  EXPECT_EQ(first.told, std::vector<IRenderingOptions*>(2, &options));
  EXPECT_EQ(second.told.size(), 2u);
  options.RemoveListener(&first);
  options.Notify();
  EXPECT_EQ(first.told.size(), 2u);
  EXPECT_EQ(second.told.size(), 3u);
}

TEST(RenderingOptionsTest, ListenerMayLeaveWhileBeingTold) {
  RenderingOptions options;
  struct Leaving : IRenderingOptionsListener {
    explicit Leaving(RenderingOptions& options) : options(options) {}
    void RenderingOptionsNotify(IRenderingOptions*) override {
      ++count;
      options.RemoveListener(this);
    }
    RenderingOptions& options;
    int count = 0;
  } leaving(options);
  RecordingListener staying;
  options.AddListener(&leaving);
  options.AddListener(&staying);
  options.Notify();
  options.Notify();
  EXPECT_EQ(leaving.count, 1);
  EXPECT_EQ(staying.told.size(), 2u);
}

}  // namespace
