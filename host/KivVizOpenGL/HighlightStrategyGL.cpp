#include "KivVizOpenGL/HighlightStrategyGL.h"

#include <algorithm>

#include "KivVizCore/AView3DAdapter.h"
#include "KivVizCore/AttributeColor.h"
#include "KivVizCore/GeoNode.h"

namespace {

const AttributeColor* ColorAttributeOf(const GeoNode& node) {
  return dynamic_cast<const AttributeColor*>(node.GetAttribute(Attribute::ColorType));
}

bool SameRgb(const RGBAColor& a, const RGBAColor& b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

}  // namespace

HighlightStrategyGL::HighlightStrategyGL(AView3DAdapter* adapter) : adapter(adapter) {}

HighlightStrategyGL::~HighlightStrategyGL() = default;

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
      Restore(*hover);
      marks.erase(hover);
    }
  }
  const auto existing =
      std::find_if(marks.begin(), marks.end(), [&id](const Mark& mark) { return mark.path == id; });
  if (existing != marks.end()) {
    // Selecting the hovered node makes its mark lasting; hovering a selected
    // node leaves it selected.
    if (sticky && !existing->sticky) {
      existing->sticky = true;
      Paint(*existing, *node);
    }
    return true;
  }
  Mark mark;
  mark.path = id;
  mark.sticky = sticky;
  Save(mark, *node);
  Paint(mark, *node);
  marks.push_back(mark);
  return true;
}

void HighlightStrategyGL::Undo() {
  // Latest first, so that two paths to one shared node unwind in order.
  for (auto mark = marks.rbegin(); mark != marks.rend(); ++mark) {
    Restore(*mark);
  }
  marks.clear();
}

bool HighlightStrategyGL::Undo(const RenderId& id) {
  const auto found = std::find_if(marks.begin(), marks.end(), [&id](const Mark& mark) { return mark.path == id; });
  if (found == marks.end()) {
    return false;
  }
  Restore(*found);
  marks.erase(found);
  return true;
}

bool HighlightStrategyGL::IsDone(const RenderId& id) const {
  const auto found = std::find_if(marks.begin(), marks.end(), [&id](const Mark& mark) { return mark.path == id; });
  return found != marks.end() && MarkedNode(*found) != nullptr;
}

GeoNode* HighlightStrategyGL::MarkedNode(const Mark& mark) const {
  GeoNode* node = adapter == nullptr ? nullptr : adapter->GetNode(mark.path);
  if (node == nullptr) {
    return nullptr;
  }
  const AttributeColor* color = ColorAttributeOf(*node);
  const RGBAColor& shown = mark.sticky ? SelectionColor : HighlightColor;
  return color != nullptr && SameRgb(color->GetColor(), shown) ? node : nullptr;
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

void HighlightStrategyGL::Paint(const Mark& mark, GeoNode& node) const {
  RGBAColor color = mark.sticky ? SelectionColor : HighlightColor;
  color.alpha = mark.color.alpha;
  node.SetAttribute(new AttributeColor(color, mark.opaque));
}

void HighlightStrategyGL::Restore(const Mark& mark) const {
  GeoNode* node = MarkedNode(mark);
  if (node == nullptr) {
    return;
  }
  if (mark.hadColor) {
    node->SetAttribute(new AttributeColor(mark.color, mark.opaque));
  } else {
    node->RemoveAttribute(Attribute::ColorType);
  }
}
