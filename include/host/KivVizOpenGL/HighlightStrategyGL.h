// Marks scene nodes so that they stay recognisable: a non-sticky Do replaces
// the previous non-sticky mark (hover highlight), a sticky Do adds a lasting
// mark (selection). A hover shades the node's own colour (lighter, or darker
// for a light colour); a selection shades it a little and hatches the node's
// triangle meshes with stripes of the selection colour, so a selected green
// part still reads as green. A node without its own colour, or a selected
// one without triangles (lines, points), takes the plain mark colour. Marks
// are kept by path and resolved through the view's scene adapter at every
// call, so nodes deleted meanwhile are harmless. A mark keeps the node's
// alpha and opaque flag, and removing it restores exactly the node's
// previous colour state.
#ifndef KIVVIZOPENGL_HIGHLIGHTSTRATEGYGL_H
#define KIVVIZOPENGL_HIGHLIGHTSTRATEGYGL_H

#include <vector>

#include "KivVizCore/AHighlightStrategy.h"
#include "KivVizCore/RGBAColor.h"
#include "KivVizCore/RenderId.h"
#include "KivVizOpenGL/Export.h"

class KIVVIZOPENGL_EXPORT HighlightStrategyGL : public AHighlightStrategy {
 public:
  // The adapter is not owned and outlives the strategy.
  explicit HighlightStrategyGL(AView3DAdapter* adapter);

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
    bool sticky = false;
    bool hadColor = false;
    RGBAColor color;
    bool opaque = true;
  };

  // The marked node, while it still shows a mark colour: a node deleted,
  // rebuilt or recoloured since has nothing of a mark left to undo.
  GeoNode* MarkedNode(const Mark& mark) const;
  // Whether any mark, along whichever path, makes `node` selected.
  bool AnyStickyOn(const GeoNode* node) const;
  // Records the node's colour state; without a colour attribute, the alpha
  // and opaque flag it inherits along the path.
  void Save(Mark& mark, const GeoNode& node) const;
  // Shows the node's marks: the selection if any mark on it is lasting,
  // else the hover.
  void Paint(GeoNode& node) const;
  // The colour the node shows under the mark, lasting or not.
  static RGBAColor MarkColor(const Mark& mark, const GeoNode& node, bool sticky);
  // Drops a mark; the node takes the colour of the marks left on it, or the
  // colour state it had before any.
  void Remove(std::vector<Mark>::iterator mark);
  // Puts back the colour state the node had before any mark.
  void RestoreUnmarked(const Mark& mark, GeoNode& node) const;

  AView3DAdapter* adapter;
  std::vector<Mark> marks;
};

#endif
