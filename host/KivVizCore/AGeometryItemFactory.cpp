#include "KivVizCore/AGeometryItemFactory.h"

AGeometryItemFactory::~AGeometryItemFactory() = default;
