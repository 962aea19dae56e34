#include "DebugOutputRouter.h"

#include <cstdio>
#include <utility>

namespace platform::detail {

DebugOutputRouter& DebugOutputRouter::Instance() {
  static DebugOutputRouter router;
  return router;
}

DebugOutputSink DebugOutputRouter::Exchange(DebugOutputSink sink) {
  std::lock_guard lock(mutex);
  return std::exchange(current, std::move(sink));
}

void DebugOutputRouter::Write(std::string_view text) {
  if (!Deliver(text)) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
  }
}

bool DebugOutputRouter::Deliver(std::string_view text) {
  // Copy the sink so a sink that writes debug output itself cannot deadlock.
  DebugOutputSink sink;
  {
    std::lock_guard lock(mutex);
    sink = current;
  }
  if (!sink) return false;
  sink(text);
  return true;
}

}  // namespace platform::detail
