#include "KivVizCore/AGeometryItem.h"

AGeometryItem::AGeometryItem(std::uint64_t id) : id(id) {}

AGeometryItem::~AGeometryItem() = default;

bool AGeometryItem::RayHit(const float*, const float*, float, float*, float&) const { return false; }

bool AGeometryItem::GetBoundingBox(float*, float*) const { return false; }

void AGeometryItem::SetColor(const RGBAColor& value) {
  color = value;
  hasColor = true;
}
