// Hands out a view's text manager.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZCORE_ITEXTMANAGERPROVIDER_H
#define NIMBO_INCLUDE_HOST_KIVVIZCORE_ITEXTMANAGERPROVIDER_H

#include "KivVizCore/Export.h"
#include "KivVizCore/KivVizCore.h"

class KIVVIZCORE_EXPORT ITextManagerProvider {
 public:
  // Defined in the library, which so holds the class's virtual table.
  virtual ~ITextManagerProvider();
  virtual ATextManager* GetTextManager() = 0;
};

#endif
