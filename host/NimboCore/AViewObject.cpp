#include "NimboCore/AViewObject.h"

AViewObject::AViewObject() = default;

AViewObject::AViewObject(const std::string& name) : name(name) {}

AViewObject::~AViewObject() = default;

void AViewObject::SetIsVisible(const bool& visible) { isVisible = visible; }

void AViewObject::Clear() {
  deleteGeometry();
  isGeometryCreated = false;
}
