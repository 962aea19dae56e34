// Where OutputDebugStringA goes: one process-wide sink, stderr unless a host
// or a test installs another.
#ifndef NIMBO_PLATFORM_DEBUG_OUTPUT_H
#define NIMBO_PLATFORM_DEBUG_OUTPUT_H

#include <functional>
#include <mutex>
#include <string>
#include <string_view>

namespace platform {

using DebugOutputSink = std::function<void(std::string_view)>;

// Installs a sink and returns the previous one; an empty sink means stderr.
DebugOutputSink SetDebugOutputSink(DebugOutputSink sink);

// Collects everything written with OutputDebugStringA while it lives, then
// puts the previous sink back.
class DebugOutputCapture {
 public:
  DebugOutputCapture();
  ~DebugOutputCapture();
  DebugOutputCapture(const DebugOutputCapture&) = delete;
  DebugOutputCapture& operator=(const DebugOutputCapture&) = delete;

  std::string Text() const;

 private:
  mutable std::mutex mutex_;
  std::string text_;
  DebugOutputSink previous_;
};

}  // namespace platform

#endif
