// Work deferred to the end of a scene traversal runs once, latest first, and
// only for what was deferred while a traversal ran.
#include <gtest/gtest.h>

#include <string>

#include "TestAdapter.h"

namespace {

const double kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

TEST(TraversalDeferralTest, WorkRunsOnceAtTheEndLatestFirstOnePerKey) {
  TestAdapter adapter;
  std::string ran;
  const char first = 0;
  const char second = 0;
  EXPECT_FALSE(adapter.IsTraversing());
  EXPECT_FALSE(adapter.DeferToTraversalEnd(&first, [&ran] { ran += 'x'; })) << "no traversal runs";

  adapter.BeginClipTracking(kIdentity);
  EXPECT_TRUE(adapter.IsTraversing());
  EXPECT_TRUE(adapter.DeferToTraversalEnd(&first, [&ran] { ran += '1'; }));
  EXPECT_FALSE(adapter.DeferToTraversalEnd(&first, [&ran] { ran += 'x'; })) << "the key is taken";
  EXPECT_TRUE(adapter.DeferToTraversalEnd(&second, [&ran, &adapter, &first] {
    ran += adapter.IsTraversing() ? 'T' : '2';
    EXPECT_FALSE(adapter.DeferToTraversalEnd(&first, [&ran] { ran += 'x'; })) << "the traversal is over";
  }));
  EXPECT_TRUE(adapter.HasDeferred(&first));
  EXPECT_EQ(ran, "");
  adapter.EndClipTracking();
  EXPECT_EQ(ran, "21");
  EXPECT_FALSE(adapter.HasDeferred(&first));
  adapter.EndClipTracking();
  EXPECT_EQ(ran, "21") << "nothing runs twice";

  // A traversal that begins before the last one ended finishes its work
  // first; the key is free again.
  adapter.BeginClipTracking(kIdentity);
  EXPECT_TRUE(adapter.DeferToTraversalEnd(&first, [&ran] { ran += '3'; }));
  adapter.BeginClipTracking(kIdentity);
  EXPECT_EQ(ran, "213");
  EXPECT_TRUE(adapter.DeferToTraversalEnd(&first, [&ran] { ran += '4'; }));
  adapter.EndClipTracking();
  EXPECT_EQ(ran, "2134");
}

}  // namespace
