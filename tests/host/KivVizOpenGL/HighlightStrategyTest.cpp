// Marks of HighlightStrategyGL on a real scene: colours, stickiness,
// restoration, and nodes that go away under a mark.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <utility>

#include "KivVizCore/AttributeColor.h"
#include "KivVizCore/Node.h"
#include "KivVizOpenGL/GeometryItemTrianglesGL.h"
#include "KivVizOpenGL/HighlightStrategyGL.h"
#include "TestView.h"

namespace {

constexpr RGBAColor kHover = HighlightStrategyGL::HighlightColor;
constexpr RGBAColor kSelected = HighlightStrategyGL::SelectionColor;

RGBAColor WithAlpha(RGBAColor color, std::uint8_t alpha) {
  color.alpha = alpha;
  return color;
}

// Scene: model 2 / part 3 / category 10002 and below it nodes in every
// colour state a mark must keep or restore.
struct HighlightScene {
  static constexpr std::uint64_t Opaque = 10;         // red, opaque
  static constexpr std::uint64_t Uncoloured = 11;     // no colour attribute
  static constexpr std::uint64_t Transparent = 12;    // green, alpha 128
  static constexpr std::uint64_t OpaqueFlagged = 13;  // alpha 128 but flagged opaque
  static constexpr std::uint64_t Group = 20;          // blue group, alpha 100, not opaque
  static constexpr std::uint64_t InGroup = 21;        // no colour, under Group
  static constexpr RGBAColor OpaqueColor{200, 10, 10, 255};
  static constexpr RGBAColor TransparentColor{10, 200, 10, 128};
  static constexpr RGBAColor FlaggedColor{90, 90, 90, 128};

  HighlightScene() {
    auto owned = std::make_unique<HighlightStrategyGL>(&view);
    strategy = owned.get();
    view.SetHighlightStrategy(std::move(owned));
    category = view.GetRootNode()->CreateChildNode(2)->CreateChildNode(3)->CreateChildNode(10002);
    category->CreateChildGeoNode(Opaque)->SetAttribute(new AttributeColor(OpaqueColor));
    category->CreateChildGeoNode(Uncoloured);
    category->CreateChildGeoNode(Transparent)->SetAttribute(new AttributeColor(TransparentColor));
    category->CreateChildGeoNode(OpaqueFlagged)->SetAttribute(new AttributeColor(FlaggedColor, true));
    Node* group = category->CreateChildNode(Group);
    group->SetAttribute(new AttributeColor(RGBAColor{0, 0, 255, 100}));
    group->CreateChildGeoNode(InGroup);
  }
  static RenderId PathOf(std::uint64_t id) {
    if (id == InGroup) return RenderId({1, 2, 3, 10002, Group, InGroup}, RenderId::SceneOrigin);
    return RenderId({1, 2, 3, 10002, id}, RenderId::SceneOrigin);
  }

  NimboTest::TestView view;
  HighlightStrategyGL* strategy = nullptr;
  Node* category = nullptr;
};

using State = std::optional<std::pair<RGBAColor, bool>>;

class HighlightStrategyTest : public ::testing::Test {
 protected:
  // The node's colour and opacity; nothing without a colour attribute.
  State ColourOf(std::uint64_t id) {
    const auto* attribute = dynamic_cast<const AttributeColor*>(
        scene.view.GetNode(HighlightScene::PathOf(id))->GetAttribute(Attribute::ColorType));
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

const State kOriginalOpaque = std::pair{HighlightScene::OpaqueColor, true};
const State kOriginalTransparent = std::pair{HighlightScene::TransparentColor, false};

TEST_F(HighlightStrategyTest, MarksRecolourKeepingAlphaAndUndoRestoresExactly) {
  const struct {
    const char* name;
    std::uint64_t node;
    bool sticky;
    RGBAColor marked;
    bool opaque;
  } cases[] = {{"OpaqueHover", HighlightScene::Opaque, false,
                HighlightStrategyGL::HoverColor(HighlightScene::OpaqueColor), true},
               {"OpaqueSelection", HighlightScene::Opaque, true, kSelected, true},
               {"UncolouredBecomesOpaqueHover", HighlightScene::Uncoloured, false, kHover, true},
               {"TransparentStaysTransparent", HighlightScene::Transparent, false,
                HighlightStrategyGL::HoverColor(HighlightScene::TransparentColor), false},
               {"TransparentSelection", HighlightScene::Transparent, true, WithAlpha(kSelected, 128), false},
               {"OpaqueFlagKeptWithItsAlpha", HighlightScene::OpaqueFlagged, false,
                HighlightStrategyGL::HoverColor(HighlightScene::FlaggedColor), true},
               {"TransparentGroup", HighlightScene::Group, true, WithAlpha(kSelected, 100), false},
               {"UncolouredInheritsTheGroupsAlpha", HighlightScene::InGroup, false, WithAlpha(kHover, 100), false}};
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
  EXPECT_NE(kHover, kSelected);
  EXPECT_TRUE(kHover.IsOpaque() && kSelected.IsOpaque());
}

TEST_F(HighlightStrategyTest, MarksKeepAPartsHueAndASelectedMeshIsHatchedUntilUndone) {
  // The strongest channel stays the strongest, and the change is plain to see.
  for (const RGBAColor own : {RGBAColor{40, 170, 60}, RGBAColor{239, 205, 47}, RGBAColor{200, 10, 10},
                              RGBAColor{60, 120, 255, 110}, RGBAColor{250, 250, 250}}) {
    SCOPED_TRACE(testing::PrintToString(own));
    for (const RGBAColor marked :
         {HighlightStrategyGL::HoverColor(own), HighlightStrategyGL::SelectedColor(own, true)}) {
      const auto strongest = [](const RGBAColor& c) {
        return c.red >= c.green && c.red >= c.blue ? 0 : c.green >= c.blue ? 1 : 2;
      };
      if (own.red != own.green) {
        EXPECT_EQ(strongest(marked), strongest(own));
      }
      EXPECT_EQ(marked.alpha, own.alpha);
      EXPECT_GE(std::abs(marked.red - own.red) + std::abs(marked.green - own.green) + std::abs(marked.blue - own.blue),
                24);
    }
    EXPECT_GE(std::abs(HighlightStrategyGL::HoverColor(own).green - own.green), 40) << "a hover shows clearly";
  }
  GeoNode* node = scene.view.GetNode(HighlightScene::PathOf(HighlightScene::Opaque));
  auto* mesh = new GeometryItemTrianglesGL(1, {0, 0, 0, 1, 0, 0, 0, 1, 0}, {}, {0, 1, 2});
  node->AddGeometry(mesh);
  ASSERT_TRUE(Do(HighlightScene::Opaque, false));
  EXPECT_EQ(mesh->Hatch(), std::nullopt) << "a hover draws no stripes";
  ASSERT_TRUE(Do(HighlightScene::Opaque, true));
  EXPECT_EQ(mesh->Hatch(), kSelected);
  EXPECT_EQ(ColourOf(HighlightScene::Opaque),
            (std::pair{HighlightStrategyGL::SelectedColor(HighlightScene::OpaqueColor, true), true}));
  EXPECT_TRUE(IsDone(HighlightScene::Opaque));
  ASSERT_TRUE(Undo(HighlightScene::Opaque));
  EXPECT_EQ(mesh->Hatch(), std::nullopt);
  EXPECT_EQ(ColourOf(HighlightScene::Opaque), kOriginalOpaque);
}

TEST_F(HighlightStrategyTest, HoverMarksReplaceEachOtherAndStickyMarksAddUp) {
  ASSERT_TRUE(Do(HighlightScene::Opaque, true));
  ASSERT_TRUE(Do(HighlightScene::Transparent, true));
  ASSERT_TRUE(Do(HighlightScene::Uncoloured, false));
  ASSERT_TRUE(Do(HighlightScene::OpaqueFlagged, false));
  EXPECT_FALSE(IsDone(HighlightScene::Uncoloured)) << "a hover replaces the previous hover";
  EXPECT_EQ(ColourOf(HighlightScene::Uncoloured), std::nullopt);
  ASSERT_TRUE(Do(HighlightScene::OpaqueFlagged, false)) << "hovering the same node again";
  EXPECT_EQ(ColourOf(HighlightScene::Opaque), (std::pair{kSelected, true}));
  EXPECT_EQ(ColourOf(HighlightScene::Transparent), (std::pair{WithAlpha(kSelected, 128), false}));
  EXPECT_TRUE(IsDone(HighlightScene::OpaqueFlagged));
  scene.strategy->Undo();
  EXPECT_EQ(ColourOf(HighlightScene::Opaque), kOriginalOpaque);
  EXPECT_EQ(ColourOf(HighlightScene::Transparent), kOriginalTransparent);
  EXPECT_EQ(ColourOf(HighlightScene::OpaqueFlagged), (std::pair{HighlightScene::FlaggedColor, true}));
  EXPECT_FALSE(IsDone(HighlightScene::Opaque));
}

TEST_F(HighlightStrategyTest, SelectionAndHoverOfOneNodeRestoreTheColourBeforeBoth) {
  // Selecting the hovered node makes its mark last; the hover moving on keeps it.
  Do(HighlightScene::Opaque, false);
  Do(HighlightScene::Opaque, true);
  EXPECT_EQ(ColourOf(HighlightScene::Opaque), (std::pair{kSelected, true}));
  Do(HighlightScene::Uncoloured, false);
  EXPECT_EQ(ColourOf(HighlightScene::Opaque), (std::pair{kSelected, true}));
  // Hovering the selected node keeps it selected; the previous hover goes.
  ASSERT_TRUE(Do(HighlightScene::Opaque, false));
  EXPECT_EQ(ColourOf(HighlightScene::Opaque), (std::pair{kSelected, true}));
  EXPECT_EQ(ColourOf(HighlightScene::Uncoloured), std::nullopt);
  ASSERT_TRUE(Undo(HighlightScene::Opaque));
  EXPECT_EQ(ColourOf(HighlightScene::Opaque), kOriginalOpaque) << "not the hover colour";
}

TEST_F(HighlightStrategyTest, ASharedNodeMarkedAlongTwoPathsKeepsItsSelectionAndGetsItsColourBack) {
  // The red node is also held by the blue group: two paths, one node.
  ASSERT_TRUE(static_cast<Node*>(scene.view.GetNode(HighlightScene::PathOf(HighlightScene::Group)))
                  ->AddChild(scene.view.GetNode(HighlightScene::PathOf(HighlightScene::Opaque))));
  const RenderId first = HighlightScene::PathOf(HighlightScene::Opaque);
  const RenderId second({1, 2, 3, 10002, HighlightScene::Group, HighlightScene::Opaque}, RenderId::SceneOrigin);
  const State original = ColourOf(HighlightScene::Opaque);
  for (const bool selectFirst : {true, false}) {
    SCOPED_TRACE(selectFirst ? "selected along one path, hovered along the other" : "hovered, then selected");
    scene.strategy->SetStickySelection(selectFirst);
    ASSERT_TRUE(scene.strategy->Do(first));
    scene.strategy->SetStickySelection(!selectFirst);
    ASSERT_TRUE(scene.strategy->Do(second));
    EXPECT_EQ(ColourOf(HighlightScene::Opaque), State(std::pair{kSelected, true}));
    // The hover moves on: the selection stays.
    ASSERT_TRUE(Do(HighlightScene::Transparent, false));
    EXPECT_EQ(ColourOf(HighlightScene::Opaque), State(std::pair{kSelected, true}));
    EXPECT_TRUE(scene.strategy->IsDone(selectFirst ? first : second));
    scene.strategy->Undo();
    EXPECT_EQ(ColourOf(HighlightScene::Opaque), original);
  }
}

TEST_F(HighlightStrategyTest, PathsThatLeadNowhereAreNotMarked) {
  EXPECT_FALSE(Do(99, true));
  EXPECT_FALSE(scene.strategy->Do(RenderId()));
  EXPECT_FALSE(IsDone(99));
  EXPECT_FALSE(Undo(99));
  HighlightStrategyGL detached(nullptr);
  EXPECT_FALSE(detached.Do(HighlightScene::PathOf(HighlightScene::Opaque)));
}

TEST_F(HighlightStrategyTest, NodesDeletedRebuiltOrRecolouredUnderAMarkKeepTheirOwnColour) {
  Do(HighlightScene::Opaque, true);
  Do(HighlightScene::Transparent, true);
  ASSERT_TRUE(scene.category->DeleteChildById(HighlightScene::Opaque));
  EXPECT_FALSE(IsDone(HighlightScene::Opaque));
  ASSERT_TRUE(Do(HighlightScene::Uncoloured, false)) << "a deleted node under a mark is harmless";
  const RGBAColor rebuilt{1, 2, 3, 255};
  scene.category->CreateChildGeoNode(HighlightScene::Opaque)->SetAttribute(new AttributeColor(rebuilt));
  EXPECT_FALSE(IsDone(HighlightScene::Opaque)) << "the new node at the path shows no mark";
  Undo(HighlightScene::Opaque);
  EXPECT_EQ(ColourOf(HighlightScene::Opaque), (std::pair{rebuilt, true}));
  scene.strategy->Undo();
  EXPECT_EQ(ColourOf(HighlightScene::Transparent), kOriginalTransparent);
  EXPECT_EQ(ColourOf(HighlightScene::Uncoloured), std::nullopt);

  ASSERT_TRUE(Do(HighlightScene::Opaque, true)) << "marking it again marks the new node";
  const RGBAColor recoloured{7, 7, 7, 255};
  scene.view.GetNode(HighlightScene::PathOf(HighlightScene::Opaque))->SetAttribute(new AttributeColor(recoloured));
  EXPECT_TRUE(Undo(HighlightScene::Opaque));
  EXPECT_EQ(ColourOf(HighlightScene::Opaque), (std::pair{recoloured, true})) << "recoloured under the mark";
}

}  // namespace
