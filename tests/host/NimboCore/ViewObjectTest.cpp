// The view-object manager (the overlay node, name order, ids, refusals,
// ownership, drawing order) and markups: the factory view object, the items it
// builds under the overlay node, their names, and their nodes going with them.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "KivVizCore/Attribute.h"
#include "KivVizCore/Node.h"
#include "NimboCore/AMarkupViewObject.h"
#include "NimboCore/AViewObject.h"
#include "NimboCore/MarkupFactory.h"
#include "NimboCore/MarkupViewObject.h"
#include "NimboCore/ViewObjectManager.h"
#include "TestGeometryItem.h"
#include "TestView.h"

namespace {

// What the view objects were asked to do, in order: "<name>:<operation>".
using Journal = std::vector<std::string>;

template <typename Base>
class Journaled : public Base {
 public:
  Journaled(const std::string& name, Journal& journal, bool visible = true) : Base(name), journal(journal) {
    this->isVisible = visible;
  }
  ~Journaled() override { journal.push_back(this->name + ":destroyed"); }
  void createGeometry() override {
    journal.push_back(this->name + ":create");
    this->isGeometryCreated = true;
  }
  void deleteGeometry() override { journal.push_back(this->name + ":delete"); }
  void draw() override { journal.push_back(this->name + ":draw"); }

 private:
  Journal& journal;
};

using JournalObject = Journaled<AViewObject>;

class JournalMarkup : public Journaled<AMarkupViewObject> {
 public:
  using Journaled::Journaled;
  AMarkupViewObject* CreateMarkup(IViewObjectProvider*, const std::vector<double>&) override { return nullptr; }
};

class ViewObjectManagerTest : public ::testing::Test {
 protected:
  std::unique_ptr<Node> root{Node::CreateRoot()};
  Journal journal;
};

TEST_F(ViewObjectManagerTest, CreatesTheRootsOverlayGroupTakesTheOneThereAndRefusesALeaf) {
  EXPECT_THROW(ViewObjectManager(nullptr), std::invalid_argument);
  ViewObjectManager manager(root.get());
  ASSERT_NE(manager.GetNode(), nullptr);
  EXPECT_EQ(root->GetChild(60000), manager.GetNode());
  EXPECT_TRUE(manager.GetNode()->IsGroup());
  EXPECT_EQ(ViewObjectManager(root.get()).GetNode(), manager.GetNode());
  std::unique_ptr<Node> other{Node::CreateRoot()};
  other->CreateChildGeoNode(60000);
  EXPECT_THROW(ViewObjectManager(other.get()), std::invalid_argument);
}

TEST_F(ViewObjectManagerTest, KeepsObjectsInNameOrderWithIdsInOrderOfAddingNeverReused) {
  ViewObjectManager manager(root.get());
  auto* rubberband = new JournalObject("Rubberband", journal);
  auto* axes = new JournalObject("AxesViewObject", journal);
  auto* aperture = new JournalObject("Aperture", journal);
  EXPECT_TRUE(manager.Add("Rubberband", rubberband));
  EXPECT_TRUE(manager.Add("AxesViewObject", axes));
  EXPECT_TRUE(manager.Add("Aperture", aperture));
  ASSERT_EQ(manager.Count(), 3u);
  EXPECT_EQ(manager[0], aperture);
  EXPECT_EQ(manager[1], axes);
  EXPECT_EQ(manager[2], rubberband);
  EXPECT_EQ(manager[3], nullptr);
  EXPECT_EQ(manager.Get("AxesViewObject"), axes);
  EXPECT_EQ(manager.Get("Axes"), nullptr);
  EXPECT_EQ(rubberband->GetId(), 1);
  EXPECT_EQ(axes->GetId(), 2);
  EXPECT_EQ(aperture->GetId(), 3);
  ASSERT_TRUE(manager.Remove(axes));
  ASSERT_TRUE(manager.Add("AxesViewObject", axes));
  EXPECT_EQ(axes->GetId(), 4);
}

TEST_F(ViewObjectManagerTest, AddRefusesNullTakenNamesAndObjectsHeldAlready) {
  ViewObjectManager manager(root.get());
  auto* held = new JournalObject("A", journal);
  ASSERT_TRUE(manager.Add("A", held));
  EXPECT_FALSE(manager.Add("B", nullptr));
  EXPECT_FALSE(manager.Add("B", held));
  JournalObject sameName("A", journal);
  EXPECT_FALSE(manager.Add("A", &sameName));
  EXPECT_EQ(sameName.GetId(), 0) << "not taken, no id";
  EXPECT_EQ(manager.Count(), 1u);
}

TEST_F(ViewObjectManagerTest, RemoveUnlinksWithoutDeletingAndDestructionDeletesTheRestOnce) {
  Journal removedJournal;
  auto* removed = new JournalObject("removed", removedJournal);
  {
    ViewObjectManager manager(root.get());
    manager.Add("b", new JournalObject("b", journal));
    manager.Add("a", new JournalObject("a", journal));
    manager.Add("removed", removed);
    EXPECT_TRUE(manager.Remove(removed));
    EXPECT_FALSE(manager.Remove(removed));
    EXPECT_FALSE(manager.Remove(nullptr));
    EXPECT_EQ(manager.Get("removed"), nullptr);
  }
  EXPECT_EQ(journal, (Journal{"a:destroyed", "b:destroyed"}));
  EXPECT_TRUE(removedJournal.empty());
  delete removed;
}

TEST_F(ViewObjectManagerTest, ClearDeletesEveryObjectsGeometryAndTheNextDisplayBuildsAgain) {
  ViewObjectManager manager(root.get());
  auto* a = new JournalObject("a", journal);
  manager.Add("a", a);
  manager.Add("b", new JournalObject("b", journal, false));
  manager.Display();
  ASSERT_TRUE(a->IsGeometryCreated());
  journal.clear();
  manager.Clear();
  EXPECT_EQ(journal, (Journal{"a:delete", "b:delete"}));
  EXPECT_FALSE(a->IsGeometryCreated());
  EXPECT_EQ(manager.Count(), 2u);
  journal.clear();
  manager.Display();
  EXPECT_EQ(journal, (Journal{"a:create", "a:draw"}));
}

TEST_F(ViewObjectManagerTest, DisplayDrawsVisibleMarkupsFirstThenTheOthersInNameOrder) {
  ViewObjectManager manager(root.get());
  for (const char* name : {"Rubberband", "AxesViewObject", "Aperture"}) {
    manager.Add(name, new JournalObject(name, journal));
  }
  manager.Add("Hidden", new JournalObject("Hidden", journal, false));
  manager.Add("ZMarkup", new JournalMarkup("ZMarkup", journal));
  manager.Add("BMarkup", new JournalMarkup("BMarkup", journal));
  manager.Display();
  EXPECT_EQ(journal, (Journal{"BMarkup:create", "BMarkup:draw", "ZMarkup:create", "ZMarkup:draw", "Aperture:create",
                              "Aperture:draw", "AxesViewObject:create", "AxesViewObject:draw", "Rubberband:create",
                              "Rubberband:draw"}));
  // Built once; later frames only draw.
  journal.clear();
  manager.Get("Hidden")->SetIsVisible(true);
  manager.Display();
  EXPECT_EQ(journal, (Journal{"BMarkup:draw", "ZMarkup:draw", "Aperture:draw", "AxesViewObject:draw",
                              "Hidden:create", "Hidden:draw", "Rubberband:draw"}));
}

using NimboTest::TestGeometryItem;

class MarkupFactoryTest : public ::testing::Test {
 protected:
  MarkupFactoryTest() { manager.Add(factory->Name(), factory); }

  Node* OverlayNode() { return manager.GetNode(); }
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

TEST_F(MarkupFactoryTest, OnePointBecomesAColouredMarkerAndSeveralAPolyline) {
  std::unique_ptr<AMarkupViewObject> marker(factory->CreateMarkup(&view, {1.0, 2.0, 3.0}));
  ASSERT_NE(marker, nullptr);
  EXPECT_EQ(marker->GetParentNode(), OverlayNode());
  EXPECT_EQ(marker->CreateMarkup(&view, {1, 2, 3}), nullptr) << "markups make no markups";
  marker->SetId(7);
  const TestGeometryItem& point = ItemOf(*marker);
  EXPECT_EQ(OverlayNode()->GetChild(7), marker->GetNode());
  EXPECT_NE(marker->GetNode()->GetAttribute(Attribute::ColorType), nullptr);
  EXPECT_EQ(point.kind, TestGeometryItem::Kind::Points);
  EXPECT_EQ(point.vertices, (std::vector<float>{1.0f, 2.0f, 3.0f}));

  std::unique_ptr<AMarkupViewObject> polyline(factory->CreateMarkup(&view, {0, 0, 0, 1, 0, 0, 1, 1, 0}));
  ASSERT_NE(polyline, nullptr);
  polyline->SetId(8);
  const TestGeometryItem& lines = ItemOf(*polyline);
  EXPECT_EQ(lines.kind, TestGeometryItem::Kind::Lines);
  EXPECT_EQ(lines.vertices, (std::vector<float>{0, 0, 0, 1, 0, 0, 1, 1, 0}));
  EXPECT_EQ(lines.indices, (std::vector<std::uint32_t>{0, 1, 1, 2}));
}

TEST_F(MarkupFactoryTest, EachMarkupHasANameOfItsOwn) {
  std::unique_ptr<AMarkupViewObject> first(factory->CreateMarkup(&view, {0, 0, 0}));
  ASSERT_TRUE(manager.Add("Markup2", new MarkupFactory()));
  std::unique_ptr<AMarkupViewObject> second(factory->CreateMarkup(&view, {0, 0, 0}));
  EXPECT_EQ(first->Name(), "Markup1");
  EXPECT_EQ(second->Name(), "Markup3") << "a name the manager holds already is skipped";
}

TEST_F(MarkupFactoryTest, ClearRemovesTheNodesTheNextDisplayBuildsThemAndDeletingAMarkupRemovesIt) {
  auto* markup = factory->CreateMarkup(&view, {0, 0, 0});
  ASSERT_TRUE(manager.Add(markup->Name(), markup));
  markup->SetIsVisible(true);
  manager.Display();
  ASSERT_EQ(OverlayNode()->Children().size(), 1u);
  manager.Clear();
  EXPECT_TRUE(OverlayNode()->Children().empty());
  EXPECT_FALSE(markup->IsGeometryCreated());
  EXPECT_EQ(markup->GetNode(), nullptr);
  manager.Display();
  ASSERT_EQ(OverlayNode()->Children().size(), 1u);
  ASSERT_TRUE(manager.Remove(markup));
  delete markup;
  EXPECT_TRUE(OverlayNode()->Children().empty());
  EXPECT_EQ(manager.Count(), 1u);
}

}  // namespace
