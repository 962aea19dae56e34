// Forward declarations of the scene library, for headers that only pass
// pointers and references around.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZCORE_KIVVIZCORE_H
#define NIMBO_INCLUDE_HOST_KIVVIZCORE_KIVVIZCORE_H

class AFilterManager;
class AGeometryItem;
class AGeometryItemFactory;
class AHighlightStrategy;
class ATextManager;
class AView3DAdapter;
class Attribute;
class AttributeColor;
class AttributeTransform;
class AttributeVisibility;
class ChildList;
class EntityId;
class GeoNode;
class IRenderingOptions;
class IRenderingOptionsListener;
class ITextManagerProvider;
class IView3D;
class Node;
class Pick;
class Ray;
class RenderId;
class RenderingOptions;
struct RGBAColor;

#endif
