#include "HighlightScene.h"

#include <memory>

namespace NimboTest {

HighlightScene::HighlightScene() {
  auto owned = std::make_unique<HighlightStrategyGL>(&view);
  strategy = owned.get();
  view.SetHighlightStrategy(std::move(owned));
  Node* part = view.GetRootNode()->CreateChildNode(2)->CreateChildNode(3);
  category = part->CreateChildNode(10002);
  category->CreateChildGeoNode(Opaque)->SetAttribute(new AttributeColor(OpaqueColor));
  category->CreateChildGeoNode(Uncoloured);
  category->CreateChildGeoNode(Transparent)->SetAttribute(new AttributeColor(TransparentColor));
  category->CreateChildGeoNode(OpaqueFlagged)->SetAttribute(new AttributeColor(FlaggedColor, true));
  Node* group = category->CreateChildNode(Group);
  group->SetAttribute(new AttributeColor(GroupColor));
  group->CreateChildGeoNode(InGroup);
}

RenderId HighlightScene::PathOf(std::uint64_t id) {
  if (id == InGroup) {
    return RenderId({1, 2, 3, 10002, Group, InGroup}, RenderId::SceneOrigin);
  }
  return RenderId({1, 2, 3, 10002, id}, RenderId::SceneOrigin);
}

const AttributeColor* HighlightScene::ColorOf(std::uint64_t id) {
  return dynamic_cast<const AttributeColor*>(NodeOf(id).GetAttribute(Attribute::ColorType));
}

}  // namespace NimboTest
