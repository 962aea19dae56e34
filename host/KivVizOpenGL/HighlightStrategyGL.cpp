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

RGBAColor HighlightStrategyGL::HoverColor(const RGBAColor& own) { return Shade(own, IsLight(own) ? -0.4f : 0.5f); }

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
  ForgetStale(id, node);
  const bool sticky = stickySelection;
  // The hover mark moves: at most one non-sticky mark at a time.
  if (!sticky && hover != marks.end() && !(hover->path == id)) {
    Remove(hover);
  }
  if (const auto existing = byPath.find(id); existing != byPath.end()) {
    // Selecting the hovered node makes its mark lasting; hovering a selected
    // node leaves it selected.
    if (sticky && !existing->second->sticky) {
      existing->second->sticky = true;
      if (hover == existing->second) hover = marks.end();
      Paint(*node);
    }
    return true;
  }
  Mark mark;
  mark.path = id;
  mark.node = node;
  mark.sticky = sticky;
  // A node shared by several groups may be marked along another path
  // already: its colour state from before any mark is that mark's.
  const std::vector<MarkList::iterator> sameNode = MarksOn(node);
  if (!sameNode.empty()) {
    mark.hadColor = sameNode.front()->hadColor;
    mark.color = sameNode.front()->color;
    mark.opaque = sameNode.front()->opaque;
  } else {
    Save(mark, *node);
  }
  const MarkList::iterator added = marks.insert(marks.end(), mark);
  byPath.emplace(id, added);
  byNode.emplace(node, added);
  if (!sticky) hover = added;
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
  byPath.clear();
  byNode.clear();
  marks.clear();
  hover = marks.end();
}

bool HighlightStrategyGL::Undo(const RenderId& id) {
  const auto found = byPath.find(id);
  if (found == byPath.end()) {
    return false;
  }
  Remove(found->second);
  return true;
}

bool HighlightStrategyGL::IsDone(const RenderId& id) const {
  const auto found = byPath.find(id);
  return found != byPath.end() && MarkedNode(*found->second) != nullptr;
}

std::vector<HighlightStrategyGL::MarkList::iterator> HighlightStrategyGL::MarksOn(const GeoNode* node) {
  std::vector<MarkList::iterator> on;
  const auto [first, last] = byNode.equal_range(node);
  for (auto entry = first; entry != last; ++entry) {
    // A node deleted since may have left its address to this one.
    if (adapter->GetNode(entry->second->path) == node) on.push_back(entry->second);
  }
  // Equal keys keep their insertion order: the order the marks were made.
  return on;
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

void HighlightStrategyGL::Remove(MarkList::iterator mark) {
  GeoNode* node = MarkedNode(*mark);
  const Mark removed = *mark;
  Forget(mark);
  if (node == nullptr) {
    return;
  }
  if (!MarksOn(node).empty()) {
    Paint(*node);
  } else {
    RestoreUnmarked(removed, *node);
  }
}

void HighlightStrategyGL::Forget(MarkList::iterator mark) {
  byPath.erase(mark->path);
  const auto [first, last] = byNode.equal_range(mark->node);
  for (auto entry = first; entry != last; ++entry) {
    if (entry->second == mark) {
      byNode.erase(entry);
      break;
    }
  }
  if (hover == mark) hover = marks.end();
  marks.erase(mark);
}

void HighlightStrategyGL::ForgetStale(const RenderId& path, const GeoNode* node) {
  const auto stale = [this](MarkList::iterator mark) { return MarkedNode(*mark) == nullptr; };
  if (marks.size() >= fullSweepAt) {
    // Marks of nodes deleted elsewhere go too, at a cost spread over the
    // marks made since the last sweep.
    for (auto mark = marks.begin(); mark != marks.end();) {
      const auto next = std::next(mark);
      if (stale(mark)) Forget(mark);
      mark = next;
    }
    fullSweepAt = std::max<std::size_t>(64, 2 * marks.size());
    return;
  }
  if (const auto onPath = byPath.find(path); onPath != byPath.end() && stale(onPath->second)) {
    Forget(onPath->second);
  }
  std::vector<MarkList::iterator> onNode;
  const auto [first, last] = byNode.equal_range(node);
  for (auto entry = first; entry != last; ++entry) onNode.push_back(entry->second);
  for (const MarkList::iterator mark : onNode) {
    if (stale(mark)) Forget(mark);
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

void HighlightStrategyGL::Paint(GeoNode& node) {
  const std::vector<MarkList::iterator> on = MarksOn(&node);
  if (on.empty()) {
    return;
  }
  // The first mark made on the node keeps its colour state; a selection
  // shows over a hover on the same node.
  const MarkList::iterator first = on.front();
  const bool sticky = std::any_of(on.begin(), on.end(), [](MarkList::iterator mark) { return mark->sticky; });
  SetHatch(node, sticky ? std::optional<RGBAColor>(SelectionColor) : std::nullopt);
  node.SetAttribute(new AttributeColor(MarkColor(*first, node, sticky), first->opaque));
}
