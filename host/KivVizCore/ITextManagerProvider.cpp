#include "KivVizCore/ITextManagerProvider.h"

ITextManagerProvider::~ITextManagerProvider() = default;
