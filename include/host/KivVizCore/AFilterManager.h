// Decides which filter ids are drawn. A node whose filter id is positive is
// drawn only while its filter is enabled; the scene library reaches the
// drawing library's filter manager through this base.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZCORE_AFILTERMANAGER_H
#define NIMBO_INCLUDE_HOST_KIVVIZCORE_AFILTERMANAGER_H

#include "KivVizCore/Export.h"
#include "KivVizCore/KivVizCore.h"

class KIVVIZCORE_EXPORT AFilterManager {
 public:
  virtual ~AFilterManager() = default;

  virtual bool IsEnabled(int filterId) const = 0;
  virtual void SetEnabled(int filterId, bool enabled) = 0;
  // Takes over the per-filter visibility of the options.
  virtual void Synchronize(const RenderingOptions& options) = 0;
};

#endif
