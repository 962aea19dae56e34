#include "NimboCore/Debug.h"

// <iostream> first: its initialiser makes std::cerr usable before dbg is
// built on its buffer.
#include <iostream>

namespace NimboCore {

std::ostream dbg(std::cerr.rdbuf());

}  // namespace NimboCore
