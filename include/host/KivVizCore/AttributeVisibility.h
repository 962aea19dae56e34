// Visibility attribute (type 4). A node without one is visible.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZCORE_ATTRIBUTEVISIBILITY_H
#define NIMBO_INCLUDE_HOST_KIVVIZCORE_ATTRIBUTEVISIBILITY_H

#include "KivVizCore/Attribute.h"

class KIVVIZCORE_EXPORT AttributeVisibility : public Attribute {
 public:
  explicit AttributeVisibility(bool visible);

  bool IsVisible() const { return visible; }
  void SetVisible(bool value) { visible = value; }

  Attribute* Clone() const override;

 private:
  bool visible;
};

#endif
