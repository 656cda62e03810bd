// Reads one DAT list file into an ordered list, expanding directory prefixes.
#pragma once

#include <string>

#include "config/string_list.h"

class CListFromFile {
 public:
  CListFromFile();

  void SetVTInstallDir(const std::string& dir);       // "#"
  void SetSystemDir(const std::string& dir);          // "$"
  void SetWindowsDir(const std::string& dir);         // "^"
  void SetDesktopDir(const std::string& dir);         // "|"
  void SetOCRDir(const std::string& dir);             // "+"
  void SetCommonProgramsDir(const std::string& dir);  // "!"
  void SetUserProgramsDir(const std::string& dir);    // "~"
  void SetDeviceIDDir(const std::string& dir);        // "?"
  void SetTempDir();                                  // "@", from GetTempPathA

  // Empties list and fills it from the file; the entry count, or -1 when the
  // file cannot be opened (or memory runs out).
  int ListFromFile(const std::string& path, CStringArray& list);
  int GetCount() const { return m_nCount; }

  // The first read of a run skips the directory check; this restores that.
  static void ResetFirstRead();

  // The entry one line read from the file gives (its syntax and prefixes);
  // false when the line adds nothing. Public so that tools checking a list
  // read its lines exactly as the program does.
  bool EntryFromLine(const std::string& line, std::string& entry) const;

 private:
  // Logs the first of the install, desktop, OCR and common programs-menu
  // directories that is empty (every read but the first of the run).
  void CheckDirectories() const;

  int m_nCount = 0;
  std::string m_sDir[9];  // slots 1-9 in prefix order
};
