#include "NimboCore/IViewOp.h"

IViewOp::~IViewOp() = default;
