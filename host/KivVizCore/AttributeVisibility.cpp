#include "KivVizCore/AttributeVisibility.h"

AttributeVisibility::AttributeVisibility(bool visible) : Attribute(VisibilityType), visible(visible) {}

Attribute* AttributeVisibility::Clone() const { return new AttributeVisibility(*this); }
