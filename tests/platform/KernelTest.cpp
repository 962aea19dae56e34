// The per-thread last error, and debug output captures and sinks.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "WhichWin32.h"
#include "platform/DebugOutput.h"

namespace {

TEST(KernelTest, LastErrorIsPerThread) {
  // Each thread reads its code back while the other has set its own, with
  // no other call in between: on Windows, starting or joining a thread may
  // itself change the calling thread's last error.
  std::atomic<int> step{0};
  DWORD seenAtStart = 1234;
  DWORD seenThere = 0;
  std::thread worker([&] {
    seenAtStart = GetLastError();
    SetLastError(ERROR_BUSY);
    step = 1;
    while (step != 2) {
    }
    seenThere = GetLastError();
    step = 3;
  });
  while (step != 1) {
  }
  SetLastError(ERROR_INVALID_PIXEL_FORMAT);
  step = 2;
  while (step != 3) {
  }
  const DWORD seenHere = GetLastError();
  worker.join();
  EXPECT_EQ(seenAtStart, static_cast<DWORD>(ERROR_SUCCESS)) << "a new thread starts clear";
  EXPECT_EQ(seenThere, static_cast<DWORD>(ERROR_BUSY));
  EXPECT_EQ(seenHere, static_cast<DWORD>(ERROR_INVALID_PIXEL_FORMAT));
  SetLastError(ERROR_SUCCESS);
}

TEST(DebugOutputTest, CapturesNestAndWithoutASinkTheSystemGetsTheText) {
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
  // The EGL layer has no debugger to hand the text to; Windows has.
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), NimboTest::kEglLayer ? "to stderr\n" : "");
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
