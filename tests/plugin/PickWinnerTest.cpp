// The choice among hits under the cursor, as a table over pick lists.
#include <gtest/gtest.h>

#include "PickWinner.h"

namespace {

using NimboView3dOpenGLSG::PickWinner;

// A hit on model/part/category/leaf, or on a path too short to name a category.
Pick Hit(std::uint64_t category, float zmin, float zmax, bool tooShort = false) {
  Pick pick(0, zmin, zmax);
  pick.renderId = tooShort ? RenderId({1, 2, category}, 1) : RenderId({1, 2, 3, category, 9}, 1);
  return pick;
}

TEST(PickWinnerTest, ChoosesByCategoryThenDepth) {
  const struct {
    const char* name;
    std::vector<Pick> picks;
    int expected;
    bool surfaces = true, curves = true, points = true;
  } cases[] = {{"EmptyList", {}, -1},
               {"NoCategoryIsPassedOver", {Hit(42, 0.1f, 0.2f), Hit(10002, 0.5f, 0.6f)}, 1},
               {"PathTooShortHasNoCategory", {Hit(10002, 0.1f, 0.2f, true)}, -1},
               {"SameCategoryNearerZminWins", {Hit(10002, 0.5f, 0.6f), Hit(10002, 0.4f, 0.9f)}, 1},
               {"SameCategoryEqualZminSmallerZmaxWins", {Hit(10002, 0.5f, 0.6f), Hit(10002, 0.5f, 0.55f)}, 1},
               {"SameCategoryTieKeepsTheFirst", {Hit(10002, 0.5f, 0.6f), Hit(10002, 0.5f, 0.6f)}, 0},
               {"SameCategoryFartherStays", {Hit(10001, 0.3f, 0.4f), Hit(10001, 0.35f, 0.36f)}, 0},
               {"HigherCategoryNeverReplacesEvenWhenNearer", {Hit(10000, 0.5f, 0.6f), Hit(10002, 0.1f, 0.2f)}, 0},
               {"PointsWinWhenTheirZmaxIsNotBehind", {Hit(10002, 0.5f, 0.6f), Hit(10000, 0.55f, 0.6f)}, 1},
               {"PointsBehindStayOut", {Hit(10002, 0.5f, 0.6f), Hit(10000, 0.55f, 0.65f)}, 0},
               {"PointsReplacePointsWithZmaxNotBehind", {Hit(10000, 0.5f, 0.6f), Hit(10000, 0.55f, 0.6f)}, 1},
               {"LowerCategoryEqualDepthsWins", {Hit(10002, 0.5f, 0.6f), Hit(10001, 0.5f, 0.6f)}, 1},
               {"LowerCategoryFartherStays", {Hit(10002, 0.5f, 0.6f), Hit(10001, 0.51f, 0.52f)}, 0},
               {"SurfacesSwitchedOff", {Hit(10002, 0.1f, 0.2f), Hit(10001, 0.5f, 0.6f)}, 1, false},
               {"CurvesSwitchedOff", {Hit(10001, 0.1f, 0.2f)}, -1, true, false},
               {"PointsSwitchedOff", {Hit(10000, 0.1f, 0.2f), Hit(10002, 0.5f, 0.6f)}, 1, true, true, false},
               {"BestAfterSeveralReplacements",
                {Hit(42, 0.0f, 0.0f), Hit(10002, 0.5f, 0.6f), Hit(10002, 0.45f, 0.7f), Hit(10001, 0.6f, 0.7f),
                 Hit(10001, 0.45f, 0.5f), Hit(10002, 0.1f, 0.2f)},
                4}};
  for (const auto& c : cases) {
    EXPECT_EQ(PickWinner::Choose(c.picks, c.surfaces, c.curves, c.points), c.expected) << c.name;
  }
}

}  // namespace
