#include "KivVizCore/RenderingOptions.h"

#include <algorithm>

#include "KivVizCore/IRenderingOptionsListener.h"

RenderingOptions::RenderingOptions() = default;

void RenderingOptions::SetPickSurfaces(bool value) {
  pickSurfaces = value;
  Notify();
}

void RenderingOptions::SetPickCurves(bool value) {
  pickCurves = value;
  Notify();
}

void RenderingOptions::SetPickPoints(bool value) {
  pickPoints = value;
  Notify();
}

bool RenderingOptions::IsFilterVisible(int filterId) const {
  const auto found = filterVisibility.find(filterId);
  return found == filterVisibility.end() || found->second;
}

void RenderingOptions::SetFilterVisible(int filterId, bool visible) {
  filterVisibility[filterId] = visible;
  Notify();
}

void RenderingOptions::CopySettingsFrom(const RenderingOptions& other) {
  pickSurfaces = other.pickSurfaces;
  pickCurves = other.pickCurves;
  pickPoints = other.pickPoints;
  filterVisibility = other.filterVisibility;
  Notify();
}

void RenderingOptions::AddListener(IRenderingOptionsListener* listener) {
  if (listener != nullptr && std::find(listeners.begin(), listeners.end(), listener) == listeners.end()) {
    listeners.push_back(listener);
  }
}

void RenderingOptions::RemoveListener(IRenderingOptionsListener* listener) { std::erase(listeners, listener); }

void RenderingOptions::Notify() {
  // A copy, so that a listener may register or unregister while being told.
  const auto current = listeners;
  for (IRenderingOptionsListener* listener : current) {
    listener->RenderingOptionsNotify(this);
  }
}
