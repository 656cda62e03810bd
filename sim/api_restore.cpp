// SRSetRestorePointA of srclient.dll (Windows ME and XP), over the restore
// points of sim/restore_points.h. GetProcAddress hands it out; LoadLibraryA
// finds the library only where sim::HasSystemRestore says so.
#include <cstring>
#include <string>

#include "platform/win32.h"
#include "sim/machine.h"
#include "sim/restore_points.h"

BOOL WINAPI SRSetRestorePointA(PRESTOREPOINTINFOA pRestorePtSpec, PSTATEMGRSTATUS pSMgrStatus) {
  sim::Machine& m = sim::CurrentOrDie();
  if (!pRestorePtSpec || !pSMgrStatus) return sim::Fail(m, ERROR_INVALID_PARAMETER, FALSE);
  // The description need not end in a zero within its field.
  const char* text = pRestorePtSpec->szDescription;
  const size_t field = sizeof pRestorePtSpec->szDescription;
  const void* end = std::memchr(text, '\0', field);
  const std::string description(text, end ? static_cast<const char*>(end) - text : field);
  sim::RestoreAnswer answer;
  if (DWORD e = m.faults.Check("SRSetRestorePointA", "", "", description)) {
    answer.status = e;
  } else {
    answer = sim::SetRestorePoint(m, pRestorePtSpec->dwEventType, pRestorePtSpec->dwRestorePtType,
                                  pRestorePtSpec->llSequenceNumber, description);
  }
  pSMgrStatus->nStatus = answer.status;
  pSMgrStatus->llSequenceNumber = answer.sequence;
  // System Restore reports a failure in nStatus and as the last error.
  if (!answer.ok) return sim::Fail(m, answer.status, FALSE);
  return TRUE;
}
