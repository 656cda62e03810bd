// The person in front of the simulated PC: answers message boxes, dialogs and
// help calls from a script (a string, a file, or a person typing at the
// terminal) and writes every event to the transcript.
//
// Typical use in a unit test:
//
//   sim::Machine m;
//   sim::ScopedMachine scope(m);
//   m.user.SetScript("press Yes\n");      // the answers, one action a line
//   ... program code calls MessageBoxA ...
//   EXPECT_EQ(m.user.Lines().back(), "[box] Cap | Text | Yes/No | question -> Yes");
//
// A script: a box whose only button is OK is answered without a line unless
// the next line is "press OK"; when the waiting window cannot take the next
// line, or the script has run out, the window throws sim::ScriptAbort (vtsim
// turns it into exit 3; a test may EXPECT_THROW it).
//
// A person at the terminal sees every window and box on the prompt stream; an
// OK-only box waits for Enter, and a line the window cannot take is answered
// with what it can take and the person is asked again.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "sim/script.h"
#include "sim/transcript.h"

namespace sim {

// A waiting window had no usable script line. `message` names the window (and
// the line); it is the one line vtsim writes on standard error.
struct ScriptAbort {
  std::string message;
};

class User {
 public:
  User();
  ~User();
  User(const User&) = delete;
  User& operator=(const User&) = delete;

  // --- The answers -------------------------------------------------------
  // Replaces the script: lines of `text` (blank and '#' lines skipped).
  // `name` is how messages refer to it (e.g. the file's name). A malformed
  // line leaves an empty script and gives false, with `error` naming the line.
  bool SetScript(const std::string& text, const std::string& name = "script",
                 std::string* error = nullptr);
  // Reads the script from a host file; false with `error` set when it is
  // unreadable or a line is malformed.
  bool LoadScriptFile(const std::string& hostPath, std::string* error);
  // A person answers: each wait prompts on `prompts` and reads one line of
  // `in`; end of input is the end of the script.
  void SetTerminal(std::istream& in, std::ostream& prompts);
  Script& script() { return *script_; }
  // True when a person answers at the terminal.
  bool AtTerminal() const { return script_->prompts() != nullptr; }
  // Shows `text` (program texts in the code page) to the person at the
  // terminal, one line end added; nothing for a script.
  void Tell(const std::string& text);
  // Script lines never taken (file or string scripts), for vtsim's warning.
  std::vector<ScriptLine> Leftover() const { return script_->Remaining(); }

  // --- The transcript ----------------------------------------------------
  // Every line written is kept in Lines(); it is also streamed to `out` (when
  // set) as it is written.
  void SetTranscriptStream(std::ostream* out) { transcript_.SetStream(out); }
  const std::vector<std::string>& Lines() const { return transcript_.Lines(); }
  // Writes "[TAG] " + already formatted rest; texts inside must be escaped
  // with EscapeText by the caller.
  void Write(const std::string& tag, const std::string& rest);
  // Writes a whole line as given (escaped by the caller).
  void WriteLine(const std::string& line) { transcript_.Write(line); }

  // --- Windows restarts ---------------------------------------------------
  // A shutdown request was accepted: Windows ends the program as soon as it
  // next waits for the user. That wait writes "[restart] ..." and throws
  // sim::ProcessExit{0} instead (the program writes nothing more).
  void EndAtNextWait() { ending_ = true; }

  // --- Waiting windows (used by MessageBoxA and the text front end) -------
  // The next script line for the window titled `window`. Throws ScriptAbort
  // when the script has ended. The line stays unread until Take() or
  // Refuse(); a person's line may be malformed (line.problem set).
  const ScriptLine& Peek(const std::string& window);
  // The window took the line last peeked: "[action] LINE" is written.
  void Take();
  // The window cannot take `line`. A script ends: ScriptAbort naming both. A
  // person is told why and `offer` (what the window takes, one item a line);
  // the line is dropped and the window waits again.
  void Refuse(const std::string& window, const ScriptLine& line, const std::string& offer = "");

  // A message box as the user sees and answers it; returns IDOK, IDYES ...
  // (MessageBoxA forwards here).
  int AnswerBox(const std::string& caption, const std::string& text, unsigned type);

 private:
  int AnswerOkOnlyBox(const std::string& caption, const std::string& offer);
  // Ends the program when Windows is restarting (EndAtNextWait).
  void EndIfRestarting();
  bool ending_ = false;
  std::unique_ptr<Script> script_;
  Transcript transcript_;
};

}  // namespace sim
