// Small maths on 3-float vectors and 4x4 double matrices. Matrices are in the
// column order of glMultMatrixd: element (row r, column c) is m[c * 4 + r].
#ifndef NIMBO_INCLUDE_HOST_KIVVIZCORE_VECTORMATH_H
#define NIMBO_INCLUDE_HOST_KIVVIZCORE_VECTORMATH_H

#include "HostExtensions.h"
#include "KivVizCore/Export.h"

KIVVIZCORE_EXPORT float Length(const float v[3]);
// out = a - b.
KIVVIZCORE_EXPORT void Subtract(const float a[3], const float b[3], float out[3]);
// out = a x b.
KIVVIZCORE_EXPORT void CrossProduct(const float a[3], const float b[3], float out[3]);
// Scales v to unit length and returns its former length; a zero vector stays.
KIVVIZCORE_EXPORT float Normalize(float v[3]);
KIVVIZCORE_EXPORT void Multiply(float v[3], float factor);
KIVVIZCORE_EXPORT void ClearVector(float v[3]);

// A rotation by angleDegrees about axis (need not be unit length), turning
// counter-clockwise when the axis points at the viewer (right-hand rule). A
// zero axis gives the identity.
KIVVIZCORE_EXPORT void CreateRotationMatrixDegrees(const double axis[3], double angleDegrees, double matrix[16]);

#if NIMBO_HOST_EXTENSIONS
// Ours, beyond the host's maths: matrices.
// out = a * b (b applied first); out may alias a or b.
KIVVIZCORE_EXPORT void MultiplyMatrices(const double a[16], const double b[16], double out[16]);
// False, with out untouched, for a singular matrix.
KIVVIZCORE_EXPORT bool InvertMatrix(const double m[16], double out[16]);
// Point (w = 1) and direction (w = 0) through m.
KIVVIZCORE_EXPORT void TransformPoint(const double m[16], const float point[3], float out[3]);
KIVVIZCORE_EXPORT void TransformDirection(const double m[16], const float direction[3], float out[3]);
#endif

#endif
