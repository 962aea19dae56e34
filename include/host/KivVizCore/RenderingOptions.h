// The view's display options: which pick categories may be picked and which
// filters are shown. Listeners hear of every change made through the setters
// (or announced with Notify), with the options as argument.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZCORE_RENDERINGOPTIONS_H
#define NIMBO_INCLUDE_HOST_KIVVIZCORE_RENDERINGOPTIONS_H

#include <cstdint>
#include <map>
#include <vector>

#include "KivVizCore/Export.h"
#include "KivVizCore/IRenderingOptions.h"
#include "KivVizCore/KivVizCore.h"

class KIVVIZCORE_EXPORT RenderingOptions : public IRenderingOptions {
 public:
  // The category nodes of a scene, three levels below the root.
  static constexpr std::uint64_t PointsCategoryId = 10000;
  static constexpr std::uint64_t CurvesCategoryId = 10001;
  static constexpr std::uint64_t SurfacesCategoryId = 10002;

  // Every category pickable, every filter shown, no listener.
  RenderingOptions();
  // Listeners are not copied along with the settings.
  RenderingOptions(const RenderingOptions&) = delete;
  RenderingOptions& operator=(const RenderingOptions&) = delete;

  // The pick switches come first and in this order: the view reads them as
  // the object's first three data members.
  bool pickSurfaces = true;
  bool pickCurves = true;
  bool pickPoints = true;

  void SetPickSurfaces(bool value);
  void SetPickCurves(bool value);
  void SetPickPoints(bool value);

  bool IsFilterVisible(int filterId) const override;
  void SetFilterVisible(int filterId, bool visible);
  // Only filters set explicitly; any other filter is shown.
  const std::map<int, bool>& FilterVisibility() const { return filterVisibility; }

  // Takes the pick switches and filters of other (not its listeners), then
  // notifies.
  void CopySettingsFrom(const RenderingOptions& other);

  // A listener is registered once however often it is added; not owned.
  void AddListener(IRenderingOptionsListener* listener);
  void RemoveListener(IRenderingOptionsListener* listener);
  const std::vector<IRenderingOptionsListener*>& Listeners() const { return listeners; }
  // Tells every listener, in registration order.
  void Notify();

 private:
  std::map<int, bool> filterVisibility;
  std::vector<IRenderingOptionsListener*> listeners;
};

#endif
