#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <vector>

#include "KivVizCore/RenderId.h"

namespace {

TEST(RenderIdTest, EqualityAndOrderCompareLengthOriginAndEveryId) {
  const struct {
    const char* name;
    RenderId a, b;
    bool equal;
  } cases[] = {{"SamePath", RenderId({1, 5, 7}, 1), RenderId({1, 5, 7}, 1), true},
               {"BothEmpty", RenderId(), RenderId(), true},
               {"OtherOrigin", RenderId({1, 5, 7}, 1), RenderId({1, 5, 7}, 2), false},
               {"Prefix", RenderId({1, 5}, 1), RenderId({1, 5, 7}, 1), false},
               {"SameIdsOtherOrder", RenderId({1, 7, 5}, 1), RenderId({1, 5, 7}, 1), false},
               {"EmptyWithOrigin", RenderId(), RenderId({}, 1), false},
               {"HighBitsMatter", RenderId({1, 0x100000005ull}, 1), RenderId({1, 5}, 1), false}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.a == c.b, c.equal) << c.name;
    EXPECT_EQ(c.b == c.a, c.equal) << c.name;
    EXPECT_EQ(c.a != c.b, !c.equal) << c.name;
    EXPECT_EQ((c.a <=> c.b) == 0, c.equal) << c.name << ": ordering agrees with equality";
  }
  std::map<RenderId, int> marks;
  marks[RenderId({1, 5}, 1)] = 1;
  marks[RenderId({1, 5}, 2)] = 2;
  marks[RenderId({1, 5}, 1)] = 3;
  EXPECT_EQ(marks.size(), 2u);
  EXPECT_EQ(marks.at(RenderId({1, 5}, 1)), 3);
}

TEST(RenderIdTest, AppendExtendsThePathAndPrintingShowsOriginAndIds) {
  EXPECT_TRUE(RenderId().IsEmpty());
  EXPECT_EQ(RenderId().GetOrigin(), 0);
  RenderId path({1, 10000}, RenderId::SceneOrigin);
  path.Append(42);
  ASSERT_EQ(path.Length(), 3u);
  EXPECT_EQ(path[2], 42u);
  EXPECT_EQ(path, RenderId({1, 10000, 42}, 1));
  std::ostringstream out;
  out << RenderId({1, 5, 7}, 1) << ' ' << RenderId();
  EXPECT_EQ(out.str(), "1:[1/5/7] 0:[]");
}

}  // namespace
