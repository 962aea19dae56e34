#include "DebugOutputHook.h"

#include <windows.h>

#include <string_view>

#include "DebugOutputRouter.h"

namespace platform::detail {
namespace {

// OutputDebugStringA raises this exception with the text's length (with its
// terminating NUL) and address, and continues quietly when a handler
// dismisses it; only when nobody does is the text handed to a debugger.
constexpr DWORD kDebugPrintException = 0x40010006;  // DBG_PRINTEXCEPTION_C

LONG CALLBACK OnException(EXCEPTION_POINTERS* pointers) {
  const EXCEPTION_RECORD& record = *pointers->ExceptionRecord;
  if (record.ExceptionCode != kDebugPrintException || record.NumberParameters < 2) return EXCEPTION_CONTINUE_SEARCH;
  const auto length = static_cast<std::size_t>(record.ExceptionInformation[0]);
  const auto* text = reinterpret_cast<const char*>(record.ExceptionInformation[1]);
  if (text == nullptr || length == 0) return EXCEPTION_CONTINUE_SEARCH;
  return DebugOutputRouter::Instance().Deliver(std::string_view(text, length - 1)) ? EXCEPTION_CONTINUE_EXECUTION
                                                                                   : EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

void HookOutputDebugString() {
  static const PVOID handler = AddVectoredExceptionHandler(1, OnException);
  (void)handler;
}

}  // namespace platform::detail
