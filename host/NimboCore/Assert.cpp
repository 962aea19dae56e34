#include "NimboCore/Assert.h"

#include <atomic>
#include <cstdlib>
#include <ostream>

#include "NimboCore/Debug.h"

namespace NimboCore {

namespace {

void ReportAndAbort(const char* expression, const char* file, int line) {
  dbg << "Assertion failed: " << expression << ", file " << file << ", line " << line << std::endl;
  std::abort();
}

std::atomic<AssertionHandler> currentHandler{&ReportAndAbort};

}  // namespace

AssertionHandler SetAssertionHandler(AssertionHandler handler) {
  return currentHandler.exchange(handler != nullptr ? handler : &ReportAndAbort);
}

void AssertionFailed(const char* expression, const char* file, int line) {
  currentHandler.load()(expression != nullptr ? expression : "", file != nullptr ? file : "", line);
}

}  // namespace NimboCore
