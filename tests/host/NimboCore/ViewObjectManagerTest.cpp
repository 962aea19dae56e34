#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "KivVizCore/Node.h"
#include "NimboCore/AMarkupViewObject.h"
#include "NimboCore/AViewObject.h"
#include "NimboCore/ViewObjectManager.h"

namespace {

// What the view objects were asked to do, in order: "<name>:<operation>".
using Journal = std::vector<std::string>;

class JournalObject : public AViewObject {
 public:
  JournalObject(const std::string& name, Journal& journal, bool visible = true) : AViewObject(name), journal(journal) {
    isVisible = visible;
  }
  ~JournalObject() override { journal.push_back(name + ":destroyed"); }

  void createGeometry() override {
    journal.push_back(name + ":create");
    isGeometryCreated = true;
  }
  void deleteGeometry() override { journal.push_back(name + ":delete"); }
  void draw() override { journal.push_back(name + ":draw"); }

 private:
  Journal& journal;
};

class JournalMarkup : public AMarkupViewObject {
 public:
  JournalMarkup(const std::string& name, Journal& journal) : AMarkupViewObject(name), journal(journal) {}
  ~JournalMarkup() override { journal.push_back(name + ":destroyed"); }

  void createGeometry() override {
    journal.push_back(name + ":create");
    isGeometryCreated = true;
  }
  void deleteGeometry() override { journal.push_back(name + ":delete"); }
  void draw() override { journal.push_back(name + ":draw"); }
  AMarkupViewObject* CreateMarkup(IViewObjectProvider*, const std::vector<double>&) override { return nullptr; }

 private:
  Journal& journal;
};

class ViewObjectManagerTest : public ::testing::Test {
 protected:
  std::unique_ptr<Node> root{Node::CreateRoot()};
  Journal journal;
};

TEST_F(ViewObjectManagerTest, CreatesTheRootsOverlayGroupOrTakesTheOneThere) {
  ViewObjectManager manager(root.get());
  ASSERT_NE(manager.GetNode(), nullptr);
  EXPECT_EQ(manager.GetNode()->GetId(), 60000u);
  EXPECT_EQ(root->GetChild(60000), manager.GetNode());
  EXPECT_TRUE(manager.GetNode()->IsGroup());

  ViewObjectManager second(root.get());
  EXPECT_EQ(second.GetNode(), manager.GetNode());
}

TEST_F(ViewObjectManagerTest, RefusesANullRootOrALeafInThePlaceOfItsGroup) {
  EXPECT_THROW(ViewObjectManager(nullptr), std::invalid_argument);
  root->CreateChildGeoNode(60000);
  EXPECT_THROW(ViewObjectManager(root.get()), std::invalid_argument);
}

TEST_F(ViewObjectManagerTest, KeepsObjectsInNameOrderWithIdsInOrderOfAdding) {
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
}

TEST_F(ViewObjectManagerTest, AddRefusesNullTakenNamesAndObjectsHeldAlready) {
  ViewObjectManager manager(root.get());
  auto* held = new JournalObject("A", journal);
  ASSERT_TRUE(manager.Add("A", held));
  EXPECT_FALSE(manager.Add("B", nullptr));
  EXPECT_FALSE(manager.Add("B", held));

  JournalObject sameName("A", journal);
  EXPECT_FALSE(manager.Add("A", &sameName));
  EXPECT_EQ(sameName.GetId(), 0);  // not taken, no id
  EXPECT_EQ(manager.Count(), 1u);
}

TEST_F(ViewObjectManagerTest, IdsAreNeverReused) {
  ViewObjectManager manager(root.get());
  auto* first = new JournalObject("first", journal);
  ASSERT_TRUE(manager.Add("first", first));
  ASSERT_TRUE(manager.Remove(first));
  std::unique_ptr<AViewObject> owned(first);
  auto* second = new JournalObject("second", journal);
  ASSERT_TRUE(manager.Add("second", second));
  EXPECT_EQ(second->GetId(), 2);
  ASSERT_TRUE(manager.Remove(second));
  ASSERT_TRUE(manager.Add("second", second));
  EXPECT_EQ(second->GetId(), 3);
}

TEST_F(ViewObjectManagerTest, DestructionDeletesEachHeldObjectOnce) {
  {
    ViewObjectManager manager(root.get());
    manager.Add("b", new JournalObject("b", journal));
    manager.Add("a", new JournalObject("a", journal));
  }
  EXPECT_EQ(journal, (Journal{"a:destroyed", "b:destroyed"}));
}

TEST_F(ViewObjectManagerTest, RemoveUnlinksWithoutDeleting) {
  Journal removedJournal;
  auto* removed = new JournalObject("removed", removedJournal);
  {
    ViewObjectManager manager(root.get());
    manager.Add("kept", new JournalObject("kept", journal));
    manager.Add("removed", removed);
    EXPECT_TRUE(manager.Remove(removed));
    EXPECT_FALSE(manager.Remove(removed));
    EXPECT_FALSE(manager.Remove(nullptr));
    EXPECT_EQ(manager.Get("removed"), nullptr);
    EXPECT_EQ(manager.Count(), 1u);
  }
  EXPECT_TRUE(removedJournal.empty());
  delete removed;
  EXPECT_EQ(removedJournal, (Journal{"removed:destroyed"}));
}

TEST_F(ViewObjectManagerTest, ClearRemovesEveryObjectsGeometryAndKeepsTheObjects) {
  ViewObjectManager manager(root.get());
  auto* a = new JournalObject("a", journal);
  auto* b = new JournalObject("b", journal, false);
  manager.Add("a", a);
  manager.Add("b", b);
  manager.Display();
  ASSERT_TRUE(a->IsGeometryCreated());
  journal.clear();

  manager.Clear();
  EXPECT_EQ(journal, (Journal{"a:delete", "b:delete"}));
  EXPECT_FALSE(a->IsGeometryCreated());
  EXPECT_EQ(manager.Count(), 2u);

  journal.clear();
  manager.Display();  // builds again
  EXPECT_EQ(journal, (Journal{"a:create", "a:draw"}));
}

TEST_F(ViewObjectManagerTest, DisplayDrawsVisibleMarkupsFirstThenTheOthersInNameOrder) {
  ViewObjectManager manager(root.get());
  manager.Add("Rubberband", new JournalObject("Rubberband", journal));
  manager.Add("AxesViewObject", new JournalObject("AxesViewObject", journal));
  manager.Add("Aperture", new JournalObject("Aperture", journal));
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

TEST(ViewObjectTest, StartsVisibleWithoutGeometryIdOrNodes) {
  Journal journal;
  JournalObject object("name", journal);
  EXPECT_EQ(object.Name(), "name");
  EXPECT_TRUE(object.IsVisible());
  EXPECT_FALSE(object.IsGeometryCreated());
  EXPECT_EQ(object.GetId(), 0);
  EXPECT_EQ(object.GetParentNode(), nullptr);
  EXPECT_EQ(object.GetNode(), nullptr);
  object.SetIsVisible(false);
  EXPECT_FALSE(object.IsVisible());
}

}  // namespace
