// The process-wide destination of OutputDebugStringA.
#ifndef NIMBO_PLATFORM_SRC_DEBUGOUTPUTROUTER_H
#define NIMBO_PLATFORM_SRC_DEBUGOUTPUTROUTER_H

#include <mutex>
#include <string_view>

#include "platform/DebugOutput.h"

namespace platform::detail {

class DebugOutputRouter {
 public:
  static DebugOutputRouter& Instance();

  DebugOutputSink Exchange(DebugOutputSink sink);
  // Hands the text to the installed sink, or to stderr when there is none.
  void Write(std::string_view text);
  // Hands the text to the installed sink; false when there is none.
  bool Deliver(std::string_view text);

 private:
  std::mutex mutex;
  DebugOutputSink current;
};

}  // namespace platform::detail

#endif
