// Which filter ids a view draws: every filter is enabled until it is switched
// off, directly or through the rendering options it is synchronised with.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZOPENGL_FILTERMANAGERGL_H
#define NIMBO_INCLUDE_HOST_KIVVIZOPENGL_FILTERMANAGERGL_H

#include <map>

#include "KivVizCore/AFilterManager.h"
#include "KivVizOpenGL/Export.h"

class KIVVIZOPENGL_EXPORT FilterManagerGL : public AFilterManager {
 public:
  FilterManagerGL() = default;

  bool IsEnabled(int filterId) const override;
  void SetEnabled(int filterId, bool enabled) override;
  void Synchronize(const RenderingOptions& options) override;

 private:
  std::map<int, bool> enabled;
};

#endif
