#include "KivVizOpenGL/FilterManagerGL.h"

#include "KivVizCore/RenderingOptions.h"

bool FilterManagerGL::IsEnabled(int filterId) const {
  const auto found = enabled.find(filterId);
  return found == enabled.end() || found->second;
}

void FilterManagerGL::SetEnabled(int filterId, bool value) { enabled[filterId] = value; }

void FilterManagerGL::Synchronize(const RenderingOptions& options) { enabled = options.FilterVisibility(); }
