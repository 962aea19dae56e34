// How marks on scene nodes are made and removed; the drawing library supplies
// the strategy. A mark made with the sticky-selection setting on is a lasting
// selection; with it off, a passing highlight.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZCORE_AHIGHLIGHTSTRATEGY_H
#define NIMBO_INCLUDE_HOST_KIVVIZCORE_AHIGHLIGHTSTRATEGY_H

#include "KivVizCore/Export.h"
#include "KivVizCore/KivVizCore.h"

class KIVVIZCORE_EXPORT AHighlightStrategy {
 public:
  AHighlightStrategy() = default;
  AHighlightStrategy(const AHighlightStrategy&) = delete;
  AHighlightStrategy& operator=(const AHighlightStrategy&) = delete;

  // The virtual table's order is fixed: Do, Undo(), Undo(id), IsDone, then
  // the destructor.
  virtual bool Do(const RenderId& id) = 0;
  virtual void Undo() = 0;
  virtual bool Undo(const RenderId& id) = 0;
  virtual bool IsDone(const RenderId& id) const = 0;
  virtual ~AHighlightStrategy() = default;

  void SetStickySelection(bool sticky) { stickySelection = sticky; }

  // Read directly by the views that switch it around a single call.
  bool stickySelection = false;
};

#endif
