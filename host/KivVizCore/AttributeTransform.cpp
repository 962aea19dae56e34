#include "KivVizCore/AttributeTransform.h"

#include <algorithm>

AttributeTransform::AttributeTransform() : Attribute(TransformType) { SetIdentity(transform); }

AttributeTransform::AttributeTransform(const double matrix[16]) : Attribute(TransformType) { SetTransform(matrix); }

void AttributeTransform::SetIdentity(double matrix[16]) {
  for (int i = 0; i < 16; ++i) {
    matrix[i] = (i % 5 == 0) ? 1.0 : 0.0;
  }
}

void AttributeTransform::SetTransform(const double matrix[16]) {
  std::copy(matrix, matrix + 16, transform);
  double unit[16];
  SetIdentity(unit);
  identity = std::equal(transform, transform + 16, unit);
}

Attribute* AttributeTransform::Clone() const { return new AttributeTransform(*this); }
