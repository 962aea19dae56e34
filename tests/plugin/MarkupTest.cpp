// The view-object provider: markups through the host's markup factory, their
// removal, arrows, statistics, the text manager and rendering options.

#include "KivVizCore/IRenderingOptionsListener.h"
#include "KivVizCore/ITextManagerProvider.h"
#include "KivVizCore/RenderingOptions.h"
#include "NimboCore/MarkupFactory.h"
#include "PluginHostFixture.h"

namespace plugintest {
namespace {

// A markup a host made itself, counting its deletion.
class NamedMarkup : public AMarkupViewObject {
 public:
  NamedMarkup(const std::string& name, int& deletions) : AMarkupViewObject(name), deletions(deletions) {}
  ~NamedMarkup() override { ++deletions; }
  void createGeometry() override { isGeometryCreated = true; }
  void deleteGeometry() override {}
  void draw() override {}
  AMarkupViewObject* CreateMarkup(IViewObjectProvider*, const std::vector<double>&) override { return nullptr; }
  int& deletions;
};

class MarkupTest : public PluginHostFixture {
 protected:
  IViewObjectProvider& Provider() { return dynamic_cast<IViewObjectProvider&>(*view); }
  void AddFactory() { ASSERT_TRUE(Manager().Add("MarkupFactory", new MarkupFactory())); }
};

TEST_F(MarkupTest, WithoutAMarkupFactoryNothingHappensEvenForBadLists) {
  const std::size_t before = Manager().Count();
  EXPECT_NO_THROW(Provider().AddMarkups({{1.0, 2.0}, {}}));
  // An object under the factory's name that is not a markup factory: the aperture, renamed.
  AViewObject* aperture = Manager().Get("Aperture");
  ASSERT_TRUE(Manager().Remove(aperture) && Manager().Add("MarkupFactory", aperture));
  EXPECT_NO_THROW(Provider().AddMarkups({{1.0, 2.0}}));
  EXPECT_EQ(Manager().Count(), before);
}

TEST_F(MarkupTest, EachValidListBecomesAVisibleMarkupUntilABadListStopsTheCall) {
  AddFactory();
  Provider().AddMarkups({{0.0, 0.0, 0.0}, {0.0, 0.0, 0.0, 1.0, 1.0, 1.0, 2.0, 0.0, 0.0}});
  ASSERT_EQ(Manager().Count(), 6u) << "the three overlays, the factory and two markups";
  for (const char* name : {"Markup1", "Markup2"}) EXPECT_TRUE(Manager().Get(name) && Manager().Get(name)->IsVisible());
  Provider().AddMarkups({});
  for (const std::vector<double>& bad : {std::vector<double>{}, {1.0, 2.0}, {1.0, 2.0, 3.0, 4.0}}) {
    EXPECT_EQ(MessageOf([&] { Provider().AddMarkups({bad}); }),
              "Cannot add markup object, incorrect size of coordinates")
        << bad.size() << " values";
  }
  EXPECT_EQ(Manager().Count(), 6u);
  EXPECT_THROW(Provider().AddMarkups({{1.0, 2.0, 3.0}, {1.0, 2.0, 3.0, 4.0, 5.0}, {1.0, 1.0, 1.0}}), std::exception);
  EXPECT_EQ(Manager().Count(), 7u) << "the first list made a markup, the third was not used";
}

TEST_F(MarkupTest, RemoveMarkupsAndClearAllSpareTheFactoryAndTheOverlays) {
  AddFactory();
  int deletions = 0;
  ASSERT_TRUE(Manager().Add("MarkupFactory2", new NamedMarkup("MarkupFactory2", deletions)));
  ASSERT_TRUE(Manager().Add("MarkupFactor", new NamedMarkup("MarkupFactor", deletions)));
  Provider().AddMarkups({{0.0, 0.0, 0.0}});
  Provider().RemoveMarkups();
  EXPECT_EQ(deletions, 2) << "near misses of the factory's name are removed and deleted";
  std::vector<std::string> names;
  for (std::size_t i = 0; i < Manager().Count(); ++i) names.push_back(Manager()[i]->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"Aperture", "AxesViewObject", "MarkupFactory", "Rubberband"}));
  Provider().AddMarkups({{0.0, 0.0, 0.0}});
  ASSERT_EQ(Manager().Count(), 5u);
  View().ClearAll();
  EXPECT_EQ(Manager().Count(), 4u) << "ClearAll removes the markup first";
  EXPECT_NE(Manager().Get("MarkupFactory"), nullptr);
}

TEST_F(MarkupTest, ArrowsAndStatisticsAreNotImplementedAndOneTextManagerIsHandedOut) {
  EXPECT_EQ(View().GetStatistics(), "Not implemented");
  EXPECT_EQ(Scene().GetStatistics(), "Not implemented");
  auto& text = dynamic_cast<ITextManagerProvider&>(*view);
  EXPECT_NE(text.GetTextManager(), nullptr);
  EXPECT_EQ(text.GetTextManager(), text.GetTextManager());
  const auto arrow = [&] { Provider().DrawArrow({0.0, 0.0, 0.0}, {1.0, 0.0, 0.0}); };
  EXPECT_EQ(MessageOf(arrow), "View3dOpenGlSG::DrawArrow not implemented yet!");
}

TEST_F(MarkupTest, MarkupsAndRenderingOptionsShowInTheNextFrame) {
  AddFactory();
  AddQuad(5, -1.0f, -1.0f, 1.0f, 1.0f, 0.0f);
  Open({3});
  Scene().SetFilterId(12);
  Close();
  const platform::Image before = Frame();
  // A single point is a marker eight pixels across; y = -1.5 lies on row 82.
  Provider().AddMarkups({{0.0, -1.5, 0.0}});
  const platform::Image after = Frame();
  int changed = 0;
  for (int x = 0; x < kWidth; ++x) changed += after.At(x, 82) != before.At(x, 82) ? 1 : 0;
  EXPECT_EQ(changed, 8);

  // The view listens to rendering options; other notifications are ignored.
  struct OtherOptions : IRenderingOptions {
    bool IsFilterVisible(int) const override { return false; }
  } other;
  auto& listener = dynamic_cast<IRenderingOptionsListener&>(*view);
  listener.RenderingOptionsNotify(&other);
  listener.RenderingOptionsNotify(nullptr);
  EXPECT_GT(Frame().At(kWidth / 2, kHeight / 2)[1], 60);
  RenderingOptions hidden;
  hidden.SetFilterVisible(12, false);
  listener.RenderingOptionsNotify(&hidden);
  EXPECT_LT(Frame().At(kWidth / 2, kHeight / 2)[1], 10) << "filter 12 disappears from the next frame";
}

}  // namespace
}  // namespace plugintest
