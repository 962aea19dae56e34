// Kernel functions: thread id, last error and debugger output.
#include <windows.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "DebugOutputRouter.h"

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;
}

extern "C" {

DWORD WINAPI GetCurrentThreadId(void) {
  // Linux thread ids fit in 32 bits (pid_max is at most 2^22).
  return static_cast<DWORD>(::syscall(SYS_gettid));
}

DWORD WINAPI GetLastError(void) { return lastError; }

void WINAPI SetLastError(DWORD dwErrCode) { lastError = dwErrCode; }

void WINAPI OutputDebugStringA(LPCSTR lpOutputString) {
  if (lpOutputString == nullptr) return;
  platform::detail::DebugOutputRouter::Instance().Write(lpOutputString);
}
}
