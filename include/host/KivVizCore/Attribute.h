// Base of the attributes a scene node carries, one per type code. The node
// that holds an attribute owns it.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZCORE_ATTRIBUTE_H
#define NIMBO_INCLUDE_HOST_KIVVIZCORE_ATTRIBUTE_H

#include "KivVizCore/Export.h"

class KIVVIZCORE_EXPORT Attribute {
 public:
  // Type codes; 1 and 3 are reserved.
  static constexpr int ColorType = 0;
  static constexpr int TransformType = 2;
  static constexpr int VisibilityType = 4;

  virtual ~Attribute();

  int GetType() const { return type; }

  // A new attribute of the same type and value, owned by the caller.
  virtual Attribute* Clone() const = 0;

 protected:
  explicit Attribute(int type);
  Attribute(const Attribute&) = default;
  Attribute& operator=(const Attribute&) = default;

 private:
  int type;
};

#endif
