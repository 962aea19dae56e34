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
  // Pick lines go to `out`. Models the script loads take ids from
  // `nextModelId` on, after those already in the scene.
  ScriptRunner(ViewHost& host, std::ostream& out, std::uint64_t nextModelId = 1)
      : host(host), interaction(host), out(out), nextModelId(nextModelId) {}

  void Run(const SessionScript& script);

 private:
  void Execute(const Statement& statement);
  void Expect(const Statement& statement);
  // The path of a node in the scene; a path to nothing fails the line.
  RenderId ExistingNode(const std::string& word);

  ViewHost& host;
  Interaction interaction;
  std::ostream& out;
  std::filesystem::path directory;
  std::uint64_t nextModelId;
  bool framed = false;
};

}  // namespace nimboview

#endif
