// Told by RenderingOptions whenever they change.
#ifndef KIVVIZCORE_IRENDERINGOPTIONSLISTENER_H
#define KIVVIZCORE_IRENDERINGOPTIONSLISTENER_H

#include "KivVizCore/Export.h"
#include "KivVizCore/KivVizCore.h"

class KIVVIZCORE_EXPORT IRenderingOptionsListener {
 public:
  virtual ~IRenderingOptionsListener() = default;
  virtual void RenderingOptionsNotify(IRenderingOptions* options) = 0;
};

#endif
