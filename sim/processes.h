// Processes the program starts on a simulated PC. Only the Windows Installer
// program is simulated: `msiexec /x{CODE} …` of a machine.json
// "installer_products" entry runs for the product's `seconds` on the
// simulated clock, then removes the product (its uninstall key and every key
// or path of `removes`, and the entry itself) and ends with its `exit_code`.
// Nothing runs by itself: the clock moves only when the program waits, and
// what is due is carried out then. A process still running when the program
// ends does its work "after" the run: its removals are not made.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "sim/handles.h"

namespace sim {

class Machine;

struct Process {
  std::string command_line;  // as passed, code page text
  std::string product;       // the product code removed at the end ("" for none)
  uint64_t ends_at_ms = 0;   // on the simulated clock
  DWORD exit_code = 0;
  bool ended = false;
  bool reported = false;  // the transcript line is written
};

// The handles of a process and of its first thread: both wait for the process.
struct ProcessObject : HandleObject {
  static constexpr HandleKind kKind = HandleKind::Process;
  explicit ProcessObject(std::shared_ptr<Process> p) : process(std::move(p)) {}
  HandleKind Kind() const override { return kKind; }
  std::shared_ptr<Process> process;
};
struct ThreadObject : HandleObject {
  static constexpr HandleKind kKind = HandleKind::Other;
  explicit ThreadObject(std::shared_ptr<Process> p) : process(std::move(p)) {}
  HandleKind Kind() const override { return kKind; }
  std::shared_ptr<Process> process;
};

// What the Windows Installer program makes of its command line.
struct InstallerRequest {
  bool valid = false;   // an uninstall request: "/x" or "/uninstall" and a product code
  std::string product;  // the code as written
};
InstallerRequest ParseInstallerCommand(const std::string& arguments);

class Processes {
 public:
  // Starts the installer for `arguments` (the command line after the
  // program's name) at the current time.
  std::shared_ptr<Process> StartInstaller(Machine& m, const std::string& commandLine,
                                          const std::string& arguments);
  // Ends every process whose time has come, in the order they end.
  void Settle(Machine& m);
  // Writes "[process] COMMAND LINE -> RESULT" once per process.
  static void Report(Machine& m, Process& p, const std::string& result);

  const std::vector<std::shared_ptr<Process>>& All() const { return all_; }

 private:
  void End(Machine& m, Process& p);
  std::vector<std::shared_ptr<Process>> all_;
};

}  // namespace sim
