// Markups: the factory view object, the items it builds under the overlay
// node, their names, and their nodes going with them.
#include <gtest/gtest.h>

#include "NimboCore/MarkupFactory.h"
#include "NimboCore/MarkupViewObject.h"
#include "TestView.h"

namespace {

using NimboTest::TestGeometryItem;

class MarkupFactoryTest : public ::testing::Test {
 protected:
  MarkupFactoryTest() { manager.Add(factory->Name(), factory); }

  // The one item of a built markup's node.
  static const TestGeometryItem& ItemOf(AMarkupViewObject& markup) {
    markup.createGeometry();
    EXPECT_TRUE(markup.IsGeometryCreated());
    if (markup.GetNode() == nullptr || markup.GetNode()->Geometry().size() != 1) throw std::logic_error("no item");
    return dynamic_cast<const TestGeometryItem&>(*markup.GetNode()->Geometry()[0]);
  }

  NimboTest::TestView view;
  ViewObjectManager& manager = *view.GetViewObjectManager();
  MarkupFactory* factory = new MarkupFactory();
};

TEST_F(MarkupFactoryTest, FactoryRefusesNonViewsAndPartialPoints) {
  struct BareProvider : IViewObjectProvider {
    ViewObjectManager* GetViewObjectManager() override { return nullptr; }
    void AddMarkups(const std::vector<std::vector<double>>&) override {}
    void RemoveMarkups() override {}
    void DrawArrow(const std::vector<double>&, const std::vector<double>&) override {}
  } bare;
  EXPECT_EQ(factory->CreateMarkup(&bare, {1, 2, 3}), nullptr);
  EXPECT_EQ(factory->CreateMarkup(nullptr, {1, 2, 3}), nullptr);
  for (const std::vector<double>& points : std::vector<std::vector<double>>{{}, {1, 2}, {1, 2, 3, 4}}) {
    EXPECT_EQ(factory->CreateMarkup(&view, points), nullptr) << points.size();
  }
  EXPECT_THROW(MarkupViewObject(nullptr, "m", {0, 0, 0}, RGBAColor()), std::invalid_argument);
  EXPECT_THROW(MarkupViewObject(&view, "m", {}, RGBAColor()), std::invalid_argument);
  EXPECT_THROW(MarkupViewObject(&view, "m", {0, 0, 0, 1}, RGBAColor()), std::invalid_argument);
}

// Each has a name of its own: one the manager holds already is skipped.
TEST_F(MarkupFactoryTest, OnePointBecomesAColouredMarkerAndSeveralAPolylineNamedInTurn) {
  std::unique_ptr<AMarkupViewObject> marker(factory->CreateMarkup(&view, {1.0, 2.0, 3.0}));
  ASSERT_NE(marker, nullptr);
  EXPECT_EQ(marker->Name(), "Markup1");
  ASSERT_TRUE(manager.Add("Markup2", new MarkupFactory()));
  EXPECT_EQ(marker->GetParentNode(), manager.GetNode());
  EXPECT_EQ(marker->CreateMarkup(&view, {1, 2, 3}), nullptr) << "markups make no markups";
  marker->SetId(7);
  const TestGeometryItem& point = ItemOf(*marker);
  EXPECT_EQ(manager.GetNode()->GetChild(7), marker->GetNode());
  EXPECT_NE(marker->GetNode()->GetAttribute(Attribute::ColorType), nullptr);
  EXPECT_EQ(point.kind, TestGeometryItem::Kind::Points);
  EXPECT_EQ(point.vertices, (std::vector<float>{1.0f, 2.0f, 3.0f}));

  std::unique_ptr<AMarkupViewObject> polyline(factory->CreateMarkup(&view, {0, 0, 0, 1, 0, 0, 1, 1, 0}));
  ASSERT_NE(polyline, nullptr);
  EXPECT_EQ(polyline->Name(), "Markup3");
  polyline->SetId(8);
  const TestGeometryItem& lines = ItemOf(*polyline);
  EXPECT_EQ(lines.kind, TestGeometryItem::Kind::Lines);
  EXPECT_EQ(lines.vertices, (std::vector<float>{0, 0, 0, 1, 0, 0, 1, 1, 0}));
  EXPECT_EQ(lines.indices, (std::vector<std::uint32_t>{0, 1, 1, 2}));
}

TEST_F(MarkupFactoryTest, ClearRemovesTheNodesTheNextDisplayBuildsThemAndDeletingAMarkupRemovesIt) {
  auto* markup = factory->CreateMarkup(&view, {0, 0, 0});
  ASSERT_TRUE(manager.Add(markup->Name(), markup));
  markup->SetIsVisible(true);
  manager.Display();
  ASSERT_EQ(manager.GetNode()->Children().size(), 1u);
  manager.Clear();
  EXPECT_TRUE(manager.GetNode()->Children().empty());
  EXPECT_FALSE(markup->IsGeometryCreated());
  EXPECT_EQ(markup->GetNode(), nullptr);
  manager.Display();
  ASSERT_EQ(manager.GetNode()->Children().size(), 1u);
  ASSERT_TRUE(manager.Remove(markup));
  delete markup;
  EXPECT_TRUE(manager.GetNode()->Children().empty());
  EXPECT_EQ(manager.Count(), 1u);
}

}  // namespace
