// The next start of Windows on a simulated PC: nothing is open any more (the
// in-use flags go), the NT family carries out its pending file renames, and
// the RunOnce commands of HKLM and then HKCU run, each value deleted before
// its command runs (after it when its name starts with "!"). Batch files run
// in the interpreter of the Windows family; other programs are not run.
// Faults of machine.json do not apply. Every step goes to `out` (UTF-8).
#pragma once

#include <ostream>
#include <string>

#include "sim/machine.h"

namespace sim {

// The directory a RunOnce command starts in: the system directory on the NT
// family (that of the logon shell), the Windows directory on the 9x family.
std::string RunOnceStartDirectory(const Machine& m);

// The whole of a file of the current Machine, read through the Windows calls;
// false with the Windows error when it cannot be opened.
bool ReadWholeFile(const std::string& path, std::string* content, DWORD* error);

// Starts Windows again on `m` (which must not be the current Machine of a
// ScopedMachine already).
void Reboot(Machine& m, std::ostream& out);

}  // namespace sim
