#include "KivVizCore/AttributeColor.h"

AttributeColor::AttributeColor(const RGBAColor& color) : AttributeColor(color, color.IsOpaque()) {}

AttributeColor::AttributeColor(const RGBAColor& color, bool opaque)
    : Attribute(ColorType), color(color), opaque(opaque) {}

Attribute* AttributeColor::Clone() const { return new AttributeColor(*this); }
