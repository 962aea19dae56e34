// Runs a parsed session script against a view host: each statement becomes
// the host's calls, expectations compare the last frame, picks and marks.
// Any failure is a ScriptError at the statement's line. Its Verbs() table
// is the language: each verb's form, help and handler.
#ifndef NIMBO_APPS_NIMBO_VIEW_SCRIPTRUNNER_H
#define NIMBO_APPS_NIMBO_VIEW_SCRIPTRUNNER_H

#include <array>
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <vector>

#include "Interaction.h"
#include "ScriptVerb.h"
#include "SessionScript.h"

namespace nimboview {

class ViewHost;

class ScriptRunner {
 public:
  // Pick lines go to `out`. Models the script loads take ids from
  // `nextModelId` on, after those already in the scene.
  ScriptRunner(ViewHost& host, std::ostream& out, std::uint64_t nextModelId = 1)
      : host(host), interaction(host), out(out), nextModelId(nextModelId) {}

  // Until the script aims the camera itself, its first demo or load aims
  // from this azimuth and elevation, as the render command starts; later
  // loads refit from where the camera looks.
  void AimFirstLoad(float azimuth, float elevation) { firstAim = {azimuth, elevation}; }

  void Run(const SessionScript& script);

  // Every verb of the language, in the order of the reference.
  static const std::vector<ScriptVerb>& Verbs();

 private:
  using Arguments = ScriptVerb::Arguments;

  void ExpectPixel(const Arguments& a);
  void ExpectPick(const Arguments& a);
  void ExpectPoint(const Arguments& a);
  void ExpectHighlighted(const Arguments& a, bool wanted);
  // The path of a node in the scene; a path to nothing fails the line.
  RenderId ExistingNode(const std::string& word);
  // Fits the camera to the scene after a load, aiming it first if pending.
  void FitLoaded();

  ViewHost& host;
  Interaction interaction;
  std::ostream& out;
  std::filesystem::path directory;
  std::uint64_t nextModelId;
  bool framed = false;
  std::optional<std::array<float, 2>> firstAim;
};

}  // namespace nimboview

#endif
