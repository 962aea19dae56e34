// A session script: one host action per line, words separated by blanks,
// '#' starts a comment. Parsing checks every line (known verb, number and
// form of its arguments) before anything runs, so that a bad script fails
// with its line number and nothing done.
#ifndef NIMBO_VIEW_SESSION_SCRIPT_H
#define NIMBO_VIEW_SESSION_SCRIPT_H

#include <stdexcept>
#include <string>
#include <vector>

namespace nimboview {

// An error at a line of a script; what() reads "FILE:LINE: message".
class ScriptError : public std::runtime_error {
 public:
  ScriptError(const std::string& file, int line, const std::string& message)
      : std::runtime_error(file + ":" + std::to_string(line) + ": " + message) {}
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

  // Throws ScriptError (line 0 when the file cannot be read).
  static SessionScript Read(const std::string& path);
  static SessionScript Parse(const std::string& text, const std::string& name);

  const std::string& Name() const { return name; }
  const std::vector<Statement>& Statements() const { return statements; }

 private:
  std::string name;
  std::vector<Statement> statements;
};

}  // namespace nimboview

#endif
