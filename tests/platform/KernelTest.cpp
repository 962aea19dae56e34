// The per-thread last error, and debug output captures and sinks.
#include <windows.h>

#include <gtest/gtest.h>

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
}

}  // namespace
