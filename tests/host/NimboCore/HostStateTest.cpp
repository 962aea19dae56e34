#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>

#include "NimboCore/APluginFactory.h"
#include "NimboCore/Assert.h"
#include "NimboCore/Debug.h"
#include "NimboCore/MainThread.h"
#include "NimboCore/Settings.h"
#include "NimboCore/ViewOpRayPick.h"

namespace {

struct AssertionReport : std::runtime_error {
  AssertionReport(const std::string& expression, const std::string& file, int line)
      : std::runtime_error(expression), file(file), line(line) {}
  std::string file;
  int line;
};

void ThrowReport(const char* expression, const char* file, int line) { throw AssertionReport(expression, file, line); }

// Installs the throwing handler for one test and puts the previous back.
class ThrowingAssertions {
 public:
  ThrowingAssertions() : previous(NimboCore::SetAssertionHandler(&ThrowReport)) {}
  ~ThrowingAssertions() { NimboCore::SetAssertionHandler(previous); }

 private:
  NimboCore::AssertionHandler previous;
};

// Sends NimboCore::dbg into a string for one test.
class CapturedDebugStream {
 public:
  CapturedDebugStream() : previous(NimboCore::dbg.rdbuf(text.rdbuf())) {}
  ~CapturedDebugStream() { NimboCore::dbg.rdbuf(previous); }
  std::string Text() const { return text.str(); }

 private:
  std::ostringstream text;
  std::streambuf* previous;
};

TEST(AssertTest, HandlerGetsExpressionFileAndLine) {
  ThrowingAssertions throwing;
  const int value = 3;
  const int line = __LINE__ + 2;
  try {
    NIMBO_ASSERT(value == 4);
    FAIL() << "the assertion did not fire";
  } catch (const AssertionReport& report) {
    EXPECT_STREQ(report.what(), "value == 4");
    EXPECT_EQ(report.file, __FILE__);
    EXPECT_EQ(report.line, line);
  }
  EXPECT_NO_THROW(NIMBO_ASSERT(value == 3));
}

TEST(AssertTest, InstallingReturnsThePreviousHandlerAndNullRestoresTheDefault) {
  const NimboCore::AssertionHandler original = NimboCore::SetAssertionHandler(&ThrowReport);
  ASSERT_NE(original, nullptr);
  EXPECT_EQ(NimboCore::SetAssertionHandler(nullptr), &ThrowReport);
  EXPECT_EQ(NimboCore::SetAssertionHandler(original), original);
}

TEST(AssertDeathTest, DefaultHandlerReportsOnTheDebugStreamAndAborts) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(NimboCore::AssertionFailed("1 == 2", "Somewhere.cpp", 17),
               "Assertion failed: 1 == 2, file Somewhere.cpp, line 17");
}

TEST(DebugStreamTest, WritesWhereItsBufferPoints) {
  CapturedDebugStream captured;
  NimboCore::dbg << "diagnostic " << 42 << std::endl;
  EXPECT_EQ(captured.Text(), "diagnostic 42\n");
}

TEST(DebugStreamTest, DefaultsToStandardError) {
  testing::internal::CaptureStderr();
  NimboCore::dbg << "to stderr" << std::endl;
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "to stderr\n");
}

TEST(MainThreadTest, IsTheThreadThatLoadedTheLibrary) {
  // The test program loads libNimboCore on its main thread, which runs the
  // tests too.
  EXPECT_EQ(Nimbo_mainThreadId, GetCurrentThreadId());
  std::uint32_t other = 0;
  std::thread([&other] { other = GetCurrentThreadId(); }).join();
  EXPECT_NE(other, Nimbo_mainThreadId);
}

TEST(HostSettingsTest, CurrentIsOneObjectWithADefaultGradient) {
  Settings& settings = Settings::Current();
  EXPECT_EQ(&settings, &Settings::Current());
  const Settings defaults;
  EXPECT_NE(defaults.GetBackgroundColor1(), defaults.GetBackgroundColor2());
  EXPECT_EQ(defaults.GetBackgroundColor1().alpha, 255);

  const RGBAColor before = settings.GetBackgroundColor2();
  settings.SetBackgroundColor2(RGBAColor(1, 2, 3));
  EXPECT_EQ(Settings::Current().GetBackgroundColor2(), RGBAColor(1, 2, 3));
  settings.SetBackgroundColor2(before);
}

TEST(PickApertureTest, DefaultsToFivePixelsAndIsShared) {
  EXPECT_EQ(ViewOpRayPick::APERTURE, 5);
  ViewOpRayPick::APERTURE = 9;
  EXPECT_EQ(ViewOpRayPick::APERTURE, 9);
  ViewOpRayPick::APERTURE = 5;
}

class MinimalFactory : public APluginFactory {
 public:
  MinimalFactory() {
    setName("Minimal");
    setDescription(L"A factory");
  }
  AView3D* createInstance() override { return nullptr; }
  void* createOptional() override { return nullptr; }
  void doLoad() override {}
};

TEST(APluginFactoryTest, BaseNamesDescribesAndHasNoPrerequisites) {
  MinimalFactory factory;
  EXPECT_EQ(factory.getName(), "Minimal");
  EXPECT_EQ(factory.getDescription(), L"A factory");
  factory.doPreLoad();
  EXPECT_TRUE(factory.getPreqPlugins().empty());
}

}  // namespace
