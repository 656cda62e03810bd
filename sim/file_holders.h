// What keeps a file or folder from being deleted, renamed or moved: another
// process using it (machine.json "in_use"), this process's open handles, and
// the current directory, which the process holds open.
#pragma once

#include <string>

#include "platform/win32.h"
#include "sim/machine.h"

namespace sim {

// The item itself is held so that it cannot be deleted or renamed: in use,
// open without FILE_SHARE_DELETE, or (a folder) the current directory.
bool ItemHeld(Machine& m, const std::string& full);
// Something strictly below the folder is in use, open, or the current
// directory: Windows refuses to rename or move such a folder.
bool SomethingBelowHeld(Machine& m, const std::string& folderFull);
// The item is open at all (with any sharing).
bool ItemOpen(Machine& m, const std::string& full);

}  // namespace sim
