// The simulated user's script: one action a line, blank lines and lines
// starting with '#' skipped. Lines come from a string, a file, or a person
// typing at the terminal (prompted on a stream; end of input ends the script).
// A script from text is checked whole before anything runs; a person's lines
// are checked one by one as they are typed.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "sim/script_action.h"

namespace sim {

struct ScriptLine {
  std::string text;  // the action, blanks around it trimmed; "" for a bare Enter
  int number = 0;    // line number in its source (1-based)
  ScriptAction action;
  std::string problem;  // why the line is malformed (a person's lines only)
};

class Script {
 public:
  // An empty script: every waiting window finds it ended.
  Script() = default;
  // A malformed line makes the script empty and error() name it.
  static Script FromText(const std::string& text, const std::string& name);
  static Script FromTerminal(std::istream& in, std::ostream& prompts);

  // "NAME line N: PROBLEM: "LINE" (verbs: ...)" for a refused script; "" otherwise.
  const std::string& error() const { return error_; }

  // The next action, or nullptr when the script has ended. `window` is the
  // title shown in the terminal prompt. With `bareEnter`, an empty typed line
  // is returned (text "") instead of being skipped; scripts never give one.
  const ScriptLine* Peek(const std::string& window, bool bareEnter = false);
  // Moves past the line last peeked.
  void Advance();
  // Lines not taken yet (terminal input is not read ahead).
  std::vector<ScriptLine> Remaining() const;
  const std::string& name() const { return name_; }
  // Where a person is prompted; nullptr for a script from text.
  std::ostream* prompts() const { return prompts_; }

 private:
  std::vector<ScriptLine> lines_;
  size_t next_ = 0;
  std::string name_ = "script";
  std::string error_;
  std::istream* in_ = nullptr;
  std::ostream* prompts_ = nullptr;
  int terminalNumber_ = 0;
  bool terminalEnded_ = false;
};

// True for lines the script skips.
bool IsSkippedScriptLine(const std::string& trimmed);

}  // namespace sim
