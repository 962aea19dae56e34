// Marks of HighlightStrategyGL on a real scene: colours, stickiness,
// restoration, and nodes that go away under a mark; and the filter manager,
// which hides nodes by filter.
#include <gtest/gtest.h>

#include "KivVizCore/AttributeColor.h"
#include "KivVizCore/RenderingOptions.h"
#include "KivVizOpenGL/FilterManagerGL.h"
#include "KivVizOpenGL/GeometryItemTrianglesGL.h"
#include "KivVizOpenGL/HighlightStrategyGL.h"
#include "TestView.h"

namespace {

using State = std::optional<std::pair<RGBAColor, bool>>;

constexpr RGBAColor kSelected = HighlightStrategyGL::SelectionColor;
// Node ids under model 2 / part 3 / category 10002, one per colour state a
// mark must keep or restore; InGroup (no colour) lies under Group.
enum : std::uint64_t { kOpaque = 10, kUncoloured, kTransparent, kFlagged, kGroup = 20, kInGroup };
constexpr RGBAColor kRed{200, 10, 10, 255};
constexpr RGBAColor kGreen{10, 200, 10, 128};
constexpr RGBAColor kGrey{90, 90, 90, 128};  // flagged opaque

RGBAColor WithAlpha(RGBAColor color, std::uint8_t alpha) {
  color.alpha = alpha;
  return color;
}
State Marked(RGBAColor color, bool opaque = true) { return std::pair{color, opaque}; }
RenderId PathOf(std::uint64_t id) {
  if (id == kInGroup) return RenderId({1, 2, 3, 10002, kGroup, kInGroup}, RenderId::SceneOrigin);
  return RenderId({1, 2, 3, 10002, id}, RenderId::SceneOrigin);
}

class HighlightStrategyTest : public ::testing::Test {
 protected:
  HighlightStrategyTest() {
    auto owned = std::make_unique<HighlightStrategyGL>(&view);
    strategy = owned.get();
    view.SetHighlightStrategy(std::move(owned));
    category = view.GetRootNode()->CreateChildNode(2)->CreateChildNode(3)->CreateChildNode(10002);
    category->CreateChildGeoNode(kOpaque)->SetAttribute(new AttributeColor(kRed));
    category->CreateChildGeoNode(kUncoloured);
    category->CreateChildGeoNode(kTransparent)->SetAttribute(new AttributeColor(kGreen));
    category->CreateChildGeoNode(kFlagged)->SetAttribute(new AttributeColor(kGrey, true));
    Node* group = category->CreateChildNode(kGroup);
    group->SetAttribute(new AttributeColor(RGBAColor{0, 0, 255, 100}));
    group->CreateChildGeoNode(kInGroup);
  }
  // The node's colour and opacity; nothing without a colour attribute.
  State ColourOf(std::uint64_t id) {
    const auto* attribute =
        dynamic_cast<const AttributeColor*>(view.GetNode(PathOf(id))->GetAttribute(Attribute::ColorType));
    if (attribute == nullptr) return std::nullopt;
    return Marked(attribute->GetColor(), attribute->IsOpaque());
  }
  bool Do(const RenderId& path, bool sticky) {
    strategy->SetStickySelection(sticky);
    return strategy->Do(path);
  }
  bool Do(std::uint64_t id, bool sticky) { return Do(PathOf(id), sticky); }
  bool Undo(std::uint64_t id) { return strategy->Undo(PathOf(id)); }
  bool IsDone(std::uint64_t id) { return strategy->IsDone(PathOf(id)); }

  NimboTest::TestView view;
  HighlightStrategyGL* strategy = nullptr;
  Node* category = nullptr;
};

TEST_F(HighlightStrategyTest, MarksRecolourKeepingAlphaAndUndoRestoresExactly) {
  constexpr RGBAColor kHover = HighlightStrategyGL::HighlightColor;
  const struct {
    const char* name;
    std::uint64_t node;
    bool sticky;
    State marked;
  } cases[] = {
      {"OpaqueHover", kOpaque, false, Marked(HighlightStrategyGL::HoverColor(kRed))},
      {"OpaqueSelection", kOpaque, true, Marked(kSelected)},
      {"UncolouredBecomesOpaqueHover", kUncoloured, false, Marked(kHover)},
      {"TransparentStaysTransparent", kTransparent, false,
       Marked(WithAlpha(HighlightStrategyGL::HoverColor(kGreen), 128), false)},
      {"OpaqueFlagKeptWithItsAlpha", kFlagged, false, Marked(WithAlpha(HighlightStrategyGL::HoverColor(kGrey), 128))},
      {"TransparentGroup", kGroup, true, Marked(WithAlpha(kSelected, 100), false)},
      {"UncolouredInheritsTheGroupsAlpha", kInGroup, false, Marked(WithAlpha(kHover, 100), false)}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const State before = ColourOf(c.node);
    ASSERT_TRUE(Do(c.node, c.sticky));
    EXPECT_TRUE(IsDone(c.node));
    EXPECT_EQ(ColourOf(c.node), c.marked);
    ASSERT_TRUE(Undo(c.node));
    EXPECT_FALSE(IsDone(c.node));
    EXPECT_EQ(ColourOf(c.node), before);
    EXPECT_FALSE(Undo(c.node)) << "nothing left to undo";
  }
  EXPECT_NE(kHover, kSelected);
}

TEST_F(HighlightStrategyTest, ASelectedMeshIsHatchedUntilUndoneAndAHoverDrawsNoStripes) {
  auto* mesh = new GeometryItemTrianglesGL(1, {0, 0, 0, 1, 0, 0, 0, 1, 0}, {}, {0, 1, 2});
  view.GetNode(PathOf(kOpaque))->AddGeometry(mesh);
  ASSERT_TRUE(Do(kOpaque, false));
  EXPECT_EQ(mesh->Hatch(), std::nullopt) << "a hover draws no stripes";
  ASSERT_TRUE(Do(kOpaque, true));
  EXPECT_EQ(mesh->Hatch(), kSelected);
  EXPECT_EQ(ColourOf(kOpaque), Marked(HighlightStrategyGL::SelectedColor(kRed, true)));
  ASSERT_TRUE(Undo(kOpaque));
  EXPECT_EQ(mesh->Hatch(), std::nullopt);
}

TEST_F(HighlightStrategyTest, HoverMarksReplaceEachOtherStickyOnesAddUpEvenAlongTwoPaths) {
  ASSERT_TRUE(Do(kOpaque, true));
  ASSERT_TRUE(Do(kTransparent, true));
  ASSERT_TRUE(Do(kUncoloured, false));
  ASSERT_TRUE(Do(kFlagged, false));
  EXPECT_FALSE(IsDone(kUncoloured)) << "a hover replaces the previous hover";
  EXPECT_EQ(ColourOf(kUncoloured), std::nullopt);
  ASSERT_TRUE(Do(kFlagged, false)) << "hovering the same node again";
  EXPECT_EQ(ColourOf(kOpaque), Marked(kSelected));
  EXPECT_EQ(ColourOf(kTransparent), Marked(WithAlpha(kSelected, 128), false));
  EXPECT_TRUE(IsDone(kFlagged));
  strategy->Undo();
  EXPECT_EQ(ColourOf(kOpaque), Marked(kRed));
  EXPECT_EQ(ColourOf(kTransparent), Marked(kGreen, false));
  EXPECT_EQ(ColourOf(kFlagged), Marked(kGrey));

  // The red node is also held by the blue group: two paths, one node.
  ASSERT_TRUE(static_cast<Node*>(view.GetNode(PathOf(kGroup)))->AddChild(view.GetNode(PathOf(kOpaque))));
  const RenderId first = PathOf(kOpaque);
  const RenderId second({1, 2, 3, 10002, kGroup, kOpaque}, RenderId::SceneOrigin);
  for (const bool selectFirst : {true, false}) {
    SCOPED_TRACE(selectFirst ? "selected along one path, hovered along the other" : "hovered, then selected");
    ASSERT_TRUE(Do(first, selectFirst));
    ASSERT_TRUE(Do(second, !selectFirst));
    EXPECT_EQ(ColourOf(kOpaque), Marked(kSelected));
    // The hover moves on: the selection stays.
    ASSERT_TRUE(Do(kTransparent, false));
    EXPECT_EQ(ColourOf(kOpaque), Marked(kSelected));
    EXPECT_TRUE(strategy->IsDone(selectFirst ? first : second));
    strategy->Undo();
    EXPECT_EQ(ColourOf(kOpaque), Marked(kRed));
  }
}

// Paths that lead nowhere, or a strategy without a view, mark nothing.
TEST_F(HighlightStrategyTest, NodesMissingDeletedRebuiltOrRecolouredUnderAMarkKeepTheirOwnColour) {
  EXPECT_FALSE(Do(99, true));
  EXPECT_FALSE(IsDone(99));
  EXPECT_FALSE(Undo(99));
  EXPECT_FALSE(HighlightStrategyGL(nullptr).Do(PathOf(kOpaque)));
  Do(kOpaque, true);
  Do(kTransparent, true);
  ASSERT_TRUE(category->DeleteChildById(kOpaque));
  EXPECT_FALSE(IsDone(kOpaque));
  ASSERT_TRUE(Do(kUncoloured, false)) << "a deleted node under a mark is harmless";
  const RGBAColor rebuilt{1, 2, 3, 255};
  category->CreateChildGeoNode(kOpaque)->SetAttribute(new AttributeColor(rebuilt));
  EXPECT_FALSE(IsDone(kOpaque)) << "the new node at the path shows no mark";
  Undo(kOpaque);
  EXPECT_EQ(ColourOf(kOpaque), Marked(rebuilt));
  strategy->Undo();
  EXPECT_EQ(ColourOf(kTransparent), Marked(kGreen, false));
  EXPECT_EQ(ColourOf(kUncoloured), std::nullopt);

  ASSERT_TRUE(Do(kOpaque, true)) << "marking it again marks the new node";
  const RGBAColor recoloured{255, 64, 7, 255};  // the selection colour but for blue
  view.GetNode(PathOf(kOpaque))->SetAttribute(new AttributeColor(recoloured));
  EXPECT_TRUE(Undo(kOpaque));
  EXPECT_EQ(ColourOf(kOpaque), Marked(recoloured)) << "recoloured under the mark";
}

TEST(FilterManagerTest, FiltersAreEnabledUntilSwitchedOffAndSynchronizeCopiesTheOptions) {
  FilterManagerGL filters;
  EXPECT_TRUE(filters.IsEnabled(5));
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
  EXPECT_FALSE(filters.IsEnabled(3));
  EXPECT_TRUE(filters.IsEnabled(4));
  options.SetFilterVisible(3, true);
  EXPECT_FALSE(filters.IsEnabled(3)) << "a copy, not a view of the options";
}

}  // namespace
