// A simulated PC built in code for unit tests, over a fresh temporary drives/
// folder that is removed when the TestMachine ends. It is the current Machine
// (sim::Current()) for its whole life.
//
//   TestMachine tm("xp");                         // "95" "98" "me" "nt4" "2000" "xp"
//   tm.AddFile("C:\\Scrubber\\VtCvScrubber.ini", "; Version 2.03\r\n");
//   tm.SetCurrentDir("C:\\Scrubber");
//   tm.SetReadOnly("C:\\x\\a.txt");               // flags as machine.json "files"
//   tm.AddFault("DeleteFileA", 33, "C:\\x\\a.txt", 1);
//   ... program code calls Windows ...
//   EXPECT_EQ(tm.ReadFile("C:\\WINDOWS\\TEMP\\VtCvScrubber.log"), "...");
//   tm.m.user.SetScript("press Yes\n");           // answers to message boxes
//
// Defaults (as a freshly installed PC of that version): code page 1252,
// computer name "SHOP-PC", local time 2003-03-05 09:07:04.021, drive C: fixed
// with 5000000000 free bytes, administrator with SeShutdownPrivilege and
// SeTakeOwnershipPrivilege, current directory C:\Scrubber. Directories (XP):
// windows C:\WINDOWS, system C:\WINDOWS\system32, temp C:\WINDOWS\TEMP\,
// desktop, common_desktop, programs, common_programs, startup and
// common_startup under C:\Documents and Settings; 95/98/ME: C:\WINDOWS,
// C:\WINDOWS\SYSTEM, C:\WINDOWS\TEMP\, C:\WINDOWS\Desktop, C:\WINDOWS\Start
// Menu\Programs (no common folders); NT 4 / 2000: C:\WINNT ... The folders
// current, windows, system and temp exist on the drive; the others do not
// until a test adds them.
#pragma once

#include <string>

#include "sim/machine.h"

class TestMachine {
 public:
  explicit TestMachine(const std::string& windows = "xp");
  ~TestMachine();
  TestMachine(const TestMachine&) = delete;
  TestMachine& operator=(const TestMachine&) = delete;

  sim::Machine m;

  // Host folder of the image (holds drives/); a test may write machine.json
  // or registry.reg there and call sim::LoadImage on a fresh Machine.
  const std::string& ImageDir() const { return dir_; }
  // Host path of a Windows path (whose folders need not exist).
  std::string HostPath(const std::string& winPath) const;

  // Files and folders (parents are created). Paths are full Windows paths.
  void AddFile(const std::string& winPath, const std::string& content = "");
  void AddDir(const std::string& winPath);
  bool Exists(const std::string& winPath) const;
  bool IsDir(const std::string& winPath) const;
  std::string ReadFile(const std::string& winPath) const;  // "" when missing
  void Remove(const std::string& winPath);                 // file or whole folder
  void SetReadOnly(const std::string& winPath, bool on = true);
  void SetInUse(const std::string& winPath, bool on = true);
  // Adds drive X (its host folder, and its machine.json entry).
  void AddDrive(char letter, UINT type = DRIVE_FIXED, unsigned long long freeBytes = 5000000000ULL);

  // The current directory (created when missing).
  void SetCurrentDir(const std::string& winPath);
  // A machine.json "directories" entry; SetDirectoryNull makes it null.
  void SetDirectory(const std::string& name, const std::string& winPath);
  void SetDirectoryNull(const std::string& name);

  // A machine.json "faults" entry: `call` fails with `error` for `path`
  // ("" = any) for the first `times` matching calls (-1 = always).
  void AddFault(const std::string& call, DWORD error, const std::string& path = "", int times = -1);
  void AddKeyFault(const std::string& call, DWORD error, const std::string& key, int times = -1);

 private:
  std::string dir_;
  sim::ScopedMachine* scope_ = nullptr;
};
