// What a rendering-options listener is told about: the options that changed.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZCORE_IRENDERINGOPTIONS_H
#define NIMBO_INCLUDE_HOST_KIVVIZCORE_IRENDERINGOPTIONS_H

#include "KivVizCore/Export.h"

class KIVVIZCORE_EXPORT IRenderingOptions {
 public:
  virtual ~IRenderingOptions() = default;
  // Whether nodes of a filter are shown.
  virtual bool IsFilterVisible(int filterId) const = 0;
};

#endif
