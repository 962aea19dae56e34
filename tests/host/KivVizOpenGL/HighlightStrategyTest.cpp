// Marks of HighlightStrategyGL on a real scene: colours, stickiness,
// restoration, and nodes that go away under a mark.
#include <gtest/gtest.h>

#include <optional>
#include <utility>

#include "HighlightScene.h"

namespace {

using NimboTest::HighlightScene;

constexpr RGBAColor Hover = HighlightStrategyGL::HighlightColor;
constexpr RGBAColor Selected = HighlightStrategyGL::SelectionColor;

RGBAColor WithAlpha(RGBAColor color, std::uint8_t alpha) {
  color.alpha = alpha;
  return color;
}

class HighlightStrategyGLTest : public ::testing::Test {
 protected:
  // The node's colour and opacity; nothing without a colour attribute.
  std::optional<std::pair<RGBAColor, bool>> ColourOf(std::uint64_t id) {
    const AttributeColor* attribute = scene.ColorOf(id);
    if (attribute == nullptr) return std::nullopt;
    return std::pair{attribute->GetColor(), attribute->IsOpaque()};
  }
  bool Do(std::uint64_t id, bool sticky) {
    scene.strategy->SetStickySelection(sticky);
    return scene.strategy->Do(HighlightScene::PathOf(id));
  }
  bool Undo(std::uint64_t id) { return scene.strategy->Undo(HighlightScene::PathOf(id)); }
  bool IsDone(std::uint64_t id) { return scene.strategy->IsDone(HighlightScene::PathOf(id)); }

  HighlightScene scene;
};

using State = std::optional<std::pair<RGBAColor, bool>>;
const State kOriginalOpaque = std::pair{HighlightScene::OpaqueColor, true};
const State kOriginalTransparent = std::pair{HighlightScene::TransparentColor, false};

TEST_F(HighlightStrategyGLTest, MarksRecolourKeepingAlphaAndUndoRestoresExactly) {
  const struct {
    const char* name;
    std::uint64_t node;
    bool sticky;
    RGBAColor marked;
    bool opaque;
  } cases[] = {
      {"OpaqueHover", HighlightScene::Opaque, false, Hover, true},
      {"OpaqueSelection", HighlightScene::Opaque, true, Selected, true},
      {"UncolouredBecomesOpaqueHover", HighlightScene::Uncoloured, false, Hover, true},
      {"TransparentStaysTransparent", HighlightScene::Transparent, false, WithAlpha(Hover, 128), false},
      {"TransparentSelection", HighlightScene::Transparent, true, WithAlpha(Selected, 128), false},
      {"OpaqueFlagKeptWithItsAlpha", HighlightScene::OpaqueFlagged, false, WithAlpha(Hover, 128), true},
      {"TransparentGroup", HighlightScene::Group, true, WithAlpha(Selected, 100), false},
      {"UncolouredInheritsTheGroupsAlpha", HighlightScene::InGroup, false, WithAlpha(Hover, 100), false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const State before = ColourOf(c.node);
    ASSERT_TRUE(Do(c.node, c.sticky));
    EXPECT_TRUE(IsDone(c.node));
    EXPECT_EQ(ColourOf(c.node), (std::pair{c.marked, c.opaque}));
    ASSERT_TRUE(Undo(c.node));
    EXPECT_FALSE(IsDone(c.node));
    EXPECT_EQ(ColourOf(c.node), before);
    EXPECT_FALSE(Undo(c.node)) << "nothing left to undo";
  }
  EXPECT_NE(Hover, Selected);
  EXPECT_TRUE(Hover.IsOpaque() && Selected.IsOpaque());
}

TEST_F(HighlightStrategyGLTest, HoverMarksReplaceEachOtherAndStickyMarksAddUp) {
  ASSERT_TRUE(Do(HighlightScene::Opaque, true));
  ASSERT_TRUE(Do(HighlightScene::Transparent, true));
  ASSERT_TRUE(Do(HighlightScene::Uncoloured, false));
  ASSERT_TRUE(Do(HighlightScene::OpaqueFlagged, false));
  EXPECT_FALSE(IsDone(HighlightScene::Uncoloured)) << "a hover replaces the previous hover";
  EXPECT_EQ(ColourOf(HighlightScene::Uncoloured), std::nullopt);
  ASSERT_TRUE(Do(HighlightScene::OpaqueFlagged, false)) << "hovering the same node again";
  EXPECT_EQ(ColourOf(HighlightScene::Opaque), (std::pair{Selected, true}));
  EXPECT_EQ(ColourOf(HighlightScene::Transparent), (std::pair{WithAlpha(Selected, 128), false}));
  EXPECT_TRUE(IsDone(HighlightScene::OpaqueFlagged));
  scene.strategy->Undo();
  EXPECT_EQ(ColourOf(HighlightScene::Opaque), kOriginalOpaque);
  EXPECT_EQ(ColourOf(HighlightScene::Transparent), kOriginalTransparent);
  EXPECT_EQ(ColourOf(HighlightScene::OpaqueFlagged), (std::pair{HighlightScene::FlaggedColor, true}));
  EXPECT_FALSE(IsDone(HighlightScene::Opaque));
}

TEST_F(HighlightStrategyGLTest, SelectionAndHoverOfOneNodeRestoreTheColourBeforeBoth) {
  // Selecting the hovered node makes its mark last; the hover moving on keeps it.
  Do(HighlightScene::Opaque, false);
  Do(HighlightScene::Opaque, true);
  EXPECT_EQ(ColourOf(HighlightScene::Opaque), (std::pair{Selected, true}));
  Do(HighlightScene::Uncoloured, false);
  EXPECT_EQ(ColourOf(HighlightScene::Opaque), (std::pair{Selected, true}));
  // Hovering the selected node keeps it selected; the previous hover goes.
  ASSERT_TRUE(Do(HighlightScene::Opaque, false));
  EXPECT_EQ(ColourOf(HighlightScene::Opaque), (std::pair{Selected, true}));
  EXPECT_EQ(ColourOf(HighlightScene::Uncoloured), std::nullopt);
  ASSERT_TRUE(Undo(HighlightScene::Opaque));
  EXPECT_EQ(ColourOf(HighlightScene::Opaque), kOriginalOpaque) << "not the hover colour";
}

TEST_F(HighlightStrategyGLTest, PathsThatLeadNowhereAreNotMarked) {
  EXPECT_FALSE(Do(99, true));
  EXPECT_FALSE(scene.strategy->Do(RenderId()));
  EXPECT_FALSE(IsDone(99));
  EXPECT_FALSE(Undo(99));
  HighlightStrategyGL detached(nullptr);
  EXPECT_FALSE(detached.Do(HighlightScene::PathOf(HighlightScene::Opaque)));
}

TEST_F(HighlightStrategyGLTest, NodesDeletedRebuiltOrRecolouredUnderAMarkKeepTheirOwnColour) {
  Do(HighlightScene::Opaque, true);
  Do(HighlightScene::Transparent, true);
  ASSERT_TRUE(scene.Category().DeleteChildById(HighlightScene::Opaque));
  EXPECT_FALSE(IsDone(HighlightScene::Opaque));
  ASSERT_TRUE(Do(HighlightScene::Uncoloured, false)) << "a deleted node under a mark is harmless";
  const RGBAColor rebuilt{1, 2, 3, 255};
  scene.Category().CreateChildGeoNode(HighlightScene::Opaque)->SetAttribute(new AttributeColor(rebuilt));
  EXPECT_FALSE(IsDone(HighlightScene::Opaque)) << "the new node at the path shows no mark";
  Undo(HighlightScene::Opaque);
  EXPECT_EQ(ColourOf(HighlightScene::Opaque), (std::pair{rebuilt, true}));
  scene.strategy->Undo();
  EXPECT_EQ(ColourOf(HighlightScene::Transparent), kOriginalTransparent);
  EXPECT_EQ(ColourOf(HighlightScene::Uncoloured), std::nullopt);

  ASSERT_TRUE(Do(HighlightScene::Opaque, true)) << "marking it again marks the new node";
  const RGBAColor recoloured{7, 7, 7, 255};
  scene.NodeOf(HighlightScene::Opaque).SetAttribute(new AttributeColor(recoloured));
  EXPECT_TRUE(Undo(HighlightScene::Opaque));
  EXPECT_EQ(ColourOf(HighlightScene::Opaque), (std::pair{recoloured, true})) << "recoloured under the mark";
}

TEST_F(HighlightStrategyGLTest, TheViewsAdapterReachesTheMarks) {
  const RenderId transparent = HighlightScene::PathOf(HighlightScene::Transparent);
  ASSERT_TRUE(scene.view.Highlight(transparent));
  EXPECT_TRUE(scene.view.IsHighlighted(transparent));
  scene.view.Select(HighlightScene::PathOf(HighlightScene::Opaque));
  EXPECT_TRUE(scene.view.IsHighlighted(HighlightScene::PathOf(HighlightScene::Opaque)));
  scene.view.UnHighlight();
  EXPECT_FALSE(scene.view.IsHighlighted(transparent));
  EXPECT_EQ(ColourOf(HighlightScene::Transparent), kOriginalTransparent);
  EXPECT_EQ(ColourOf(HighlightScene::Opaque), kOriginalOpaque);
}

}  // namespace
