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
  options.SetPickSurfaces(false);
  options.SetPickCurves(false);
  options.SetPickPoints(false);
  options.SetFilterVisible(4, false);
  EXPECT_FALSE(options.pickSurfaces || options.pickCurves || options.pickPoints);
  EXPECT_FALSE(options.IsFilterVisible(4));
  EXPECT_TRUE(options.IsFilterVisible(5));
  EXPECT_EQ(first.told, std::vector<IRenderingOptions*>(4, &options));
  EXPECT_EQ(second.told.size(), 4u);
  options.RemoveListener(&first);
  options.Notify();
  EXPECT_EQ(first.told.size(), 4u);
  EXPECT_EQ(second.told.size(), 5u);
}

TEST(RenderingOptionsTest, CopyTakesSettingsButNotListeners) {
  RenderingOptions source;
  RecordingListener sourceListener;
  source.AddListener(&sourceListener);
  source.SetPickCurves(false);
  source.SetFilterVisible(2, false);
  RenderingOptions target;
  RecordingListener targetListener;
  target.AddListener(&targetListener);
  target.SetFilterVisible(3, false);
  target.CopySettingsFrom(source);
  EXPECT_TRUE(target.pickSurfaces);
  EXPECT_FALSE(target.pickCurves);
  EXPECT_FALSE(target.IsFilterVisible(2));
  EXPECT_TRUE(target.IsFilterVisible(3));
  EXPECT_EQ(target.Listeners(), std::vector<IRenderingOptionsListener*>{&targetListener});
  EXPECT_EQ(targetListener.told.back(), &target);
  EXPECT_EQ(sourceListener.told.size(), 2u);
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
