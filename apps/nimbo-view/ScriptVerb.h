// One verb of the session-script language: its name, the form of its
// arguments, its part of the --help reference and what it does, in one
// entry of ScriptRunner::Verbs(). The parser, the reference and the runner
// all read that table, so a new verb is one new entry.
#ifndef NIMBO_APPS_NIMBO_VIEW_SCRIPTVERB_H
#define NIMBO_APPS_NIMBO_VIEW_SCRIPTVERB_H

#include <string>
#include <string_view>
#include <vector>

#include "SessionScript.h"

namespace nimboview {

class ScriptRunner;

struct ScriptVerb {
  using Arguments = std::vector<std::string>;

  // The words a line starts with: "expect pixel" for the kinds of expect.
  std::string_view name;
  // One letter per argument: i integer, f number, I and F the same but not
  // negative (tolerances), c colour, p node path (1/2/3), n a node path or
  // "none", s any word; a '|' marks where the optional ones begin.
  std::string_view form;
  // Its part of the reference, verbatim: verbs that share a line continue
  // it. A '%' stands for the fallback.
  std::string_view help;
  // The value an omitted last argument takes, or empty for none.
  std::string_view fallback = {};
  // What the form cannot say about the arguments (throws UsageError), or null.
  void (*check)(const Arguments& arguments) = nullptr;
  void (*run)(ScriptRunner& runner, const Arguments& arguments) = nullptr;

  // The verb a statement names; throws UsageError for an unknown one.
  static const ScriptVerb& Of(const Statement& statement);
  // The statement's arguments after the verb's name, checked against its
  // form, with the fallback in place of an omitted last one. Throws UsageError.
  Arguments Read(const Statement& statement) const;
};

}  // namespace nimboview

#endif
