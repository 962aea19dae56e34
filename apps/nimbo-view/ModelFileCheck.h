// Checks a model file before the importer library sees it: that it is a
// readable regular file, and that what its header claims is possible. The
// library trusts such claims and can hang, exhaust memory or recurse off the
// stack on a file that lies (a PLY header without its end, a GLB claiming
// gigabytes, a glTF node chain thousands deep), so those are refused here
// with a message naming what is wrong.
#ifndef NIMBO_APPS_NIMBO_VIEW_MODELFILECHECK_H
#define NIMBO_APPS_NIMBO_VIEW_MODELFILECHECK_H

#include <cstddef>
#include <string>

namespace nimboview {

class ModelFileCheck {
 public:
  // How far a PLY header may run before its end_header.
  static constexpr std::size_t MaxPlyHeaderBytes = 64u << 10;
  // Deepest glTF node hierarchy passed on; the importer recurses per level.
  static constexpr std::size_t MaxNodeDepth = 4096;

  // Throws std::runtime_error naming the file and the fault.
  static void Check(const std::string& path);
};

}  // namespace nimboview

#endif
