#include "KivVizOpenGL/HighlightStrategyGL.h"

#include <algorithm>

#include "KivVizCore/AView3DAdapter.h"
#include "KivVizCore/AttributeColor.h"
#include "KivVizCore/GeoNode.h"
#include "KivVizOpenGL/GeometryItemTrianglesGL.h"

namespace {

// Moves each channel towards white (positive amount) or black (negative).
RGBAColor Shade(const RGBAColor& color, float amount) {
  const auto channel = [amount](std::uint8_t value) {
    const float target = amount > 0.0f ? 255.0f : 0.0f;
    const float moved = value + (target - value) * (amount > 0.0f ? amount : -amount);
    return static_cast<std::uint8_t>(moved + 0.5f);
  };
  return RGBAColor{channel(color.red), channel(color.green), channel(color.blue), color.alpha};
}

// Light colours are shaded darker: lighter would hardly show.
bool IsLight(const RGBAColor& color) {
  return 0.299f * color.red + 0.587f * color.green + 0.114f * color.blue > 160.0f;
}

// Sets or clears the stripes on the node's triangle meshes; returns whether
// it has any.
bool SetHatch(GeoNode& node, const std::optional<RGBAColor>& color) {
  bool any = false;
  for (AGeometryItem* item : node.Geometry()) {
    if (auto* triangles = dynamic_cast<GeometryItemTrianglesGL*>(item)) {
      triangles->SetHatch(color);
      any = true;
    }
  }
  return any;
}

const AttributeColor* ColorAttributeOf(const GeoNode& node) {
  return dynamic_cast<const AttributeColor*>(node.GetAttribute(Attribute::ColorType));
}

bool SameRgb(const RGBAColor& a, const RGBAColor& b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

}  // namespace

HighlightStrategyGL::HighlightStrategyGL(AView3DAdapter* adapter) : adapter(adapter) {}

HighlightStrategyGL::~HighlightStrategyGL() = default;

RGBAColor HighlightStrategyGL::HoverColor(const RGBAColor& own) {
  return Shade(own, IsLight(own) ? -0.4f : 0.5f);
}

RGBAColor HighlightStrategyGL::SelectedColor(const RGBAColor& own, bool hatched) {
  if (!hatched) {
    return RGBAColor{SelectionColor.red, SelectionColor.green, SelectionColor.blue, own.alpha};
  }
  return Shade(own, IsLight(own) ? -0.15f : 0.2f);
}

RGBAColor HighlightStrategyGL::MarkColor(const Mark& mark, const GeoNode& node, bool sticky) {
  const bool hatched = std::any_of(node.Geometry().begin(), node.Geometry().end(), [](AGeometryItem* item) {
    return dynamic_cast<GeometryItemTrianglesGL*>(item) != nullptr;
  });
  RGBAColor color;
  if (!mark.hadColor) {
    color = sticky ? SelectionColor : HighlightColor;
    color.alpha = mark.color.alpha;
  } else {
    color = sticky ? SelectedColor(mark.color, hatched) : HoverColor(mark.color);
  }
  return color;
}

bool HighlightStrategyGL::Do(const RenderId& id) {
  GeoNode* node = adapter == nullptr ? nullptr : adapter->GetNode(id);
  if (node == nullptr) {
    return false;
  }
  std::erase_if(marks, [this](const Mark& mark) { return MarkedNode(mark) == nullptr; });
  const bool sticky = stickySelection;
  if (!sticky) {
    // The hover mark moves: at most one non-sticky mark at a time.
    const auto hover = std::find_if(marks.begin(), marks.end(),
                                    [&id](const Mark& mark) { return !mark.sticky && !(mark.path == id); });
    if (hover != marks.end()) {
      Remove(hover);
    }
  }
  const auto existing =
      std::find_if(marks.begin(), marks.end(), [&id](const Mark& mark) { return mark.path == id; });
  if (existing != marks.end()) {
    // Selecting the hovered node makes its mark lasting; hovering a selected
    // node leaves it selected.
    if (sticky && !existing->sticky) {
      existing->sticky = true;
      Paint(*node);
    }
    return true;
  }
  Mark mark;
  mark.path = id;
  mark.sticky = sticky;
  // A node shared by several groups may be marked along another path
  // already: its colour state from before any mark is that mark's.
  const auto sameNode =
      std::find_if(marks.begin(), marks.end(), [&](const Mark& other) { return adapter->GetNode(other.path) == node; });
  if (sameNode != marks.end()) {
    mark.hadColor = sameNode->hadColor;
    mark.color = sameNode->color;
    mark.opaque = sameNode->opaque;
  } else {
    Save(mark, *node);
  }
  marks.push_back(mark);
  Paint(*node);
  return true;
}

void HighlightStrategyGL::Undo() {
  // Every mark goes: each node takes back the state it had before its first
  // mark, which all marks on a node keep. Once restored, a node shared by
  // several marked paths shows no mark colour, so it is restored once.
  for (auto mark = marks.rbegin(); mark != marks.rend(); ++mark) {
    if (GeoNode* node = MarkedNode(*mark)) RestoreUnmarked(*mark, *node);
  }
  marks.clear();
}

bool HighlightStrategyGL::Undo(const RenderId& id) {
  const auto found = std::find_if(marks.begin(), marks.end(), [&id](const Mark& mark) { return mark.path == id; });
  if (found == marks.end()) {
    return false;
  }
  Remove(found);
  return true;
}

bool HighlightStrategyGL::IsDone(const RenderId& id) const {
  const auto found = std::find_if(marks.begin(), marks.end(), [&id](const Mark& mark) { return mark.path == id; });
  return found != marks.end() && MarkedNode(*found) != nullptr;
}

bool HighlightStrategyGL::AnyStickyOn(const GeoNode* node) const {
  return std::any_of(marks.begin(), marks.end(),
                     [&](const Mark& mark) { return mark.sticky && adapter->GetNode(mark.path) == node; });
}

GeoNode* HighlightStrategyGL::MarkedNode(const Mark& mark) const {
  GeoNode* node = adapter == nullptr ? nullptr : adapter->GetNode(mark.path);
  if (node == nullptr) {
    return nullptr;
  }
  // Either mark colour: along another path to a shared node a selection may
  // show over this mark. Asking which would cost a scan of every mark per mark.
  const AttributeColor* color = ColorAttributeOf(*node);
  return color != nullptr && (SameRgb(color->GetColor(), MarkColor(mark, *node, true)) ||
                              SameRgb(color->GetColor(), MarkColor(mark, *node, false)))
             ? node
             : nullptr;
}

void HighlightStrategyGL::Remove(std::vector<Mark>::iterator mark) {
  GeoNode* node = MarkedNode(*mark);
  const Mark removed = *mark;
  marks.erase(mark);
  if (node == nullptr) {
    return;
  }
  const bool stillMarked =
      std::any_of(marks.begin(), marks.end(), [&](const Mark& other) { return adapter->GetNode(other.path) == node; });
  if (stillMarked) {
    Paint(*node);
  } else {
    RestoreUnmarked(removed, *node);
  }
}

void HighlightStrategyGL::RestoreUnmarked(const Mark& mark, GeoNode& node) const {
  SetHatch(node, std::nullopt);
  if (mark.hadColor) {
    node.SetAttribute(new AttributeColor(mark.color, mark.opaque));
  } else {
    node.RemoveAttribute(Attribute::ColorType);
  }
}

void HighlightStrategyGL::Save(Mark& mark, const GeoNode& node) const {
  if (const AttributeColor* color = ColorAttributeOf(node)) {
    mark.hadColor = true;
    mark.color = color->GetColor();
    mark.opaque = color->IsOpaque();
    return;
  }
  // The node draws in the colour of the nearest coloured node above it.
  mark.hadColor = false;
  mark.color = RGBAColor();
  mark.opaque = true;
  std::vector<std::uint64_t> above = mark.path.Ids();
  while (!above.empty()) {
    above.pop_back();
    const GeoNode* ancestor = adapter->GetNode(RenderId(above, mark.path.GetOrigin()));
    if (const AttributeColor* color = ancestor == nullptr ? nullptr : ColorAttributeOf(*ancestor)) {
      mark.color.alpha = color->GetColor().alpha;
      mark.opaque = color->IsOpaque();
      return;
    }
  }
}

void HighlightStrategyGL::Paint(GeoNode& node) const {
  const auto first =
      std::find_if(marks.begin(), marks.end(), [&](const Mark& mark) { return adapter->GetNode(mark.path) == &node; });
  if (first == marks.end()) {
    return;
  }
  // A selection shows over a hover on the same node.
  const bool sticky = AnyStickyOn(&node);
  SetHatch(node, sticky ? std::optional<RGBAColor>(SelectionColor) : std::nullopt);
  node.SetAttribute(new AttributeColor(MarkColor(*first, node, sticky), first->opaque));
}
