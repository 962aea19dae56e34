#include "NimboCore/APluginFactory.h"

APluginFactory::APluginFactory() = default;

APluginFactory::~APluginFactory() = default;

void APluginFactory::doPreLoad() {}

std::vector<std::wstring> APluginFactory::getPreqPlugins() { return {}; }
