#include "XvfbServer.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <string>

XvfbServer::XvfbServer() {
  if (std::getenv("DISPLAY") != nullptr) return;
  if (access("/usr/bin/Xvfb", X_OK) != 0) {
    unavailable = "no DISPLAY and no /usr/bin/Xvfb";
    return;
  }
  int fds[2];
  if (pipe(fds) != 0) {
    unavailable = "pipe failed";
    return;
  }
  pid = fork();
  if (pid == 0) {
    close(fds[0]);
    const std::string fd = std::to_string(fds[1]);
    execl("/usr/bin/Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "640x480x24", "-nolisten", "tcp",
          "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  // Xvfb writes its display number once it accepts connections.
  std::string number;
  pollfd waitFor{fds[0], POLLIN, 0};
  char c = 0;
  while (poll(&waitFor, 1, 20000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  if (number.empty()) {
    unavailable = "Xvfb did not start";
    return;
  }
  setenv("DISPLAY", (":" + number).c_str(), 1);
}

XvfbServer::~XvfbServer() {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  unsetenv("DISPLAY");
}
