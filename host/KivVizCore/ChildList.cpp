#include "KivVizCore/ChildList.h"

#include "KivVizCore/Attribute.h"
#include "KivVizCore/AttributeTransform.h"
#include "KivVizCore/GeoNode.h"

namespace {

void FetchBytes(const void* object, std::size_t size) {
  const char* bytes = static_cast<const char*>(object);
  for (std::size_t offset = 0; offset < size; offset += 64) __builtin_prefetch(bytes + offset);
}

// What a traversal reads of a node before it reaches the node's items.
void FetchContent(const GeoNode* node) {
  if (node == nullptr) return;
  __builtin_prefetch(node->GetAttribute(Attribute::ColorType));
  const Attribute* transform = node->GetAttribute(Attribute::TransformType);
  if (transform != nullptr) FetchBytes(transform, sizeof(AttributeTransform));
  if (!node->Geometry().empty()) __builtin_prefetch(node->Geometry().data());
}

// Items are of any size; their first lines hold what drawing reads first
// (the table of virtual functions, the arrays and the box).
void FetchFirstItem(const GeoNode* node) {
  if (node == nullptr || node->Geometry().empty()) return;
  FetchBytes(node->Geometry().front(), 192);
}

}  // namespace

void ChildList::FetchAhead(const value_type* at, const value_type* end) {
  if (end - at > kNodeAhead && at[kNodeAhead].second != nullptr) FetchBytes(at[kNodeAhead].second, sizeof(GeoNode));
  if (end - at > kContentAhead) FetchContent(at[kContentAhead].second);
  FetchFirstItem(at[kItemAhead].second);
}
