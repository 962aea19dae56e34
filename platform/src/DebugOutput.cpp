#include "platform/DebugOutput.h"

#include <utility>

#include "DebugOutputRouter.h"
#if defined(_WIN32)
#include "DebugOutputHook.h"
#endif

namespace platform {

DebugOutputSink SetDebugOutputSink(DebugOutputSink sink) {
#if defined(_WIN32)
  // The system's OutputDebugStringA reaches the router only through the hook.
  detail::HookOutputDebugString();
#endif
  return detail::DebugOutputRouter::Instance().Exchange(std::move(sink));
}

DebugOutputCapture::DebugOutputCapture() {
  previous = SetDebugOutputSink([shared = collected](std::string_view text) {
    std::lock_guard lock(shared->mutex);
    shared->text.append(text);
  });
}

DebugOutputCapture::~DebugOutputCapture() { SetDebugOutputSink(std::move(previous)); }

std::string DebugOutputCapture::Text() const {
  std::lock_guard lock(collected->mutex);
  return collected->text;
}

}  // namespace platform
