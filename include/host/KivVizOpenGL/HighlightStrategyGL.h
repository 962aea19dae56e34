// Marks scene nodes so that they stay recognisable: a non-sticky Do replaces
// the previous non-sticky mark (hover highlight), a sticky Do adds a lasting
// mark (selection). A hover shades the node's own colour (lighter, or darker
// for a light colour); a selection shades it a little and hatches the node's
// triangle meshes with stripes of the selection colour, so a selected green
// part still reads as green. A node without its own colour, or a selected
// one without triangles (lines, points), takes the plain mark colour. Marks
// are kept by path and resolved through the view's scene adapter whenever
// one is used, so nodes deleted meanwhile are harmless; they are indexed by
// path and by node, so that selecting thousands of nodes stays quick. A mark keeps the node's
// alpha and opaque flag, and removing it restores exactly the node's
// previous colour state.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZOPENGL_HIGHLIGHTSTRATEGYGL_H
#define NIMBO_INCLUDE_HOST_KIVVIZOPENGL_HIGHLIGHTSTRATEGYGL_H

#include <cstddef>
#include <list>
#include <map>
#include <vector>

#include "KivVizCore/AHighlightStrategy.h"
#include "KivVizCore/RGBAColor.h"
#include "KivVizCore/RenderId.h"
#include "KivVizOpenGL/Export.h"

class KIVVIZOPENGL_EXPORT HighlightStrategyGL : public AHighlightStrategy {
 public:
  // The adapter is not owned and outlives the strategy.
  explicit HighlightStrategyGL(AView3DAdapter* adapter);
  // The indexes point into the marks.
  HighlightStrategyGL(const HighlightStrategyGL&) = delete;
  HighlightStrategyGL& operator=(const HighlightStrategyGL&) = delete;

  bool Do(const RenderId& id) override;
  void Undo() override;
  bool Undo(const RenderId& id) override;
  bool IsDone(const RenderId& id) const override;
  ~HighlightStrategyGL() override;

  static constexpr RGBAColor HighlightColor{255, 200, 0, 255};
  static constexpr RGBAColor SelectionColor{255, 64, 64, 255};

  // The colour a mark paints a node that had `own` (alpha kept); `hatched`:
  // a selection whose stripes show on the node's triangles.
  static RGBAColor HoverColor(const RGBAColor& own);
  static RGBAColor SelectedColor(const RGBAColor& own, bool hatched);

 private:
  // A node's colour state before its first mark (for a node without a colour
  // attribute: the alpha and opaque flag it inherits).
  struct Mark {
    RenderId path;
    // The node the path led to when marked: the key of the node index.
    const GeoNode* node = nullptr;
    bool sticky = false;
    bool hadColor = false;
    RGBAColor color;
    bool opaque = true;
  };
  using MarkList = std::list<Mark>;

  // The marked node, while it still shows a mark colour: a node deleted,
  // or recoloured by the host, no longer carries the mark.
  GeoNode* MarkedNode(const Mark& mark) const;
  // The node's marks that still lead to it, in the order they were made.
  std::vector<MarkList::iterator> MarksOn(const GeoNode* node);
  // Records the node's colour state; without a colour attribute, the alpha
  // and opaque flag it inherits along the path.
  void Save(Mark& mark, const GeoNode& node) const;
  // Shows the node's marks: the selection if any mark on it is lasting,
  // else the hover.
  void Paint(GeoNode& node);
  // The colour the node shows under the mark, lasting or not.
  static RGBAColor MarkColor(const Mark& mark, const GeoNode& node, bool sticky);
  // Drops a mark; the node takes the colour of the marks left on it, or the
  // colour state it had before any.
  void Remove(MarkList::iterator mark);
  // Forgets a mark, touching no node.
  void Forget(MarkList::iterator mark);
  // Forgets the marks that no longer show on the path or on the node, and,
  // each time the marks have doubled, every such mark.
  void ForgetStale(const RenderId& path, const GeoNode* node);
  // Puts back the colour state the node had before any mark.
  void RestoreUnmarked(const Mark& mark, GeoNode& node) const;

  AView3DAdapter* adapter;
  MarkList marks;  // in the order they were made
  std::map<RenderId, MarkList::iterator> byPath;
  std::multimap<const GeoNode*, MarkList::iterator> byNode;
  // The one mark a non-sticky Do made and no sticky Do kept, or marks.end().
  MarkList::iterator hover = marks.end();
  std::size_t fullSweepAt = 64;
};

#endif
