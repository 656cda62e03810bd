// The clipboard of a simulated PC. The program is the only one that opens it
// (one program, one thread); machine.json "clipboard" gives the text on it at
// the start and whether another program holds it open the whole run.
#pragma once

#include <map>
#include <string>

#include "platform/win32.h"

namespace sim {

class Machine;

class Clipboard {
 public:
  // Reads machine.json "clipboard" once, before the first clipboard call.
  void Seed(Machine& m);

  bool open = false;            // opened by the program and not closed
  HWND opened_by = nullptr;     // the window the program opened it for
  HWND owner = nullptr;         // set by EmptyClipboard
  bool open_elsewhere = false;  // another program holds it open
  // Formats and their data, global memory handed over by SetClipboardData.
  std::map<UINT, HGLOBAL> formats;

  // The CF_TEXT text up to its terminating zero ("" when there is none).
  std::string Text(Machine& m) const;

 private:
  bool seeded_ = false;
};

}  // namespace sim
