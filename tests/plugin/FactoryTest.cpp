// The plug-in's exports and factory, reached as a host reaches them: through
// the host's loader, which finds the three undecorated symbols.
#include "NimboCore/APluginFactory.h"
#include "NimboCore/Controller.h"
#include "PluginHostFixture.h"

namespace plugintest {
namespace {

TEST(FactoryTest, EachInstanceIsANewViewWithItsOwnThreeOverlaysWired) {
  EXPECT_EQ(Plugin().GetPluginName(), "View3dOpenGlSG");
  APluginFactory& factory = Plugin().GetFactory();
  EXPECT_EQ(factory.getName(), "View3dOpenGlSG");
  EXPECT_EQ(factory.getDescription(), L"OpenGL Sorrel viewer.");
  EXPECT_TRUE(factory.getPreqPlugins().empty());
  EXPECT_EQ(factory.createOptional(), nullptr);

  std::unique_ptr<AView3D> first(Plugin().CreateView()), second(Plugin().CreateView());
  ASSERT_TRUE(first != nullptr && second != nullptr);
  EXPECT_NE(first->GetRootNode(), second->GetRootNode());
  EXPECT_FALSE(first->IsInitialized());
  for (AView3D* view : {first.get(), second.get()}) {
    ViewObjectManager* manager = dynamic_cast<IViewObjectProvider&>(*view).GetViewObjectManager();
    ASSERT_EQ(manager->Count(), 3u);
    EXPECT_EQ(manager->GetNode(), view->GetRootNode()->GetChild(AView3DAdapter::OverlayNodeId));
    // Each manager numbers its objects in the order they were added; none is built before drawing.
    for (const auto& [name, id, visible] :
         {std::tuple{"AxesViewObject", 1, true}, {"Aperture", 2, false}, {"Rubberband", 3, false}}) {
      SCOPED_TRACE(name);
      AViewObject* object = manager->Get(name);
      ASSERT_NE(object, nullptr);
      EXPECT_EQ((std::tuple{object->GetId(), object->IsVisible(), object->GetNode(), object->GetParentNode()}),
                (std::tuple{id, visible, nullptr, manager->GetNode()}));
    }
    // The aperture and the rubber band listen, in that order; the triad does not.
    const std::vector<IControllerListener*> listeners{dynamic_cast<IControllerListener*>(manager->Get("Aperture")),
                                                      dynamic_cast<IControllerListener*>(manager->Get("Rubberband"))};
    EXPECT_EQ(view->GetController()->Listeners(), listeners);
    EXPECT_EQ(dynamic_cast<IControllerListener*>(manager->Get("AxesViewObject")), nullptr);
  }
}

}  // namespace
}  // namespace plugintest
