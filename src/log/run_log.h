// The run log: one fresh CRunLog per entry, opened and closed around it.
#pragma once

#include <string>

#include "platform/crt_file.h"
#include "platform/win32.h"

class CRunLog {
 public:
  // With the log switch on: builds the log path and opens the file for
  // appending (text mode, exclusive). A failed open shows the open-failure box
  // and the entry is lost.
  CRunLog();
  ~CRunLog();
  CRunLog(const CRunLog&) = delete;
  CRunLog& operator=(const CRunLog&) = delete;

  void LogText(std::string text);
  void LogNote(std::string origin, std::string detail);
  void LogError(std::string origin, std::string detail, DWORD code);

 private:
  void Append(const std::string& first, const std::string& second);
  void Close();

  CCrtFile m_file;
};

// Header and footer of a run log.
std::string RunLogHeader(const SYSTEMTIME& now);
std::string RunLogFooter();

// The log directory of the run (kept after the first successful GetTempPathA),
// copied into a 260-character buffer; empty when it could not be found.
void GetRunLogDir(char* buffer);
// Log directory + "VtCvScrubber.log".
std::string RunLogPath();

// The log switch, read at every log operation. The main window registers its
// m_bLogFileOn here while it exists; with none registered logging is on.
void SetLogSwitch(const int* mainWindowLogFileOn);
bool IsLogFileOn();

// Resets the run-wide state of the log (the kept log directory). The switch
// is the main window's: it registers and unregisters it itself.
void ResetRunLogState();
