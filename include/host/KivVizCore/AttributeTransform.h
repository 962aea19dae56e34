// Transform attribute (type 2): a 4x4 matrix of doubles in the column order
// glMultMatrixd takes, applied to the node and everything below it.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZCORE_ATTRIBUTETRANSFORM_H
#define NIMBO_INCLUDE_HOST_KIVVIZCORE_ATTRIBUTETRANSFORM_H

#include "KivVizCore/Attribute.h"

class KIVVIZCORE_EXPORT AttributeTransform : public Attribute {
 public:
  // The identity.
  AttributeTransform();
  explicit AttributeTransform(const double matrix[16]);

  // Writes the identity into matrix.
  static void SetIdentity(double matrix[16]);

  // Answered from a flag kept with the matrix: frames ask it of every node.
  bool IsIdentity() const { return identity; }
  const double* GetTransform() const { return transform; }
  void SetTransform(const double matrix[16]);

  Attribute* Clone() const override;

 private:
  double transform[16];
  bool identity = true;
};

#endif
