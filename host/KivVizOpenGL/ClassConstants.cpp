// The library's own copies of its classes' constants. A DLL exports a
// class's inline static data only where it defines it, and another module
// that takes such a constant by reference links against that export.
#include "KivVizOpenGL/HighlightStrategyGL.h"

constexpr RGBAColor HighlightStrategyGL::HighlightColor;
constexpr RGBAColor HighlightStrategyGL::SelectionColor;
