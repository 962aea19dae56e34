#include "Interaction.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <set>
#include <sstream>

#include "KivVizCore/AView3DAdapter.h"
#include "KivVizCore/IView3D.h"
#include "NimboCore/Controller.h"
#include "NimboCore/ViewOp.h"
#include "NimboCore/ViewOpRayPick.h"
#include "RectanglePick.h"

namespace nimboview {

std::string PickResult::Json() const {
  std::ostringstream out;
  out << "{\"x\":" << x << ",\"y\":" << y << ",\"path\":";
  if (path) {
    out << '[';
    for (std::size_t i = 0; i < path->Length(); ++i) out << (i ? "," : "") << (*path)[i];
    out << ']';
  } else {
    out << "null";
  }
  out << ",\"point\":";
  if (point) {
    out << '[' << (*point)[0] << ',' << (*point)[1] << ',' << (*point)[2] << ']';
  } else {
    out << "null";
  }
  out << '}';
  return out.str();
}

void Interaction::Hover(int x, int y) {
  ViewOp op(IViewOp::Hover, 0, x, y);
  host.View().GetController()->Notify(&op);
  std::optional<RenderId> path = PathAt(x, y);
  if (path == hovered) return;
  EndHover();
  if (path) {
    hoverMarked = !host.Scene().IsHighlighted(*path);
    host.Scene().Highlight(*path);
  }
  hovered = path;
}

void Interaction::Leave(int x, int y) {
  ViewOp op(IViewOp::Leave, 0, x, y);
  host.View().GetController()->Notify(&op);
  EndHover();
  hovered.reset();
}

std::optional<RenderId> Interaction::Click(int x, int y) {
  ViewOpRayPick op(x, y);
  host.View().GetController()->Notify(&op);
  std::optional<RenderId> path = PathAt(x, y);
  if (path) {
    Select(*path);
  } else {
    ClearSelection();
  }
  return path;
}

void Interaction::Select(const RenderId& path) {
  host.Scene().Select(path);
  selections.insert(path);
  if (path == hovered) hoverMarked = false;
}

void Interaction::ClearSelection() {
  for (const RenderId& path : selections) host.Scene().UnSelect(path);
  selections.clear();
}

void Interaction::EndHover() {
  if (hovered && hoverMarked) host.Scene().UnHighlight(*hovered);
  hoverMarked = false;
}

void Interaction::BandPress(int x, int y) {
  ViewOp op(IViewOp::RubberBand, 1, x, y);
  host.View().GetController()->Notify(&op);
  bandStart = {x, y};
}

void Interaction::BandMove(int x, int y) {
  ViewOp op(IViewOp::RubberBand, 2, x, y);
  host.View().GetController()->Notify(&op);
}

std::vector<RenderId> Interaction::BandRelease(int x, int y) {
  ViewOp op(IViewOp::Idle, 0, x, y);
  host.View().GetController()->Notify(&op);
  std::vector<RenderId> selected;
  if (!bandStart) return selected;
  const auto [x0, y0] = *bandStart;
  bandStart.reset();
  const std::set<RenderId> found = RectanglePick(host).VisibleNodes(x0, y0, x, y);
  for (const RenderId& path : found) {
    Select(path);
    selected.push_back(path);
  }
  return selected;
}

void Interaction::Drag(int type, int x0, int y0, int x1, int y1) {
  constexpr int kSteps = 8;
  for (int i = 0; i <= kSteps; ++i) {
    // In 64 bits: the distance between two ints need not fit in one.
    const auto step = [i](int from, int to) { return static_cast<int>(from + (std::int64_t{to} - from) * i / kSteps); };
    ViewOp op(type, i == 0 ? 1 : 2, step(x0, x1), step(y0, y1));
    host.View().GetController()->Notify(&op);
  }
  ViewOp release(IViewOp::Idle, 0, x1, y1);
  host.View().GetController()->Notify(&release);
}

void Interaction::Wheel(int steps, int x, int y) {
  ViewOp op(IViewOp::WheelZoom, 0, steps, x, y);
  host.View().GetController()->Notify(&op);
}

void Interaction::Key(int code, int x, int y) {
  ViewOp op(IViewOp::Key, 0, code, x, y);
  host.View().GetController()->Notify(&op);
}

PickResult Interaction::Pick(int x, int y) {
  PickResult result;
  result.x = x;
  result.y = y;
  result.path = PathAt(x, y);
  // The view answers true but writes nothing when the pick box holds a node
  // that the ray through the pixel misses: the NaNs left mean no point.
  std::array<float, 3> point;
  point.fill(std::numeric_limits<float>::quiet_NaN());
  if (host.Scene().PickPoint(x, y, point[0], point[1], point[2]) && !std::isnan(point[0])) result.point = point;
  return result;
}

std::optional<RenderId> Interaction::PathAt(int x, int y) {
  host.EnsureRendered();
  // A fresh empty path each time: the view answers true for any hit then.
  RenderId picked;
  if (host.Scene().PickVisualAt(x, y, picked)) return picked;
  return std::nullopt;
}

}  // namespace nimboview
