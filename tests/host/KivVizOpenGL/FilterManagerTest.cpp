// The filter manager: filters shown until switched off, and copies of the
// rendering options' filters.
#include <gtest/gtest.h>

#include "KivVizCore/RenderingOptions.h"
#include "KivVizOpenGL/FilterManagerGL.h"

namespace {

TEST(FilterManagerTest, FiltersAreEnabledUntilSwitchedOffAndSynchronizeCopiesTheOptions) {
  FilterManagerGL filters;
  EXPECT_TRUE(filters.IsEnabled(5));
  EXPECT_TRUE(filters.IsEnabled(-1));
  filters.SetEnabled(5, false);
  filters.SetEnabled(1, false);
  EXPECT_FALSE(filters.IsEnabled(5));
  EXPECT_TRUE(filters.IsEnabled(6)) << "only that filter";
  RenderingOptions options;
  options.SetFilterVisible(5, false);
  options.SetFilterVisible(3, false);
  options.SetFilterVisible(4, true);
  filters.Synchronize(options);
  EXPECT_TRUE(filters.IsEnabled(1)) << "shown by options that do not mention it";
  EXPECT_FALSE(filters.IsEnabled(5));
  EXPECT_FALSE(filters.IsEnabled(3));
  EXPECT_TRUE(filters.IsEnabled(4));
  options.SetFilterVisible(3, true);
  EXPECT_FALSE(filters.IsEnabled(3)) << "a copy, not a view of the options";
  filters.Synchronize(RenderingOptions());
  EXPECT_TRUE(filters.IsEnabled(3) && filters.IsEnabled(5));
}

}  // namespace
