// Told by RenderingOptions whenever they change.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZCORE_IRENDERINGOPTIONSLISTENER_H
#define NIMBO_INCLUDE_HOST_KIVVIZCORE_IRENDERINGOPTIONSLISTENER_H

#include "KivVizCore/Export.h"
#include "KivVizCore/KivVizCore.h"

class KIVVIZCORE_EXPORT IRenderingOptionsListener {
 public:
  virtual ~IRenderingOptionsListener() = default;
  virtual void RenderingOptionsNotify(IRenderingOptions* options) = 0;
};

#endif
