#include "NimboCore/MarkupFactory.h"

#include <string>

#include "NimboCore/AView3D.h"
#include "NimboCore/IViewObjectProvider.h"
#include "NimboCore/MarkupViewObject.h"
#include "NimboCore/ViewObjectManager.h"

namespace {

// Orange stands out against the default background and most models.
constexpr RGBAColor kMarkupColor(255, 140, 0, 255);

}  // namespace

MarkupFactory::MarkupFactory() : AMarkupViewObject(FactoryName) {}

void MarkupFactory::createGeometry() { isGeometryCreated = true; }

void MarkupFactory::deleteGeometry() {}

void MarkupFactory::draw() {}

AMarkupViewObject* MarkupFactory::CreateMarkup(IViewObjectProvider* provider, const std::vector<double>& coordinates) {
  auto* view = dynamic_cast<AView3D*>(provider);
  if (view == nullptr || coordinates.size() < 3 || coordinates.size() % 3 != 0) {
    return nullptr;
  }
  // A name the provider's manager does not hold yet.
  const ViewObjectManager* manager = provider->GetViewObjectManager();
  std::string markupName;
  do {
    markupName = "Markup" + std::to_string(++made);
  } while (manager != nullptr && manager->Get(markupName) != nullptr);
  return new MarkupViewObject(view, markupName, coordinates, kMarkupColor);
}
