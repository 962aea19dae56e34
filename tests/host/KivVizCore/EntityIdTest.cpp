#include <gtest/gtest.h>

#include <sstream>

#include "KivVizCore/EntityId.h"

namespace {

TEST(EntityIdTest, LevelFollowsTheIdsGivenAndPrintsDownToIt) {
  EXPECT_FALSE(EntityId().IsValid());
  EXPECT_EQ(EntityId().GetLevel(), EntityId::Level::None);
  EXPECT_EQ(EntityId(3).GetLevel(), EntityId::Level::Model);
  EXPECT_EQ(EntityId(3, 4).GetLevel(), EntityId::Level::Part);
  EXPECT_EQ(EntityId(3, 4, 10002).GetLevel(), EntityId::Level::Category);
  EXPECT_EQ(EntityId(3, 4, 10002, 77).GetLevel(), EntityId::Level::Element);
  // Id 0 is a valid id: the level, not the value, tells where the entity ends.
  EXPECT_NE(EntityId(3), EntityId(3, 0));
  EXPECT_EQ(EntityId(3, 0), EntityId(3, 0));
  std::ostringstream out;
  out << EntityId(3, 4) << ' ' << EntityId();
  EXPECT_EQ(out.str(), "entity(3/4) entity()");
}

}  // namespace
