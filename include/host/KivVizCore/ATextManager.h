// Draws text into the current GL context, for items that carry labels.
// The name avoids DrawText, which the Windows headers define as a macro.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZCORE_ATEXTMANAGER_H
#define NIMBO_INCLUDE_HOST_KIVVIZCORE_ATEXTMANAGER_H

#include <string>

#include "KivVizCore/Export.h"

class KIVVIZCORE_EXPORT ATextManager {
 public:
  // Defined in the library, which so holds the class's virtual table.
  virtual ~ATextManager();

  // Draws text in the current colour, starting at a point given in the
  // current model coordinates. Does nothing without a usable font.
  virtual void RenderText(const float position[3], const std::wstring& text) = 0;
  // Whether text can be drawn in the current context.
  virtual bool IsFontAvailable() const = 0;
};

#endif
