#include "KivVizCore/Attribute.h"

Attribute::Attribute(int type) : type(type) {}

Attribute::~Attribute() = default;
