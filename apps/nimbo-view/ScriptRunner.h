// Runs a parsed session script against a view host: each statement becomes
// the host's calls, expectations compare the last frame, picks and marks.
// Any failure is a ScriptError at the statement's line.
#ifndef NIMBO_VIEW_SCRIPT_RUNNER_H
#define NIMBO_VIEW_SCRIPT_RUNNER_H

#include <cstdint>
#include <filesystem>
#include <iosfwd>

#include "Interaction.h"
#include "SessionScript.h"

namespace nimboview {

class ViewHost;

class ScriptRunner {
 public:
  // Pick lines go to `out`.
  ScriptRunner(ViewHost& host, std::ostream& out) : host(host), interaction(host), out(out) {}

  void Run(const SessionScript& script);

 private:
  void Execute(const Statement& statement);
  void Expect(const Statement& statement);

  ViewHost& host;
  Interaction interaction;
  std::ostream& out;
  std::filesystem::path directory;
  std::uint64_t nextModelId = 1;
  bool framed = false;
};

}  // namespace nimboview

#endif
