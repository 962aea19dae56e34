// Marks of HighlightStrategyGL on a real scene: colours, stickiness,
// restoration, and nodes that go away under a mark.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "HighlightScene.h"

namespace {

using NimboTest::HighlightScene;

struct ColourState {
  std::optional<RGBAColor> color;  // nothing: no colour attribute
  bool opaque = true;
};

ColourState StateOf(HighlightScene& scene, std::uint64_t id) {
  const AttributeColor* attribute = scene.ColorOf(id);
  if (attribute == nullptr) {
    return {};
  }
  return {attribute->GetColor(), attribute->IsOpaque()};
}

void ExpectState(HighlightScene& scene, std::uint64_t id, const ColourState& expected) {
  const ColourState actual = StateOf(scene, id);
  ASSERT_EQ(actual.color.has_value(), expected.color.has_value()) << "node " << id;
  if (expected.color) {
    EXPECT_EQ(*actual.color, *expected.color) << "node " << id;
    EXPECT_EQ(actual.opaque, expected.opaque) << "node " << id;
  }
}

RGBAColor WithAlpha(RGBAColor color, std::uint8_t alpha) {
  color.alpha = alpha;
  return color;
}

struct MarkCase {
  std::string name;
  std::uint64_t node;
  bool sticky;
  RGBAColor marked;
  bool opaque;
};

void PrintTo(const MarkCase& c, std::ostream* out) { *out << c.name; }

class HighlightMarkTest : public ::testing::TestWithParam<MarkCase> {};

TEST_P(HighlightMarkTest, RecoloursKeepingAlphaAndUndoRestoresExactly) {
  HighlightScene scene;
  const MarkCase& c = GetParam();
  const ColourState before = StateOf(scene, c.node);
  scene.strategy->SetStickySelection(c.sticky);
  ASSERT_TRUE(scene.strategy->Do(HighlightScene::PathOf(c.node)));
  EXPECT_TRUE(scene.strategy->IsDone(HighlightScene::PathOf(c.node)));
  ExpectState(scene, c.node, {c.marked, c.opaque});

  ASSERT_TRUE(scene.strategy->Undo(HighlightScene::PathOf(c.node)));
  EXPECT_FALSE(scene.strategy->IsDone(HighlightScene::PathOf(c.node)));
  ExpectState(scene, c.node, before);
  EXPECT_FALSE(scene.strategy->Undo(HighlightScene::PathOf(c.node))) << "nothing left to undo";
}

constexpr RGBAColor Hover = HighlightStrategyGL::HighlightColor;
constexpr RGBAColor Selected = HighlightStrategyGL::SelectionColor;

INSTANTIATE_TEST_SUITE_P(
    Cases, HighlightMarkTest,
    ::testing::Values(
        MarkCase{"OpaqueHover", HighlightScene::Opaque, false, Hover, true},
        MarkCase{"OpaqueSelection", HighlightScene::Opaque, true, Selected, true},
        MarkCase{"UncolouredBecomesOpaqueHover", HighlightScene::Uncoloured, false, Hover, true},
        MarkCase{"TransparentStaysTransparent", HighlightScene::Transparent, false, WithAlpha(Hover, 128), false},
        MarkCase{"TransparentSelection", HighlightScene::Transparent, true, WithAlpha(Selected, 128), false},
        MarkCase{"OpaqueFlagKeptWithItsAlpha", HighlightScene::OpaqueFlagged, false, WithAlpha(Hover, 128), true},
        MarkCase{"TransparentGroup", HighlightScene::Group, true, WithAlpha(Selected, 100), false},
        MarkCase{"UncolouredInheritsTheGroupsAlpha", HighlightScene::InGroup, false, WithAlpha(Hover, 100), false}),
    [](const auto& info) { return info.param.name; });

TEST(HighlightStrategyGLTest, MarkColoursDifferAndAreOpaque) {
  EXPECT_NE(Hover, Selected);
  EXPECT_TRUE(Hover.IsOpaque());
  EXPECT_TRUE(Selected.IsOpaque());
}

TEST(HighlightStrategyGLTest, AHoverMarkReplacesThePreviousHover) {
  HighlightScene scene;
  scene.strategy->SetStickySelection(false);
  ASSERT_TRUE(scene.strategy->Do(HighlightScene::PathOf(HighlightScene::Opaque)));
  ASSERT_TRUE(scene.strategy->Do(HighlightScene::PathOf(HighlightScene::Uncoloured)));
  EXPECT_FALSE(scene.strategy->IsDone(HighlightScene::PathOf(HighlightScene::Opaque)));
  ExpectState(scene, HighlightScene::Opaque, {HighlightScene::OpaqueColor, true});
  ExpectState(scene, HighlightScene::Uncoloured, {Hover, true});
  ASSERT_TRUE(scene.strategy->Do(HighlightScene::PathOf(HighlightScene::Uncoloured)))
      << "hovering the same node again";
  ExpectState(scene, HighlightScene::Uncoloured, {Hover, true});
  scene.strategy->Undo();
  ExpectState(scene, HighlightScene::Uncoloured, {});
}

TEST(HighlightStrategyGLTest, StickyMarksAddUpAndUndoAllRestoresEveryNode) {
  HighlightScene scene;
  scene.strategy->SetStickySelection(true);
  ASSERT_TRUE(scene.strategy->Do(HighlightScene::PathOf(HighlightScene::Opaque)));
  ASSERT_TRUE(scene.strategy->Do(HighlightScene::PathOf(HighlightScene::Transparent)));
  scene.strategy->SetStickySelection(false);
  ASSERT_TRUE(scene.strategy->Do(HighlightScene::PathOf(HighlightScene::Uncoloured)));
  ExpectState(scene, HighlightScene::Opaque, {Selected, true});
  ExpectState(scene, HighlightScene::Transparent, {WithAlpha(Selected, 128), false});
  ExpectState(scene, HighlightScene::Uncoloured, {Hover, true});
  for (std::uint64_t id : {HighlightScene::Opaque, HighlightScene::Transparent, HighlightScene::Uncoloured}) {
    EXPECT_TRUE(scene.strategy->IsDone(HighlightScene::PathOf(id))) << id;
  }

  scene.strategy->Undo();
  ExpectState(scene, HighlightScene::Opaque, {HighlightScene::OpaqueColor, true});
  ExpectState(scene, HighlightScene::Transparent, {HighlightScene::TransparentColor, false});
  ExpectState(scene, HighlightScene::Uncoloured, {});
  EXPECT_FALSE(scene.strategy->IsDone(HighlightScene::PathOf(HighlightScene::Opaque)));
}

TEST(HighlightStrategyGLTest, SelectingTheHoveredNodeMakesItsMarkLast) {
  HighlightScene scene;
  const RenderId opaque = HighlightScene::PathOf(HighlightScene::Opaque);
  scene.strategy->SetStickySelection(false);
  scene.strategy->Do(opaque);
  scene.strategy->SetStickySelection(true);
  scene.strategy->Do(opaque);
  ExpectState(scene, HighlightScene::Opaque, {Selected, true});
  scene.strategy->SetStickySelection(false);
  scene.strategy->Do(HighlightScene::PathOf(HighlightScene::Uncoloured));
  SCOPED_TRACE("the hover moving on keeps the selection");
  ExpectState(scene, HighlightScene::Opaque, {Selected, true});
  ASSERT_TRUE(scene.strategy->Undo(opaque));
  SCOPED_TRACE("the colour before the hover, not the hover colour");
  ExpectState(scene, HighlightScene::Opaque, {HighlightScene::OpaqueColor, true});
}

TEST(HighlightStrategyGLTest, HoveringASelectedNodeKeepsItSelected) {
  HighlightScene scene;
  const RenderId opaque = HighlightScene::PathOf(HighlightScene::Opaque);
  scene.strategy->SetStickySelection(true);
  scene.strategy->Do(opaque);
  scene.strategy->SetStickySelection(false);
  scene.strategy->Do(HighlightScene::PathOf(HighlightScene::Uncoloured));
  ASSERT_TRUE(scene.strategy->Do(opaque));
  ExpectState(scene, HighlightScene::Opaque, {Selected, true});
  SCOPED_TRACE("the previous hover goes");
  ExpectState(scene, HighlightScene::Uncoloured, {});
  ASSERT_TRUE(scene.strategy->Undo(opaque));
  ExpectState(scene, HighlightScene::Opaque, {HighlightScene::OpaqueColor, true});
}

TEST(HighlightStrategyGLTest, PathsThatLeadNowhereAreNotMarked) {
  HighlightScene scene;
  EXPECT_FALSE(scene.strategy->Do(HighlightScene::PathOf(99)));
  EXPECT_FALSE(scene.strategy->Do(RenderId()));
  EXPECT_FALSE(scene.strategy->IsDone(HighlightScene::PathOf(99)));
  EXPECT_FALSE(scene.strategy->Undo(HighlightScene::PathOf(99)));
  HighlightStrategyGL detached(nullptr);
  EXPECT_FALSE(detached.Do(HighlightScene::PathOf(HighlightScene::Opaque)));
}

TEST(HighlightStrategyGLTest, ADeletedNodeUnderAMarkIsHarmless) {
  HighlightScene scene;
  const RenderId opaque = HighlightScene::PathOf(HighlightScene::Opaque);
  scene.strategy->SetStickySelection(true);
  scene.strategy->Do(opaque);
  scene.strategy->Do(HighlightScene::PathOf(HighlightScene::Transparent));
  ASSERT_TRUE(scene.Category().DeleteChildById(HighlightScene::Opaque));
  EXPECT_FALSE(scene.strategy->IsDone(opaque));
  ASSERT_TRUE(scene.strategy->Do(HighlightScene::PathOf(HighlightScene::Uncoloured)));
  scene.strategy->Undo(opaque);
  scene.strategy->Undo();
  ExpectState(scene, HighlightScene::Transparent, {HighlightScene::TransparentColor, false});
  ExpectState(scene, HighlightScene::Uncoloured, {});
}

TEST(HighlightStrategyGLTest, ANodeRebuiltAtTheSamePathKeepsItsOwnColour) {
  HighlightScene scene;
  const RenderId opaque = HighlightScene::PathOf(HighlightScene::Opaque);
  scene.strategy->SetStickySelection(true);
  scene.strategy->Do(opaque);
  scene.Category().DeleteChildById(HighlightScene::Opaque);
  const RGBAColor rebuilt{1, 2, 3, 255};
  scene.Category().CreateChildGeoNode(HighlightScene::Opaque)->SetAttribute(new AttributeColor(rebuilt));
  EXPECT_FALSE(scene.strategy->IsDone(opaque)) << "the new node shows no mark";
  scene.strategy->Undo(opaque);
  ExpectState(scene, HighlightScene::Opaque, {rebuilt, true});

  ASSERT_TRUE(scene.strategy->Do(opaque)) << "marking it again marks the new node";
  ExpectState(scene, HighlightScene::Opaque, {Selected, true});
  scene.strategy->Undo();
  ExpectState(scene, HighlightScene::Opaque, {rebuilt, true});
}

TEST(HighlightStrategyGLTest, ANodeRecolouredUnderAMarkKeepsTheNewColour) {
  HighlightScene scene;
  const RenderId opaque = HighlightScene::PathOf(HighlightScene::Opaque);
  scene.strategy->Do(opaque);
  const RGBAColor recoloured{7, 7, 7, 255};
  scene.NodeOf(HighlightScene::Opaque).SetAttribute(new AttributeColor(recoloured));
  EXPECT_TRUE(scene.strategy->Undo(opaque));
  ExpectState(scene, HighlightScene::Opaque, {recoloured, true});
}

TEST(HighlightStrategyGLTest, TheViewsAdapterReachesTheMarks) {
  HighlightScene scene;
  const RenderId transparent = HighlightScene::PathOf(HighlightScene::Transparent);
  ASSERT_TRUE(scene.view.Highlight(transparent));
  EXPECT_TRUE(scene.view.IsHighlighted(transparent));
  scene.view.Select(HighlightScene::PathOf(HighlightScene::Opaque));
  EXPECT_TRUE(scene.view.IsHighlighted(HighlightScene::PathOf(HighlightScene::Opaque)));
  scene.view.UnHighlight();
  EXPECT_FALSE(scene.view.IsHighlighted(transparent));
  ExpectState(scene, HighlightScene::Transparent, {HighlightScene::TransparentColor, false});
  ExpectState(scene, HighlightScene::Opaque, {HighlightScene::OpaqueColor, true});
}

}  // namespace
