// The renames and deletions Windows of the NT family carries out at its next
// start, before any program runs: the value PendingFileRenameOperations of
// HKLM\SYSTEM\CurrentControlSet\Control\Session Manager (REG_MULTI_SZ pairs of
// "\??\C:\src" and "" to delete, "\??\C:\dst" to move, "!\??\C:\dst" to move
// replacing what is there). The value is deleted once they have run.
#pragma once

#include <ostream>

#include "sim/machine.h"

namespace sim {

// Carries out the pending operations on `m` (the current Machine), one
// "[pending] ..." line each on `out`. Returns how many there were.
size_t CarryOutPendingRenames(Machine& m, std::ostream& out);

}  // namespace sim
