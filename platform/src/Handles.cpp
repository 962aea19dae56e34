#include "Handles.h"

namespace platform::detail {

HandleTable<HWND__>& Handles::Windows() {
  static HandleTable<HWND__> table;
  return table;
}

HandleTable<HGLRC__>& Handles::Contexts() {
  static HandleTable<HGLRC__> table;
  return table;
}

HandleTable<HFONT__>& Handles::Fonts() {
  static HandleTable<HFONT__> table;
  return table;
}

HandleTable<HDC__>& Handles::DeviceContexts() {
  static HandleTable<HDC__> table;
  return table;
}

}  // namespace platform::detail
