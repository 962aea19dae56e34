// A session script: one host action per line, words separated by blanks,
// '#' starts a comment. Parsing checks every line (known verb, number and
// form of its arguments) before anything runs, so that a bad script fails
// with its line number and nothing done.
#ifndef NIMBO_APPS_NIMBO_VIEW_SESSIONSCRIPT_H
#define NIMBO_APPS_NIMBO_VIEW_SESSIONSCRIPT_H

#include <array>
#include <stdexcept>
#include <string>
#include <vector>

#include "KivVizCore/RenderId.h"

namespace nimboview {

// An error at a line of a script; what() reads "FILE:LINE: message", or
// "FILE: message" for the script as a whole.
class ScriptError : public std::runtime_error {
 public:
  ScriptError(const std::string& file, int line, const std::string& message)
      : std::runtime_error(file + ":" + std::to_string(line) + ": " + message) {}
  ScriptError(const std::string& file, const std::string& message) : std::runtime_error(file + ": " + message) {}
};

struct Statement {
  int line = 0;
  std::string verb;
  std::vector<std::string> arguments;
};

class SessionScript {
 public:
  // The language, one line per verb, for --help.
  static const char* Reference();

  // Throws ScriptError.
  static SessionScript Read(const std::string& path);
  static SessionScript Parse(const std::string& text, const std::string& name);

  // A node path "1/2/3" of unsigned ids; throws UsageError.
  static RenderId NodePath(const std::string& word);
  // The window size of a "size W H" line, 1 to 8192 each; throws UsageError.
  static std::array<int, 2> WindowSize(const std::vector<std::string>& arguments);

  const std::string& Name() const { return name; }
  const std::vector<Statement>& Statements() const { return statements; }

 private:
  std::string name;
  std::vector<Statement> statements;
};

}  // namespace nimboview

#endif
