// The live handles of each kind, so that every function can tell a valid
// handle from a stale or foreign one, as Win32 does.
#ifndef NIMBO_PLATFORM_SRC_HANDLES_H
#define NIMBO_PLATFORM_SRC_HANDLES_H

#include <mutex>
#include <unordered_set>

namespace platform::detail {

template <typename Object>
class HandleTable {
 public:
  void Add(Object* object) {
    std::lock_guard lock(mutex);
    live.insert(object);
  }
  void Remove(Object* object) {
    std::lock_guard lock(mutex);
    live.erase(object);
  }
  bool Contains(const void* object) const {
    std::lock_guard lock(mutex);
    return live.count(static_cast<Object*>(const_cast<void*>(object))) != 0;
  }

 private:
  mutable std::mutex mutex;
  std::unordered_set<Object*> live;
};

}  // namespace platform::detail

struct HWND__;
struct HGLRC__;
struct HFONT__;
struct HDC__;

namespace platform::detail {

struct Handles {
  static HandleTable<HWND__>& Windows();
  static HandleTable<HGLRC__>& Contexts();
  static HandleTable<HFONT__>& Fonts();
  static HandleTable<HDC__>& DeviceContexts();
};

}  // namespace platform::detail

#endif
