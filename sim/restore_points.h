// System Restore of the simulated PC: whether srclient.dll is there, and the
// restore points, kept in machine.json "system_restore":
//   {"present": true, "enabled": true, "next_sequence": 18,
//    "points": [{"sequence": 17, "description": "...", "type": 1, "state": "ended"}]}
// Every field is optional. A point begun and not yet ended has state "begun";
// a cancelled one is gone, as System Restore drops it.
#pragma once

#include <string>

#include "platform/win32.h"

namespace sim {

class Machine;

// Whether LoadLibraryA finds srclient.dll: "system_restore.present", else as
// the version ships it (Windows ME and XP only).
bool HasSystemRestore(const Machine& m);

// What SRSetRestorePointA answers: its return value and STATEMGRSTATUS.
struct RestoreAnswer {
  BOOL ok = FALSE;
  DWORD status = 0;
  INT64 sequence = 0;
};

// One SRSetRestorePointA request on the PC's restore points: BEGIN_SYSTEM_CHANGE
// makes a point with the next number; END_SYSTEM_CHANGE ends the begun point
// of that number, or removes it for CANCELLED_OPERATION. A disabled System
// Restore answers ERROR_SERVICE_DISABLED, an unknown number or event
// ERROR_INVALID_DATA.
RestoreAnswer SetRestorePoint(Machine& m, DWORD eventType, DWORD pointType, INT64 sequence,
                              const std::string& description);

}  // namespace sim
