#include "platform/DebugOutput.h"

#include <utility>

#include "DebugOutputRouter.h"

namespace platform {

DebugOutputSink SetDebugOutputSink(DebugOutputSink sink) {
  return detail::DebugOutputRouter::Instance().Exchange(std::move(sink));
}

DebugOutputCapture::DebugOutputCapture() {
  previous_ = SetDebugOutputSink([this](std::string_view text) {
    std::lock_guard lock(mutex_);
    text_.append(text);
  });
}

DebugOutputCapture::~DebugOutputCapture() { SetDebugOutputSink(std::move(previous_)); }

std::string DebugOutputCapture::Text() const {
  std::lock_guard lock(mutex_);
  return text_;
}

}  // namespace platform
