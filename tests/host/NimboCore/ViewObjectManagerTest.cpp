// The view-object manager: the overlay node, name order, ids, refusals,
// ownership and the drawing order.
#include <gtest/gtest.h>

#include <stdexcept>

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

// Remove unlinks without deleting; the manager's end deletes the rest once.
TEST_F(ViewObjectManagerTest, KeepsObjectsInNameOrderWithIdsNeverReusedAndRefusesBadAdds) {
  JournalObject sameName("Aperture", journal);
  auto* rubberband = new JournalObject("Rubberband", journal);
  auto* axes = new JournalObject("AxesViewObject", journal);
  auto* aperture = new JournalObject("Aperture", journal);
  {
    ViewObjectManager manager(root.get());
    for (AViewObject* object : {rubberband, axes, aperture}) EXPECT_TRUE(manager.Add(object->Name(), object));
    EXPECT_FALSE(manager.Add("B", nullptr));
    EXPECT_FALSE(manager.Add("B", axes)) << "held already";
    EXPECT_FALSE(manager.Add("Aperture", &sameName));
    EXPECT_EQ(sameName.GetId(), 0) << "not taken, no id";
    EXPECT_EQ((std::vector{manager[0], manager[1], manager[2], manager[3], manager.Get("AxesViewObject"),
                           manager.Get("Axes")}),
              (std::vector<AViewObject*>{aperture, axes, rubberband, nullptr, axes, nullptr}));
    EXPECT_EQ((std::vector{rubberband->GetId(), axes->GetId(), aperture->GetId()}), (std::vector{1, 2, 3}));
    ASSERT_TRUE(manager.Remove(axes));
    EXPECT_FALSE(manager.Remove(axes));
    EXPECT_FALSE(manager.Remove(nullptr));
    EXPECT_EQ(manager.Get("AxesViewObject"), nullptr);
    ASSERT_TRUE(manager.Add("AxesViewObject", axes));
    EXPECT_EQ(axes->GetId(), 4);
    ASSERT_TRUE(manager.Remove(rubberband));
  }
  EXPECT_EQ(journal, (Journal{"Aperture:destroyed", "AxesViewObject:destroyed"}));
  delete rubberband;
}

// Clear deletes every object's geometry, built or not, and the next display
// builds it again.
TEST_F(ViewObjectManagerTest, DisplayDrawsVisibleMarkupsFirstThenTheOthersAndClearDeletesAll) {
  ViewObjectManager manager(root.get());
  for (const char* name : {"c", "b", "a"}) manager.Add(name, new JournalObject(name, journal));
  manager.Add("h", new JournalObject("h", journal, false));
  manager.Add("zm", new JournalMarkup("zm", journal));
  manager.Add("bm", new JournalMarkup("bm", journal));
  manager.Display();
  EXPECT_EQ(journal, (Journal{"bm:create", "bm:draw", "zm:create", "zm:draw", "a:create", "a:draw", "b:create",
                              "b:draw", "c:create", "c:draw"}));
  // Built once; later frames only draw.
  journal.clear();
  manager.Get("h")->SetIsVisible(true);
  manager.Display();
  EXPECT_EQ(journal, (Journal{"bm:draw", "zm:draw", "a:draw", "b:draw", "c:draw", "h:create", "h:draw"}));
  manager.Add("zh", new JournalObject("zh", journal, false));
  journal.clear();
  manager.Clear();
  EXPECT_EQ(journal, (Journal{"a:delete", "b:delete", "bm:delete", "c:delete", "h:delete", "zh:delete", "zm:delete"}));
  EXPECT_FALSE(manager.Get("a")->IsGeometryCreated());
  EXPECT_EQ(manager.Count(), 7u);
  journal.clear();
  manager.Get("zm")->SetIsVisible(false);
  manager.Display();
  EXPECT_EQ(journal, (Journal{"bm:create", "bm:draw", "a:create", "a:draw", "b:create", "b:draw", "c:create", "c:draw",
                              "h:create", "h:draw"}));
}

}  // namespace
