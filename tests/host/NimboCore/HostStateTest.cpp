// Process-wide host state: the assertion handler and the main thread.
#include <windows.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>

#include "NimboCore/Assert.h"
#include "NimboCore/MainThread.h"

namespace {

struct AssertionReport : std::runtime_error {
  AssertionReport(const char* expression, const char* file, int line)
      : std::runtime_error(expression), file(file), line(line) {}
  std::string file;
  int line;
};

void ThrowReport(const char* expression, const char* file, int line) { throw AssertionReport(expression, file, line); }

TEST(AssertTest, HandlerGetsExpressionFileAndLineAndInstallingReturnsThePrevious) {
  const NimboCore::AssertionHandler original = NimboCore::SetAssertionHandler(&ThrowReport);
  ASSERT_NE(original, nullptr);
  const int value = 3;
  const int line = __LINE__ + 2;
  try {
    NIMBO_ASSERT(value == 4);
    ADD_FAILURE() << "the assertion did not fire";
  } catch (const AssertionReport& report) {
    EXPECT_STREQ(report.what(), "value == 4");
    EXPECT_EQ(report.file, __FILE__);
    EXPECT_EQ(report.line, line);
  }
  EXPECT_NO_THROW(NIMBO_ASSERT(value == 3));
  EXPECT_EQ(NimboCore::SetAssertionHandler(nullptr), &ThrowReport);
  EXPECT_EQ(NimboCore::SetAssertionHandler(original), original) << "null restores the default";
}

TEST(AssertDeathTest, DefaultHandlerReportsOnTheDebugStreamAndAborts) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(NimboCore::AssertionFailed("1 == 2", "Somewhere.cpp", 17),
               "Assertion failed: 1 == 2, file Somewhere.cpp, line 17");
}

TEST(MainThreadTest, IsTheThreadThatLoadedTheLibrary) {
  // The test program loads libNimboCore on its main thread, which runs the
  // tests too.
  EXPECT_EQ(Nimbo_mainThreadId, GetCurrentThreadId());
  std::uint32_t other = 0;
  std::thread([&other] { other = GetCurrentThreadId(); }).join();
  EXPECT_NE(other, Nimbo_mainThreadId);
}

}  // namespace
