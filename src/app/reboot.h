// CReboot: obtains the right to shut Windows down and starts the restart.
#pragma once

#include "platform/win32.h"

class CReboot {
 public:
  // Prepares m_bCanReboot; failed privilege calls go to the run log.
  CReboot();
  ~CReboot();
  CReboot(const CReboot&) = delete;
  CReboot& operator=(const CReboot&) = delete;

  // Starts the restart, or asks the user to restart; the shutdown call's result.
  int RestartWindows();
  bool CanReboot() const { return m_bCanReboot != 0; }

 private:
  int m_bCanReboot = 0;
  HANDLE m_hToken = nullptr;  // the own process token (NT family only)
  int m_nWinVersion = -1;
};
