#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>

#include "platform/DebugOutput.h"

namespace {

TEST(LastErrorTest, IsPerThread) {
  SetLastError(ERROR_INVALID_PIXEL_FORMAT);
  DWORD seenElsewhere = 1234;
  std::thread other([&] {
    seenElsewhere = GetLastError();
    SetLastError(ERROR_BUSY);
  });
  other.join();
  EXPECT_EQ(seenElsewhere, static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PIXEL_FORMAT));
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
}

TEST(ThreadIdTest, IsStableWithinAThreadAndDiffersAcrossThreads) {
  const DWORD mine = GetCurrentThreadId();
  EXPECT_NE(mine, 0u);
  EXPECT_EQ(GetCurrentThreadId(), mine);
  DWORD theirs = mine;
  std::thread other([&] { theirs = GetCurrentThreadId(); });
  other.join();
  EXPECT_NE(theirs, 0u);
  EXPECT_NE(theirs, mine);
}

TEST(DebugOutputTest, CaptureCollectsEverythingWritten) {
  platform::DebugOutputCapture capture;
  OutputDebugStringA("Error creating font: 6\n");
  OutputDebugStringA("second line");
  OutputDebugStringA(nullptr);
  EXPECT_EQ(capture.Text(), "Error creating font: 6\nsecond line");
}

TEST(DebugOutputTest, NestedCapturesRestoreTheOuterOne) {
  platform::DebugOutputCapture outer;
  OutputDebugStringA("a");
  {
    platform::DebugOutputCapture inner;
    OutputDebugStringA("b");
    EXPECT_EQ(inner.Text(), "b");
  }
  OutputDebugStringA("c");
  EXPECT_EQ(outer.Text(), "ac");
}

TEST(DebugOutputTest, CustomSinkReceivesTextAndDefaultIsStderr) {
  std::string received;
  auto previous = platform::SetDebugOutputSink([&](std::string_view text) { received += text; });
  OutputDebugStringA("to the sink");
  EXPECT_EQ(received, "to the sink");
  platform::SetDebugOutputSink(previous);

  ::testing::internal::CaptureStderr();
  platform::SetDebugOutputSink(nullptr);
  OutputDebugStringA("to stderr\n");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "to stderr\n");
  platform::SetDebugOutputSink(previous);
}

}  // namespace
