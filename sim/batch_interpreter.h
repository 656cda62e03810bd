// The command interpreter a batch file runs in at the start of Windows:
// COMMAND.COM on the 9x family, cmd.exe on the NT family. It carries out
// what a deferred erase batch holds (ECHO, REM, a drive change, CD/CHDIR,
// DEL/ERASE, RD/RMDIR, labels) and what a restore script holds (COPY,
// MD/MKDIR, ATTRIB) through the Windows calls of the current
// Machine, with the failure texts and the argument rules of that
// interpreter, so a line that would hit the wrong file on a PC does so here.
// Every line and its outcome are written to `out` (UTF-8):
//   C:\WINDOWS\system32> DEL x.dll
//     -> deleted C:\WINDOWS\system32\x.dll
#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "sim/batch_words.h"
#include "sim/machine.h"

namespace sim {

// The variables a batch started at logon sees: TEMP and TMP (the temporary
// directory without its trailing backslash), windir, and on the NT family
// SystemRoot, from machine.json's directories.
BatchEnvironment LogonEnvironment(const Machine& m);

class BatchInterpreter {
 public:
  // `m` must be the current Machine (ScopedMachine); the batch starts in
  // m.files.current_dir.
  BatchInterpreter(Machine& m, std::ostream& out);

  // Runs the lines of `text`; `arguments` are %0 (the batch as started), %1 ...
  void Run(const std::string& text, const std::vector<std::string>& arguments);

 private:
  void RunLine(const std::string& line);
  // One command of a line (after @ signs); false when it ends the batch.
  bool RunCommand(const std::string& command);
  void Echo(const std::string& rest);
  void ChangeDrive(char drive);
  void ChangeDirectory(const std::string& rest);
  void Delete(const std::string& rest);
  void DeleteName(const std::string& name, bool force, bool quiet);
  void RemoveDirectories(const std::string& rest);
  // COPY, MD/MKDIR and ATTRIB (sim/batch_copy.cpp).
  void CopyCommand(const std::string& name, const std::string& rest);
  void Copy(const std::string& rest);
  void MakeDirectories(const std::string& rest);
  void Attrib(const std::string& rest);

  // `name` made a full path: "X:rest" against drive X's own directory, the
  // rest against the current one. False with the message said when it is none.
  bool Resolve(const std::string& name, bool wildcardLast, std::string* full);
  // The current directory of drive X ("X:\" until a CD set it).
  std::string DriveDirectory(char drive) const;
  bool DriveUsable(char drive) const;
  char CurrentDrive() const;

  // One line of output of the interpreter or of what it did.
  void Say(const std::string& text);
  void SayWindowsError(DWORD error);

  Machine& m_;
  std::ostream& out_;
  bool nt_;
  bool echo_ = true;
  std::map<char, std::string> drive_dirs_;  // each drive's own current directory
  PercentContext percent_;
  BatchEnvironment environment_;
};

}  // namespace sim
