#include <gtest/gtest.h>

#include <sstream>

#include "KivVizCore/EntityId.h"

namespace {

TEST(EntityIdTest, DefaultAddressesNothing) {
  const EntityId entity;
  EXPECT_FALSE(entity.IsValid());
  EXPECT_EQ(entity.GetLevel(), EntityId::Level::None);
}

TEST(EntityIdTest, LevelFollowsTheIdsGiven) {
  EXPECT_EQ(EntityId(3).GetLevel(), EntityId::Level::Model);
  EXPECT_EQ(EntityId(3, 4).GetLevel(), EntityId::Level::Part);
  EXPECT_EQ(EntityId(3, 4, 10002).GetLevel(), EntityId::Level::Category);
  const EntityId element(3, 4, 10002, 77);
  EXPECT_EQ(element.GetLevel(), EntityId::Level::Element);
  EXPECT_EQ(element.GetModel(), 3u);
  EXPECT_EQ(element.GetPart(), 4u);
  EXPECT_EQ(element.GetCategory(), 10002u);
  EXPECT_EQ(element.GetElement(), 77u);
}

TEST(EntityIdTest, AModelIsNotItsFirstPart) {
  // Id 0 is a valid id: the level, not the value, tells where the entity ends.
  EXPECT_NE(EntityId(3), EntityId(3, 0));
  EXPECT_EQ(EntityId(3, 0), EntityId(3, 0));
}

TEST(EntityIdTest, PrintsItsIdsDownToItsLevel) {
  std::ostringstream out;
  out << EntityId(3, 4) << ' ' << EntityId();
  EXPECT_EQ(out.str(), "entity(3/4) entity()");
}

}  // namespace
