#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <vector>

#include "KivVizCore/Pick.h"
#include "KivVizCore/RenderId.h"

namespace {

struct EqualityCase {
  const char* name;
  RenderId a;
  RenderId b;
  bool equal;

  // Names the case in test listings instead of dumping its bytes.
  friend void PrintTo(const EqualityCase& value, std::ostream* out) { *out << value.name; }
};

class RenderIdEqualityTest : public testing::TestWithParam<EqualityCase> {};

TEST_P(RenderIdEqualityTest, ComparesLengthOriginAndIds) {
  const auto& param = GetParam();
  EXPECT_EQ(param.a == param.b, param.equal);
  EXPECT_EQ(param.b == param.a, param.equal);
  EXPECT_EQ(param.a != param.b, !param.equal);
  // Ordering agrees with equality, so paths can key ordered containers.
  EXPECT_EQ((param.a <=> param.b) == 0, param.equal);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RenderIdEqualityTest,
    testing::Values(EqualityCase{"SamePath", RenderId({1, 5, 7}, 1), RenderId({1, 5, 7}, 1), true},
                    EqualityCase{"BothEmpty", RenderId(), RenderId(), true},
                    EqualityCase{"OtherOrigin", RenderId({1, 5, 7}, 1), RenderId({1, 5, 7}, 2), false},
                    EqualityCase{"Prefix", RenderId({1, 5}, 1), RenderId({1, 5, 7}, 1), false},
                    EqualityCase{"OtherLastId", RenderId({1, 5, 7}, 1), RenderId({1, 5, 8}, 1), false},
                    EqualityCase{"SameIdsOtherOrder", RenderId({1, 7, 5}, 1), RenderId({1, 5, 7}, 1), false},
                    EqualityCase{"EmptyWithOrigin", RenderId(), RenderId({}, 1), false},
                    EqualityCase{"HighBitsMatter", RenderId({1, 0x100000005ull}, 1), RenderId({1, 5}, 1),
                                 false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RenderIdTest, EmptyPathHasNoIdsAndOriginZero) {
  const RenderId path;
  EXPECT_EQ(path.Length(), 0u);
  EXPECT_TRUE(path.IsEmpty());
  EXPECT_EQ(path.GetOrigin(), 0);
}

TEST(RenderIdTest, IndexingAndAppendFollowThePath) {
  RenderId path({1, 10000}, RenderId::SceneOrigin);
  path.Append(42);
  ASSERT_EQ(path.Length(), 3u);
  EXPECT_EQ(path[0], 1u);
  EXPECT_EQ(path[1], 10000u);
  EXPECT_EQ(path[2], 42u);
  EXPECT_EQ(path, RenderId({1, 10000, 42}, 1));
}

TEST(RenderIdTest, AssignmentCopiesIdsAndOrigin) {
  RenderId target({9}, 3);
  const RenderId source({1, 2, 3}, 1);
  target = source;
  EXPECT_EQ(target, source);
}

TEST(RenderIdTest, PathsKeyAnOrderedMap) {
  std::map<RenderId, int> marks;
  marks[RenderId({1, 5}, 1)] = 1;
  marks[RenderId({1, 5}, 2)] = 2;
  marks[RenderId({1, 5, 7}, 1)] = 3;
  marks[RenderId({1, 5}, 1)] = 4;
  EXPECT_EQ(marks.size(), 3u);
  EXPECT_EQ(marks.at(RenderId({1, 5}, 1)), 4);
}

TEST(RenderIdTest, PrintsOriginAndIds) {
  std::ostringstream out;
  out << RenderId({1, 5, 7}, 1) << ' ' << RenderId();
  EXPECT_EQ(out.str(), "1:[1/5/7] 0:[]");
}

TEST(PickTest, CopiesCarryThePath) {
  Pick pick(0, 0.25f, 0.5f);
  pick.renderId = RenderId({1, 2}, 1);
  std::vector<Pick> picks{pick};
  EXPECT_EQ(picks[0].name, 0);
  EXPECT_FLOAT_EQ(picks[0].zmin, 0.25f);
  EXPECT_FLOAT_EQ(picks[0].zmax, 0.5f);
  EXPECT_EQ(picks[0].renderId, RenderId({1, 2}, 1));
}

}  // namespace
