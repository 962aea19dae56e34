#include "Interaction.h"

#include <algorithm>
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

namespace nimboview {
namespace {

// How densely the rubber-band rectangle is probed for visible nodes.
constexpr int kBandProbeStep = 3;

// The probes of one axis from a to b that fall inside [0, size): the grid
// keeps its origin at the rectangle's corner wherever that lies.
struct ProbeRange {
  std::int64_t first = 0;
  std::int64_t last = -1;

  static ProbeRange Clipped(int a, int b, int size) {
    const std::int64_t low = std::min(a, b);
    const std::int64_t skipped = low < 0 ? (-low + kBandProbeStep - 1) / kBandProbeStep : 0;
    return {low + skipped * kBandProbeStep, std::min<std::int64_t>(std::max(a, b), size - 1)};
  }
};

}  // namespace

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
  // The visible nodes inside are those that picking finds at some pixel of
  // the rectangle, on a grid from its corner; pixels outside the window show
  // nothing, so the grid stops at its edges.
  float width = 0.0f;
  float height = 0.0f;
  static_cast<IView3D&>(host.View()).GetWindowSize(width, height);
  const ProbeRange columns = ProbeRange::Clipped(x0, x, static_cast<int>(width));
  const ProbeRange rows = ProbeRange::Clipped(y0, y, static_cast<int>(height));
  std::set<RenderId> found;
  for (std::int64_t py = rows.first; py <= rows.last; py += kBandProbeStep) {
    for (std::int64_t px = columns.first; px <= columns.last; px += kBandProbeStep) {
      if (std::optional<RenderId> path = PathAt(static_cast<int>(px), static_cast<int>(py))) found.insert(*path);
    }
  }
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
    const auto step = [i](int from, int to) {
      return static_cast<int>(from + (std::int64_t{to} - from) * i / kSteps);
    };
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
