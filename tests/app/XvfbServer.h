// A private X server for tests that need native windows: uses DISPLAY when
// it is set, otherwise starts Xvfb and stops it again.
#ifndef NIMBO_TESTS_APP_XVFBSERVER_H
#define NIMBO_TESTS_APP_XVFBSERVER_H

#include <sys/types.h>

#include <string>

class XvfbServer {
 public:
  XvfbServer();
  ~XvfbServer();
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  // Empty when a display is available; otherwise why there is none.
  const std::string& Unavailable() const { return unavailable; }

 private:
  pid_t pid = 0;
  std::string unavailable;
};

#endif
