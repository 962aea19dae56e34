// The choice among hits under the cursor, as a table over pick lists.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "PickWinner.h"

namespace {

using NimboView3dOpenGLSG::PickWinner;

Pick Hit(std::uint64_t category, float zmin, float zmax, std::uint64_t leaf = 9) {
  Pick pick(0, zmin, zmax);
  pick.renderId = RenderId({1, 2, 3, category, leaf}, 1);
  return pick;
}

Pick ShortHit(float zmin, float zmax) {
  Pick pick(0, zmin, zmax);
  pick.renderId = RenderId({1, 2, 10002}, 1);
  return pick;
}

struct Case {
  std::string name;
  std::vector<Pick> picks;
  int expected;
  bool surfaces = true;
  bool curves = true;
  bool points = true;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class PickWinnerTest : public ::testing::TestWithParam<Case> {};

TEST_P(PickWinnerTest, ChoosesByCategoryThenDepth) {
  const Case& c = GetParam();
  EXPECT_EQ(PickWinner::Choose(c.picks, c.surfaces, c.curves, c.points), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, PickWinnerTest,
    ::testing::Values(
        Case{"EmptyList", {}, -1},
        Case{"SingleSurface", {Hit(10002, 0.5f, 0.6f)}, 0},
        Case{"NoCategoryIsPassedOver", {Hit(42, 0.1f, 0.2f), Hit(10002, 0.5f, 0.6f)}, 1},
        Case{"PathTooShortHasNoCategory", {ShortHit(0.1f, 0.2f)}, -1},
        Case{"SameCategoryNearerZminWins", {Hit(10002, 0.5f, 0.6f), Hit(10002, 0.4f, 0.9f)}, 1},
        Case{"SameCategoryEqualZminSmallerZmaxWins",
             {Hit(10002, 0.5f, 0.6f), Hit(10002, 0.5f, 0.55f)}, 1},
        Case{"SameCategoryTieKeepsTheFirst", {Hit(10002, 0.5f, 0.6f), Hit(10002, 0.5f, 0.6f)}, 0},
        Case{"SameCategoryFartherStays", {Hit(10001, 0.3f, 0.4f), Hit(10001, 0.35f, 0.36f)}, 0},
        Case{"EqualDepthsPointsAfterSurfacesWin",
             {Hit(10002, 0.5f, 0.6f), Hit(10000, 0.5f, 0.6f)}, 1},
        Case{"EqualDepthsPointsBeforeSurfacesStay",
             {Hit(10000, 0.5f, 0.6f), Hit(10002, 0.5f, 0.6f)}, 0},
        Case{"HigherCategoryNeverReplacesEvenWhenNearer",
             {Hit(10000, 0.5f, 0.6f), Hit(10002, 0.1f, 0.2f)}, 0},
        Case{"PointsWinWhenTheirZmaxIsNotBehind",
             {Hit(10002, 0.5f, 0.6f), Hit(10000, 0.55f, 0.6f)}, 1},
        Case{"PointsBehindStayOut", {Hit(10002, 0.5f, 0.6f), Hit(10000, 0.55f, 0.65f)}, 0},
        Case{"PointsReplacePointsWithZmaxNotBehind",
             {Hit(10000, 0.5f, 0.6f), Hit(10000, 0.55f, 0.6f)}, 1},
        Case{"LowerCategoryNearerWins", {Hit(10002, 0.5f, 0.6f), Hit(10001, 0.4f, 0.9f)}, 1},
        Case{"LowerCategoryEqualZminEqualZmaxWins",
             {Hit(10002, 0.5f, 0.6f), Hit(10001, 0.5f, 0.6f)}, 1},
        Case{"LowerCategoryFartherStays", {Hit(10002, 0.5f, 0.6f), Hit(10001, 0.51f, 0.52f)}, 0},
        Case{"SurfacesSwitchedOff", {Hit(10002, 0.1f, 0.2f), Hit(10001, 0.5f, 0.6f)}, 1, false},
        Case{"CurvesSwitchedOff", {Hit(10001, 0.1f, 0.2f)}, -1, true, false},
        Case{"PointsSwitchedOff", {Hit(10000, 0.1f, 0.2f), Hit(10002, 0.5f, 0.6f)}, 1, true, true,
             false},
        Case{"AllSwitchedOff", {Hit(10000, 0.1f, 0.2f), Hit(10002, 0.5f, 0.6f)}, -1, false, false,
             false},
        Case{"BestAfterSeveralReplacements",
             {Hit(42, 0.0f, 0.0f), Hit(10002, 0.5f, 0.6f), Hit(10002, 0.45f, 0.7f),
              Hit(10001, 0.6f, 0.7f), Hit(10001, 0.45f, 0.5f), Hit(10002, 0.1f, 0.2f)},
             4}),
    [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

}  // namespace
