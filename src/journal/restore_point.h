// The restore point: with the control file's RestorePoint switch on, one
// System Restore point brackets the whole scrub on Windows ME and XP. It is
// begun before the first removal step and ended after the last one, or when
// the run stops early. It is never cancelled: System Restore would drop the
// point, and removal steps have run by then, so it is the way back to them.
// srclient.dll is loaded at run time: the other versions have none.
#pragma once

#include <string>

#include "platform/win32.h"

// The description System Restore shows: this text and the device name, cut
// to the structure's field.
constexpr char kRestorePointPrefix[] = "Removed ";

class CRestorePoint {
 public:
  // Begins the restore point for the device's removal and logs its number,
  // or why none was made. True when System Restore made one.
  bool Begin(const std::string& deviceName, int versionCode);
  // Ends the begun restore point (logged); nothing when none was begun.
  void End();
  // Ends the begun restore point of a run that stopped early (logged);
  // nothing when none was begun.
  void EndEarly();

  bool IsBegun() const { return m_bBegun; }
  INT64 Sequence() const { return m_llSequence; }

  // Forgets the restore point (the next run starts without one).
  void Reset();

 private:
  // Finishes the begun point with END_SYSTEM_CHANGE of this type; logs
  // `doneId` or `failedId`.
  void Finish(DWORD type, unsigned doneId, unsigned failedId);

  HMODULE m_hLibrary = nullptr;
  SRSetRestorePointFn m_pfnSet = nullptr;
  bool m_bBegun = false;
  INT64 m_llSequence = 0;
};

extern CRestorePoint g_RestorePoint;

// "Removed " and the name, cut to fit the 64-character field with its zero.
std::string RestorePointDescription(const std::string& deviceName);
