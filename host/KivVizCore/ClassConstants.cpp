// The library's own copies of its classes' constants. A DLL exports a
// class's inline static data only where it defines it, and another module
// that takes such a constant by reference links against that export.
#include "KivVizCore/AView3DAdapter.h"
#include "KivVizCore/Attribute.h"
#include "KivVizCore/GeoNode.h"
#include "KivVizCore/Node.h"
#include "KivVizCore/RenderId.h"
#include "KivVizCore/RenderingOptions.h"

constexpr int GeoNode::kSlottedTypes;
constexpr int RenderId::SceneOrigin;
constexpr int Attribute::ColorType;
constexpr int Attribute::TransformType;
constexpr int Attribute::VisibilityType;
constexpr std::uint64_t Node::RootId;
constexpr std::uint64_t RenderingOptions::PointsCategoryId;
constexpr std::uint64_t RenderingOptions::CurvesCategoryId;
constexpr std::uint64_t RenderingOptions::SurfacesCategoryId;
constexpr std::uint64_t AView3DAdapter::OverlayNodeId;
