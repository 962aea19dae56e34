// Base of the drawable geometry held by leaf nodes. An item draws itself with
// the GL state it finds and can be hit-tested by a ray. The node that holds
// an item owns it.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZCORE_AGEOMETRYITEM_H
#define NIMBO_INCLUDE_HOST_KIVVIZCORE_AGEOMETRYITEM_H

#include <cstdint>

#include "HostExtensions.h"
#include "KivVizCore/Export.h"
#include "KivVizCore/KivVizCore.h"
#include "KivVizCore/RGBAColor.h"

class KIVVIZCORE_EXPORT AGeometryItem {
 public:
  explicit AGeometryItem(std::uint64_t id);
  virtual ~AGeometryItem();
  AGeometryItem(const AGeometryItem&) = delete;
  AGeometryItem& operator=(const AGeometryItem&) = delete;

  // Draws the item in the current GL context, for the given scene.
  virtual void Display(AView3DAdapter* adapter) = 0;

  // Whether the ray origin + t * direction, 0 <= t <= scalar, meets the item
  // (direction need not be of unit length). On a hit, writes the nearest hit
  // point and its t. The base item cannot be hit.
  virtual bool RayHit(const float origin[3], const float direction[3], float scalar, float hitPoint[3],
                      float& parameter) const;

  // The axis-aligned box around the item in its own coordinates; false for an
  // item without extent (nothing written).
  virtual bool GetBoundingBox(float minimum[3], float maximum[3]) const;

  std::uint64_t ID() const { return id; }
  // An item with a colour of its own draws in it; otherwise it draws in the
  // colour it finds.
  void SetColor(const RGBAColor& value);
#if NIMBO_HOST_EXTENSIONS
  // Ours: the colour read back.
  const RGBAColor& GetColor() const { return color; }
  bool HasColor() const { return hasColor; }
#endif

 private:
  std::uint64_t id;
  RGBAColor color;
  bool hasColor = false;
};

#endif
