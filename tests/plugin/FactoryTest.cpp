// The plug-in's exports and factory, reached exactly as a host reaches them:
// opening the library and finding the three undecorated symbols.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "KivVizCore/Node.h"
#include "LoadedLibrary.h"
#include "NimboCore/APluginFactory.h"
#include "NimboCore/AView3D.h"
#include "NimboCore/AViewObject.h"
#include "NimboCore/Controller.h"
#include "NimboCore/IControllerListener.h"
#include "NimboCore/IViewObjectProvider.h"
#include "NimboCore/ViewObjectManager.h"

namespace {

class FactoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(library.IsOpen()) << library.Error();
    createPlugin = library.Find<APluginFactory* (*)()>("CreatePlugin");
    getName = library.Find<const char* (*)()>("GetPluginName");
    getType = library.Find<const char* (*)()>("GetPluginType");
    ASSERT_TRUE(createPlugin != nullptr && getName != nullptr && getType != nullptr) << "an export is missing";
  }
  static ViewObjectManager* ManagerOf(AView3D& view) {
    auto* provider = dynamic_cast<IViewObjectProvider*>(&view);
    return provider != nullptr ? provider->GetViewObjectManager() : nullptr;
  }

  LoadedLibrary library{NIMBO_PLUGIN_PATH};
  APluginFactory* (*createPlugin)() = nullptr;
  const char* (*getName)() = nullptr;
  const char* (*getType)() = nullptr;
};

TEST_F(FactoryTest, NameTypeAndDescriptionAreTheHostsTexts) {
  const char* name = getName();
  EXPECT_STREQ(name, "View3dOpenGlSG");
  EXPECT_EQ(getName(), name) << "the same pointer on every call";
  const char* type = getType();
  EXPECT_STREQ(type, "View3D");
  EXPECT_EQ(getType(), type);
  std::unique_ptr<APluginFactory> factory(createPlugin());
  ASSERT_NE(factory, nullptr);
  EXPECT_EQ(factory->getName(), "View3dOpenGlSG");
  factory->doPreLoad();
  EXPECT_TRUE(factory->getDescription().empty()) << "described by doLoad only";
  EXPECT_TRUE(factory->getPreqPlugins().empty());
  factory->doLoad();
  EXPECT_EQ(factory->getDescription(), L"OpenGL Sorrel viewer.");
  EXPECT_EQ(factory->createOptional(), nullptr);
}

TEST_F(FactoryTest, EachInstanceIsANewViewWithItsOwnThreeOverlaysWired) {
  std::unique_ptr<APluginFactory> factory(createPlugin());
  factory->doLoad();
  std::unique_ptr<AView3D> first(factory->createInstance());
  std::unique_ptr<AView3D> second(factory->createInstance());
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first->GetRootNode(), second->GetRootNode());
  EXPECT_FALSE(first->IsInitialized());
  for (AView3D* view : {first.get(), second.get()}) {
    ViewObjectManager* manager = ManagerOf(*view);
    ASSERT_NE(manager, nullptr);
    ASSERT_EQ(manager->Count(), 3u);
    EXPECT_EQ(manager->GetNode(), view->GetRootNode()->GetChild(AView3DAdapter::OverlayNodeId));
    // Each manager numbers its objects in the order they were added.
    const struct {
      const char* name;
      int id;
      bool visible;
    } expected[] = {{"AxesViewObject", 1, true}, {"Aperture", 2, false}, {"Rubberband", 3, false}};
    for (const auto& entry : expected) {
      AViewObject* object = manager->Get(entry.name);
      ASSERT_NE(object, nullptr) << entry.name;
      EXPECT_EQ(object->GetId(), entry.id) << entry.name;
      EXPECT_EQ(object->IsVisible(), entry.visible) << entry.name;
      EXPECT_EQ(object->GetNode(), nullptr) << entry.name << " builds nothing before drawing";
      EXPECT_EQ(object->GetParentNode(), manager->GetNode()) << entry.name;
    }
    // The aperture and the rubber band listen, in that order; the triad does not.
    const std::vector<IControllerListener*> listeners{dynamic_cast<IControllerListener*>(manager->Get("Aperture")),
                                                      dynamic_cast<IControllerListener*>(manager->Get("Rubberband"))};
    EXPECT_TRUE(listeners[0] != nullptr && listeners[1] != nullptr);
    EXPECT_EQ(view->GetController()->Listeners(), listeners);
    EXPECT_EQ(dynamic_cast<IControllerListener*>(manager->Get("AxesViewObject")), nullptr);
  }
  EXPECT_NE(ManagerOf(*first)->Get("Aperture"), ManagerOf(*second)->Get("Aperture"));
}

}  // namespace
