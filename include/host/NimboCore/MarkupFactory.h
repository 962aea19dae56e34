// The markup factory a host puts into a view's manager under the name
// "MarkupFactory": one point makes a marker, more points a polyline through
// them. It draws nothing itself.
#ifndef NIMBO_INCLUDE_HOST_NIMBOCORE_MARKUPFACTORY_H
#define NIMBO_INCLUDE_HOST_NIMBOCORE_MARKUPFACTORY_H

#include "HostExtensions.h"

// Ours as a whole: no part of the host contract.
#if NIMBO_HOST_EXTENSIONS

#include <vector>

#include "NimboCore/AMarkupViewObject.h"

class NIMBOCORE_EXPORT MarkupFactory : public AMarkupViewObject {
 public:
  static constexpr const char* FactoryName = "MarkupFactory";

  MarkupFactory();

  void createGeometry() override;
  void deleteGeometry() override;
  void draw() override;

  // Null unless the provider is a view and the list holds whole points (a
  // multiple of 3, at least 3 values). Each markup gets a name of its own.
  AMarkupViewObject* CreateMarkup(IViewObjectProvider* provider, const std::vector<double>& coordinates) override;

 private:
  int made = 0;
};

#endif  // NIMBO_HOST_EXTENSIONS

#endif
