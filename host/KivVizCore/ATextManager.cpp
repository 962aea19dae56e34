#include "KivVizCore/ATextManager.h"

ATextManager::~ATextManager() = default;
