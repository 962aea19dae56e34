#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "KivVizCore/Attribute.h"
#include "KivVizCore/Node.h"
#include "NimboCore/IViewObjectProvider.h"
#include "NimboCore/MarkupFactory.h"
#include "NimboCore/MarkupViewObject.h"
#include "NimboCore/ViewObjectManager.h"
#include "TestGeometryItem.h"
#include "TestView.h"

namespace {

using NimboTest::TestGeometryItem;

class MarkupFactoryTest : public ::testing::Test {
 protected:
  MarkupFactoryTest() { view.GetViewObjectManager()->Add(factory->Name(), factory); }

  Node* OverlayNode() { return view.GetViewObjectManager()->GetNode(); }
  // The one item of a built markup's node.
  static const TestGeometryItem* ItemOf(AMarkupViewObject& markup) {
    markup.createGeometry();
    EXPECT_TRUE(markup.IsGeometryCreated());
    if (markup.GetNode() == nullptr || markup.GetNode()->Geometry().size() != 1) return nullptr;
    return dynamic_cast<const TestGeometryItem*>(markup.GetNode()->Geometry()[0]);
  }

  NimboTest::TestView view;
  MarkupFactory* factory = new MarkupFactory();
};

TEST_F(MarkupFactoryTest, FactoryIsAVisibleMarkupThatDrawsNothing) {
  EXPECT_EQ(factory->Name(), "MarkupFactory");
  EXPECT_TRUE(factory->IsVisible());
  view.GetViewObjectManager()->Display();
  EXPECT_TRUE(factory->IsGeometryCreated());
  EXPECT_TRUE(OverlayNode()->Children().empty());
}

TEST_F(MarkupFactoryTest, FactoryRefusesNonViewsAndPartialPoints) {
  struct BareProvider : IViewObjectProvider {
    ViewObjectManager* GetViewObjectManager() override { return nullptr; }
    void AddMarkups(const std::vector<std::vector<double>>&) override {}
    void RemoveMarkups() override {}
    void DrawArrow(const std::vector<double>&, const std::vector<double>&) override {}
  } bare;
  EXPECT_EQ(factory->CreateMarkup(&bare, {1, 2, 3}), nullptr);
  EXPECT_EQ(factory->CreateMarkup(nullptr, {1, 2, 3}), nullptr);
  EXPECT_EQ(factory->CreateMarkup(&view, {}), nullptr);
  EXPECT_EQ(factory->CreateMarkup(&view, {1, 2}), nullptr);
  EXPECT_EQ(factory->CreateMarkup(&view, {1, 2, 3, 4}), nullptr);
  EXPECT_THROW(MarkupViewObject(nullptr, "m", {0, 0, 0}, RGBAColor()), std::invalid_argument);
  EXPECT_THROW(MarkupViewObject(&view, "m", {}, RGBAColor()), std::invalid_argument);
  EXPECT_THROW(MarkupViewObject(&view, "m", {0, 0, 0, 1}, RGBAColor()), std::invalid_argument);
}

TEST_F(MarkupFactoryTest, OnePointBecomesAColouredMarkerUnderTheOverlayNode) {
  std::unique_ptr<AMarkupViewObject> markup(factory->CreateMarkup(&view, {1.0, 2.0, 3.0}));
  ASSERT_NE(markup, nullptr);
  EXPECT_EQ(markup->GetParentNode(), OverlayNode());
  EXPECT_EQ(markup->CreateMarkup(&view, {1, 2, 3}), nullptr) << "markups make no markups";
  markup->SetId(7);
  const TestGeometryItem* item = ItemOf(*markup);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(OverlayNode()->GetChild(7), markup->GetNode());
  EXPECT_NE(markup->GetNode()->GetAttribute(Attribute::ColorType), nullptr);
  EXPECT_EQ(item->GetKind(), TestGeometryItem::Kind::Points);
  EXPECT_EQ(item->Vertices(), (std::vector<float>{1.0f, 2.0f, 3.0f}));
}

TEST_F(MarkupFactoryTest, SeveralPointsBecomeAPolylineThroughThem) {
  std::unique_ptr<AMarkupViewObject> markup(factory->CreateMarkup(&view, {0, 0, 0, 1, 0, 0, 1, 1, 0}));
  ASSERT_NE(markup, nullptr);
  const TestGeometryItem* item = ItemOf(*markup);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->GetKind(), TestGeometryItem::Kind::Lines);
  EXPECT_EQ(item->Vertices(), (std::vector<float>{0, 0, 0, 1, 0, 0, 1, 1, 0}));
  EXPECT_EQ(item->Indices(), (std::vector<std::uint32_t>{0, 1, 1, 2}));
}

TEST_F(MarkupFactoryTest, EachMarkupHasANameOfItsOwn) {
  std::unique_ptr<AMarkupViewObject> first(factory->CreateMarkup(&view, {0, 0, 0}));
  ASSERT_TRUE(view.GetViewObjectManager()->Add("Markup2", new MarkupFactory()));
  std::unique_ptr<AMarkupViewObject> second(factory->CreateMarkup(&view, {0, 0, 0}));
  EXPECT_EQ(first->Name(), "Markup1");
  EXPECT_EQ(second->Name(), "Markup3") << "a name the manager holds already is skipped";
}

TEST_F(MarkupFactoryTest, ClearRemovesTheNodesAndTheNextDisplayBuildsThemAgain) {
  view.AddMarkups({{0, 0, 0}, {1, 1, 1, 2, 2, 2}});
  ViewObjectManager& manager = *view.GetViewObjectManager();
  ASSERT_EQ(manager.Count(), 3u);
  EXPECT_TRUE(manager.Get("Markup1")->IsVisible());
  manager.Display();
  EXPECT_EQ(OverlayNode()->Children().size(), 2u);
  manager.Clear();
  EXPECT_TRUE(OverlayNode()->Children().empty());
  EXPECT_FALSE(manager.Get("Markup1")->IsGeometryCreated());
  EXPECT_EQ(manager.Get("Markup1")->GetNode(), nullptr);
  manager.Display();
  EXPECT_EQ(OverlayNode()->Children().size(), 2u);
}

TEST_F(MarkupFactoryTest, RemovingOrDestroyingMarkupsRemovesTheirNodesAndSparesTheFactory) {
  view.AddMarkups({{0, 0, 0}, {1, 1, 1}});
  ViewObjectManager& manager = *view.GetViewObjectManager();
  manager.Display();
  EXPECT_THROW(view.AddMarkups({{0, 0}}), std::invalid_argument);
  view.RemoveMarkups();
  ASSERT_EQ(manager.Count(), 1u);
  EXPECT_EQ(manager[0], factory);
  EXPECT_TRUE(OverlayNode()->Children().empty());

  auto* markup = factory->CreateMarkup(&view, {0, 0, 0});
  ASSERT_TRUE(manager.Add(markup->Name(), markup));
  manager.Display();
  ASSERT_EQ(OverlayNode()->Children().size(), 1u);
  ASSERT_TRUE(manager.Remove(markup));
  delete markup;
  EXPECT_TRUE(OverlayNode()->Children().empty());
}

}  // namespace
