// Answers the dialogs of a running program from a script and writes the
// transcript lines vtsim writes for the same events.
#pragma once

#include <windows.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "script_lines.h"

namespace windriver {

struct DriverOptions {
  std::string scriptName;   // for messages: the script's file name
  DWORD timeoutMs = 60000;  // longest wait for a window to settle or appear
};

class Driver {
 public:
  Driver(HANDLE process, DWORD processId, std::vector<ScriptLine> lines, DriverOptions options,
         FILE* transcript);
  // Runs until the program ends (its exit status) or the script cannot
  // answer (3, after ending the program).
  int Run();

 private:
  struct Known {
    std::string title;
    bool box = false;
    int result = 0;  // the command last sent that ends the dialog
    unsigned order = 0;
  };

  void Write(const std::string& tag, const std::string& rest);
  void Track(const std::vector<HWND>& dialogs);
  void Announce(HWND hwnd);
  HWND Waiting(const std::vector<HWND>& dialogs) const;
  bool Settled(HWND waiting);
  // Acts on the waiting window; false ends the run with exit 3.
  bool Answer(HWND hwnd);
  bool AnswerBox(HWND box);
  bool AnswerDialog(HWND dialog);
  bool Refuse(HWND hwnd, const ScriptLine& line);
  bool Ended(HWND hwnd);
  void Take(const ScriptLine& line);
  int Abort();
  const char* IconOf(HWND box);

  HANDLE process_;
  DWORD processId_;
  std::vector<ScriptLine> lines_;
  size_t next_ = 0;
  DriverOptions options_;
  FILE* out_;
  std::map<HWND, Known> known_;
  unsigned opened_ = 0;
  std::map<int, HICON> systemIcons_;  // the target's own system icons, by MB_ICON value
  std::string failure_;
};

}  // namespace windriver
