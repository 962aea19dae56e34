// The view-object manager: the overlay node, name order, ids, refusals,
// ownership and the drawing order.
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

TEST_F(ViewObjectManagerTest, KeepsObjectsInNameOrderWithIdsNeverReusedAndRefusesBadAdds) {
  ViewObjectManager manager(root.get());
  auto* rubberband = new JournalObject("Rubberband", journal);
  auto* axes = new JournalObject("AxesViewObject", journal);
  auto* aperture = new JournalObject("Aperture", journal);
  EXPECT_TRUE(manager.Add("Rubberband", rubberband));
  EXPECT_TRUE(manager.Add("AxesViewObject", axes));
  EXPECT_TRUE(manager.Add("Aperture", aperture));
  EXPECT_FALSE(manager.Add("B", nullptr));
  EXPECT_FALSE(manager.Add("B", axes)) << "held already";
  JournalObject sameName("Aperture", journal);
  EXPECT_FALSE(manager.Add("Aperture", &sameName));
  EXPECT_EQ(sameName.GetId(), 0) << "not taken, no id";
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

// Clear deletes every object's geometry, built or not, and the next display
// builds it again.
TEST_F(ViewObjectManagerTest, DisplayDrawsVisibleMarkupsFirstThenTheOthersAndClearDeletesAll) {
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
  EXPECT_EQ(journal, (Journal{"BMarkup:draw", "ZMarkup:draw", "Aperture:draw", "AxesViewObject:draw", "Hidden:create",
                              "Hidden:draw", "Rubberband:draw"}));
  manager.Add("ZHidden", new JournalObject("ZHidden", journal, false));
  journal.clear();
  manager.Clear();
  EXPECT_EQ(journal, (Journal{"Aperture:delete", "AxesViewObject:delete", "BMarkup:delete", "Hidden:delete",
                              "Rubberband:delete", "ZHidden:delete", "ZMarkup:delete"}));
  EXPECT_FALSE(manager.Get("Aperture")->IsGeometryCreated());
  EXPECT_EQ(manager.Count(), 7u);
  journal.clear();
  manager.Get("ZMarkup")->SetIsVisible(false);
  manager.Display();
  EXPECT_EQ(journal,
            (Journal{"BMarkup:create", "BMarkup:draw", "Aperture:create", "Aperture:draw", "AxesViewObject:create",
                     "AxesViewObject:draw", "Hidden:create", "Hidden:draw", "Rubberband:create", "Rubberband:draw"}));
}

}  // namespace
