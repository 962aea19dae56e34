// Where OutputDebugStringA goes: one process-wide sink, stderr unless a host
// or a test installs another.
#ifndef NIMBO_PLATFORM_INCLUDE_PLATFORM_DEBUGOUTPUT_H
#define NIMBO_PLATFORM_INCLUDE_PLATFORM_DEBUGOUTPUT_H

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace platform {

using DebugOutputSink = std::function<void(std::string_view)>;

// Installs a sink and returns the previous one; an empty sink means stderr.
DebugOutputSink SetDebugOutputSink(DebugOutputSink sink);

// Collects everything written with OutputDebugStringA while it lives, then
// puts the previous sink back. Captures are meant to nest; one that ends out
// of order, or while another thread writes, only loses output.
class DebugOutputCapture {
 public:
  DebugOutputCapture();
  ~DebugOutputCapture();
  DebugOutputCapture(const DebugOutputCapture&) = delete;
  DebugOutputCapture& operator=(const DebugOutputCapture&) = delete;

  std::string Text() const;

 private:
  // Shared with the installed sink, which may outlive the capture.
  struct Collected {
    std::mutex mutex;
    std::string text;
  };
  std::shared_ptr<Collected> collected = std::make_shared<Collected>();
  DebugOutputSink previous;
};

}  // namespace platform

#endif
