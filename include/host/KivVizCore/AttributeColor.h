// Colour attribute (type 0): the node's colour and whether the node counts as
// opaque. A node that is not opaque is drawn in the transparent passes.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZCORE_ATTRIBUTECOLOR_H
#define NIMBO_INCLUDE_HOST_KIVVIZCORE_ATTRIBUTECOLOR_H

#include "KivVizCore/Attribute.h"
#include "KivVizCore/RGBAColor.h"

class KIVVIZCORE_EXPORT AttributeColor : public Attribute {
 public:
  // Opaque exactly when the alpha byte is 255.
  explicit AttributeColor(const RGBAColor& color);
  AttributeColor(const RGBAColor& color, bool opaque);

  const RGBAColor& GetColor() const { return color; }
  void SetColor(const RGBAColor& value) { color = value; }
  bool IsOpaque() const { return opaque; }
  void SetOpaque(bool value) { opaque = value; }

  Attribute* Clone() const override;

 private:
  RGBAColor color;
  bool opaque;
};

#endif
