// The view-object provider: markups through the host's markup factory,
// their removal, arrows, the text manager and rendering options.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "KivVizCore/IRenderingOptions.h"
#include "KivVizCore/Node.h"
#include "KivVizCore/ITextManagerProvider.h"
#include "KivVizCore/IRenderingOptionsListener.h"
#include "KivVizCore/RenderingOptions.h"
#include "NimboCore/AMarkupViewObject.h"
#include "NimboCore/IViewObjectProvider.h"
#include "NimboCore/MarkupFactory.h"
#include "NimboCore/ViewObjectManager.h"
#include "PluginHostFixture.h"

namespace plugintest {
namespace {

// A markup object a host made itself, with the name it is given.
class NamedMarkup : public AMarkupViewObject {
 public:
  explicit NamedMarkup(const std::string& name, int* deletions = nullptr)
      : AMarkupViewObject(name), deletions_(deletions) {}
  ~NamedMarkup() override {
    if (deletions_ != nullptr) ++*deletions_;
  }
  void createGeometry() override { isGeometryCreated = true; }
  void deleteGeometry() override {}
  void draw() override {}
  AMarkupViewObject* CreateMarkup(IViewObjectProvider*, const std::vector<double>&) override {
    return nullptr;
  }

 private:
  int* deletions_;
};

// A plain overlay, not a markup.
class PlainObject : public AViewObject {
 public:
  explicit PlainObject(const std::string& name) : AViewObject(name) {}
  void createGeometry() override { isGeometryCreated = true; }
  void deleteGeometry() override {}
  void draw() override {}
};

class MarkupGLTest : public PluginGLTest {
 protected:
  IViewObjectProvider& Provider() { return *dynamic_cast<IViewObjectProvider*>(view); }
  ViewObjectManager& Manager() { return *Provider().GetViewObjectManager(); }
  void AddFactory() { ASSERT_TRUE(Manager().Add("MarkupFactory", new MarkupFactory())); }

  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < Manager().Count(); ++i) names.push_back(Manager()[i]->Name());
    return names;
  }
  std::size_t MarkupCount() {
    std::size_t count = 0;
    for (std::size_t i = 0; i < Manager().Count(); ++i)
      if (dynamic_cast<AMarkupViewObject*>(Manager()[i]) != nullptr) ++count;
    return count;
  }
};

TEST_F(MarkupGLTest, ProviderHandsOutTheViewsManagerAndTextManager) {
  ASSERT_NE(Provider().GetViewObjectManager(), nullptr);
  EXPECT_EQ(Provider().GetViewObjectManager()->GetNode(),
            Scene().GetRootNode()->GetChild(AView3DAdapter::OverlayNodeId));
  auto* text = dynamic_cast<ITextManagerProvider*>(view);
  ASSERT_NE(text, nullptr);
  EXPECT_NE(text->GetTextManager(), nullptr);
  EXPECT_EQ(text->GetTextManager(), text->GetTextManager());
}

TEST_F(MarkupGLTest, WithoutAFactoryNothingHappensEvenForBadLists) {
  const std::size_t before = Manager().Count();
  EXPECT_NO_THROW(Provider().AddMarkups({{1.0, 2.0}, {}}));
  EXPECT_EQ(Manager().Count(), before);
  // An object under the factory's name that is not a markup factory.
  ASSERT_TRUE(Manager().Add("MarkupFactory", new PlainObject("MarkupFactory")));
  EXPECT_NO_THROW(Provider().AddMarkups({{1.0, 2.0}}));
  EXPECT_EQ(Manager().Count(), before + 1);
}

TEST_F(MarkupGLTest, EachValidListBecomesAVisibleMarkup) {
  AddFactory();
  Provider().AddMarkups({{0.0, 0.0, 0.0}, {0.0, 0.0, 0.0, 1.0, 1.0, 1.0, 2.0, 0.0, 0.0}});
  ASSERT_EQ(MarkupCount(), 3u) << "the factory and two markups";
  for (std::size_t i = 0; i < Manager().Count(); ++i) {
    const bool madeMarkup = dynamic_cast<AMarkupViewObject*>(Manager()[i]) != nullptr &&
                            Manager()[i]->Name() != "MarkupFactory";
    if (madeMarkup) {
      EXPECT_TRUE(Manager()[i]->IsVisible());
    }
  }
  Provider().AddMarkups({});
  EXPECT_EQ(MarkupCount(), 3u);
}

TEST_F(MarkupGLTest, BadListStopsTheCallAndKeepsEarlierMarkups) {
  AddFactory();
  for (const std::vector<double>& bad : {std::vector<double>{}, std::vector<double>{1.0, 2.0},
                                         std::vector<double>{1.0, 2.0, 3.0, 4.0}}) {
    try {
      Provider().AddMarkups({bad});
      ADD_FAILURE() << "a list of " << bad.size() << " values must be refused";
    } catch (const std::exception& error) {
      EXPECT_STREQ(error.what(), "Cannot add markup object, incorrect size of coordinates");
    }
  }
  EXPECT_EQ(MarkupCount(), 1u);
  EXPECT_THROW(Provider().AddMarkups({{1.0, 2.0, 3.0}, {1.0, 2.0, 3.0, 4.0, 5.0}, {1.0, 1.0, 1.0}}),
               std::exception);
  EXPECT_EQ(MarkupCount(), 2u) << "the first list made a markup, the third was not used";
}

TEST_F(MarkupGLTest, RemoveMarkupsSparesTheFactoryAndTheOverlays) {
  AddFactory();
  int deletions = 0;
  ASSERT_TRUE(Manager().Add("Overlay", new PlainObject("Overlay")));
  ASSERT_TRUE(Manager().Add("MarkupFactory2", new NamedMarkup("MarkupFactory2", &deletions)));
  ASSERT_TRUE(Manager().Add("MarkupFactor", new NamedMarkup("MarkupFactor", &deletions)));
  Provider().AddMarkups({{0.0, 0.0, 0.0}});
  Provider().RemoveMarkups();
  EXPECT_EQ(deletions, 2) << "near misses of the factory's name are removed and deleted";
  const std::vector<std::string> names = Names();
  EXPECT_EQ(names, (std::vector<std::string>{"Aperture", "AxesViewObject", "MarkupFactory", "Overlay",
                                              "Rubberband"}));
}

TEST_F(MarkupGLTest, ClearAllRemovesMarkupsFirst) {
  AddFactory();
  Provider().AddMarkups({{0.0, 0.0, 0.0}});
  ASSERT_EQ(MarkupCount(), 2u);
  View().ClearAll();
  EXPECT_EQ(MarkupCount(), 1u);
  EXPECT_NE(Manager().Get("MarkupFactory"), nullptr);
}

TEST_F(MarkupGLTest, DrawArrowIsRefusedEveryTime) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      Provider().DrawArrow({0.0, 0.0, 0.0}, {1.0, 0.0, 0.0});
      ADD_FAILURE() << "DrawArrow must throw";
    } catch (const std::exception& error) {
      EXPECT_STREQ(error.what(), "View3dOpenGlSG::DrawArrow not implemented yet!");
    }
  }
}

TEST_F(MarkupGLTest, MarkupShowsInTheNextFrame) {
  LookFrom(0.0f, 0.0f, 10.0f);
  HideAxes();
  AddFactory();
  // View objects draw once a frame has drawn a ready scene, even an empty one.
  Scene().BeginScene(nullptr);
  Scene().EndScene();
  const platform::Image before = Frame();
  Provider().AddMarkups({{-3.0, 0.0, 0.0, 3.0, 0.0, 0.0}});
  const platform::Image after = Frame();
  int changed = 0;
  for (int x = 0; x < kWidth; ++x)
    if (!Near(after.At(x, kHeight / 2), before.At(x, kHeight / 2), 10)) ++changed;
  EXPECT_GT(changed, 40) << "a horizontal polyline crosses the middle row";
  Keep(after, "markup");
}

class OtherOptions : public IRenderingOptions {
 public:
  bool IsFilterVisible(int) const override { return false; }
};

TEST_F(MarkupGLTest, RenderingOptionsReachTheFilterManager) {
  LookFrom(0.0f, 0.0f, 10.0f);
  HideAxes();
  AddQuad(3, 4, 5, -1.0f, -1.0f, 1.0f, 1.0f, 0.0f, RGBAColor{0, 200, 0, 255});
  Scene().BeginScene(nullptr);
  ASSERT_TRUE(Scene().OpenNode(3));
  Scene().SetFilterId(12);
  Scene().CloseAllNodes();
  Scene().EndScene();
  auto* listener = dynamic_cast<IRenderingOptionsListener*>(view);
  ASSERT_NE(listener, nullptr);
  // Notifications that are not rendering options are ignored.
  OtherOptions other;
  listener->RenderingOptionsNotify(&other);
  listener->RenderingOptionsNotify(nullptr);
  EXPECT_GT(Frame().At(kWidth / 2, kHeight / 2)[1], 60);
  RenderingOptions hidden;
  hidden.SetFilterVisible(12, false);
  listener->RenderingOptionsNotify(&hidden);
  EXPECT_LT(Frame().At(kWidth / 2, kHeight / 2)[1], 10) << "filter 12 disappears from the next frame";
}

}  // namespace
}  // namespace plugintest
