// The simulated user's script: one action a line, blank lines and lines
// starting with '#' skipped. Lines come from a string, a file, or a person
// typing at the terminal (prompted on a stream; end of input ends the script).
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace sim {

struct ScriptLine {
  std::string text;  // the action, blanks around it trimmed
  int number = 0;    // line number in its source (1-based)
};

class Script {
 public:
  // An empty script: every waiting window finds it ended.
  Script() = default;
  static Script FromText(const std::string& text, const std::string& name);
  static Script FromTerminal(std::istream& in, std::ostream& prompts);

  // The next action, or nullptr when the script has ended. `window` is the
  // title shown in the terminal prompt.
  const ScriptLine* Peek(const std::string& window);
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
  std::istream* in_ = nullptr;
  std::ostream* prompts_ = nullptr;
  int terminalNumber_ = 0;
  bool terminalEnded_ = false;
};

// True for lines the script skips.
bool IsSkippedScriptLine(const std::string& trimmed);

}  // namespace sim
