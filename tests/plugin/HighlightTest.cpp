// Highlight and selection: how requests map onto the strategy and its sticky
// setting, entity paths, and how failures reach the host.

#include "KivVizCore/AHighlightStrategy.h"
#include "KivVizCore/EntityId.h"
#include "PluginHostFixture.h"

namespace plugintest {
namespace {

// Records each call with the sticky setting; throws from call throwAtCall on when asked.
class ScriptedStrategy : public AHighlightStrategy {
 public:
  enum class Throw { Nothing, Standard, Other };

  bool Do(const RenderId& id) override { return Call("Do " + Text(id) + (stickySelection ? " sticky" : " plain")); }
  void Undo() override { Call("Undo"); }
  bool Undo(const RenderId& id) override { return Call("Undo " + Text(id)); }
  bool IsDone(const RenderId&) const override { return false; }

  std::vector<std::string> calls;
  Throw throwing = Throw::Nothing;
  int throwAtCall = 1;

  static std::string Text(const RenderId& id) { return testing::PrintToString(id); }
  bool Call(const std::string& call) {
    calls.push_back(call);
    if (throwing == Throw::Nothing || static_cast<int>(calls.size()) < throwAtCall) return true;
    if (throwing == Throw::Standard) throw std::out_of_range("strategy's own message");
    throw 42;
  }
};

class HighlightTest : public PluginHostFixture {
 protected:
  void SetUp() override {
    PluginHostFixture::SetUp();
    original = std::exchange(Slots::Strategy(Scene()), &scripted);
  }
  void TearDown() override {
    Slots::Strategy(Scene()) = original;
    PluginHostFixture::TearDown();
  }

  ScriptedStrategy scripted;
  AHighlightStrategy* original = nullptr;
  const RenderId a{{1, 2}, 1}, b{{1, 3}, 1};
};

using Calls = std::vector<std::string>;

TEST_F(HighlightTest, HighlightIsPlainListsAndSelectionsAreStickyAndSelectPutsTheSettingBack) {
  // The sticky setting a call leaves, from the one given.
  const auto stickyAfter = [&](bool before, auto call) {
    scripted.SetStickySelection(before);
    call();
    return scripted.stickySelection;
  };
  EXPECT_FALSE(stickyAfter(true, [&] { EXPECT_TRUE(Scene().Highlight(a)); })) << "a single path's highlight: off";
  EXPECT_TRUE(stickyAfter(false, [&] { Scene().Highlight(std::vector<RenderId>{a, b}); })) << "a list's: on";
  EXPECT_TRUE(stickyAfter(false, [&] { Scene().Highlight(std::vector<RenderId>{}); })) << "even an empty list's";
  EXPECT_FALSE(stickyAfter(false, [&] { Scene().Select(a); })) << "Select puts the setting back";
  EXPECT_TRUE(stickyAfter(true, [&] { Scene().Select(b); }));
  // Removing marks ignores the setting; entity forms go through their paths.
  Scene().UnHighlight(a);
  Scene().UnSelect(a);
  Scene().UnHighlight();
  Scene().UnSelect();
  View().Highlight(EntityId(3, 4));
  View().Select(EntityId(3, 4, 10002));
  View().UnHighlight(EntityId(3));
  View().UnSelect(EntityId(3, 4, 10002, 9));
  EXPECT_EQ(scripted.calls,
            (Calls{"Do 1:[1/2] plain", "Do 1:[1/2] sticky", "Do 1:[1/3] sticky", "Do 1:[1/2] sticky",
                   "Do 1:[1/3] sticky", "Undo 1:[1/2]", "Undo 1:[1/2]", "Undo", "Undo", "Do 1:[1/3/4] plain",
                   "Do 1:[1/3/4/10002] sticky", "Undo 1:[1/3]", "Undo 1:[1/3/4/10002/9]"}));
  scripted.calls.clear();
  EXPECT_THROW(View().Highlight(EntityId()), std::invalid_argument);
  EXPECT_TRUE(scripted.calls.empty()) << "no strategy call without a path";
}

TEST_F(HighlightTest, StandardExceptionsPassThroughAndOthersBecomeTheOperationsMessage) {
  scripted.throwing = ScriptedStrategy::Throw::Standard;
  EXPECT_EQ(MessageOf([&] { Scene().Select(a); }), "strategy's own message");
  scripted.throwing = ScriptedStrategy::Throw::Other;
  const std::string prefix = "Unrecognized Exception thrown from View3dOpenGlSG::";
  EXPECT_EQ(MessageOf([&] { Scene().Highlight(a); }), prefix + "Highlight()");
  EXPECT_EQ(MessageOf([&] { Scene().Highlight(std::vector<RenderId>{a}); }), prefix + "Highlight()");
  EXPECT_EQ(MessageOf([&] { Scene().UnHighlight(); }), prefix + "UnHighlight()");
  EXPECT_EQ(MessageOf([&] { Scene().UnHighlight(a); }), prefix + "UnHighlight( const RenderId& )");
  EXPECT_EQ(MessageOf([&] { Scene().Select(a); }), prefix + "Select()");
  EXPECT_EQ(MessageOf([&] { Scene().UnSelect(); }), prefix + "UnSelect()");
  EXPECT_EQ(MessageOf([&] { Scene().UnSelect(a); }), prefix + "UnSelect( const EntityId& pick)");
  EXPECT_EQ(MessageOf([&] { View().Select(EntityId(3)); }), prefix + "Select()");
  // A failure midway leaves earlier work done; a failed Select leaves the setting.
  scripted.calls.clear();
  scripted.throwAtCall = 2;
  EXPECT_FALSE(MessageOf([&] { Scene().Highlight(std::vector<RenderId>{a, b, a}); }).empty());
  EXPECT_EQ(scripted.calls, (Calls{"Do 1:[1/2] sticky", "Do 1:[1/3] sticky"}));
  scripted.calls.clear();
  scripted.throwAtCall = 1;
  scripted.SetStickySelection(false);
  EXPECT_FALSE(MessageOf([&] { Scene().Select(a); }).empty());
  EXPECT_TRUE(scripted.stickySelection);
}

}  // namespace
}  // namespace plugintest
