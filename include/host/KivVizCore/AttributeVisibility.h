// Visibility attribute (type 4). A node without one is visible.
#ifndef KIVVIZCORE_ATTRIBUTEVISIBILITY_H
#define KIVVIZCORE_ATTRIBUTEVISIBILITY_H

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
