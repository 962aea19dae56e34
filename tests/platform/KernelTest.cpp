// The per-thread last error, and debug output captures and sinks.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>

#include "platform/DebugOutput.h"

namespace {

TEST(KernelTest, LastErrorIsPerThread) {
  SetLastError(ERROR_INVALID_PIXEL_FORMAT);
  DWORD seenElsewhere = 1234;
  std::thread([&] {
    seenElsewhere = GetLastError();
    SetLastError(ERROR_BUSY);
  }).join();
  EXPECT_EQ(seenElsewhere, static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PIXEL_FORMAT));
  SetLastError(ERROR_SUCCESS);
}

TEST(DebugOutputTest, CapturesNestAndTheSinkDefaultsToStandardError) {
  {
    platform::DebugOutputCapture outer;
    OutputDebugStringA("Error creating font: 6\n");
    {
      platform::DebugOutputCapture inner;
      OutputDebugStringA("b");
      OutputDebugStringA(nullptr);
      EXPECT_EQ(inner.Text(), "b");
    }
    OutputDebugStringA("c");
    EXPECT_EQ(outer.Text(), "Error creating font: 6\nc");
  }
  std::string received;
  auto previous = platform::SetDebugOutputSink([&](std::string_view text) { received += text; });
  OutputDebugStringA("to the sink");
  EXPECT_EQ(received, "to the sink");
  ::testing::internal::CaptureStderr();
  platform::SetDebugOutputSink(nullptr);
  OutputDebugStringA("to stderr\n");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "to stderr\n");
  platform::SetDebugOutputSink(previous);

  // Captures that end out of order lose output but leave no sink pointing
  // at a capture that is gone.
  auto first = std::make_unique<platform::DebugOutputCapture>();
  auto second = std::make_unique<platform::DebugOutputCapture>();
  first.reset();
  second.reset();
  OutputDebugStringA("after both");
  platform::SetDebugOutputSink(nullptr);
}

}  // namespace
