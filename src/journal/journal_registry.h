// The registry half of the undo journal: what a removal step is about to
// delete from the registry is first written to the journal's Undo.reg as
// REGEDIT4 (ANSI, CR LF), the form regedit /s reads on every Windows from 95
// to XP. Each call answers whether the step may go on: true when the journal
// is off, when the backup was written, or when there is nothing to back up
// (the key or value is already gone: the step then logs as it always does);
// false when the key or value could not be read whole or its entry could not
// be written, which is logged, and then the entry must not be removed.
#pragma once

#include <string>

#include "platform/win32.h"

// Before root\subKey is deleted with all its subkeys: every key of the tree
// with all its values, parents before their subkeys.
bool JournalKey(HKEY root, const std::string& subKey);

// Before a value is deleted, or changed by the step (a lowered shared-DLL
// count, a cleared setting): its present data, so the restore sets it back.
bool JournalValue(HKEY root, const std::string& subKey, const std::string& valueName);

// The REGEDIT4 forms, one entry each with its CR LF.
// "[HKEY_LOCAL_MACHINE\path]"; empty root name for a handle that is no hive.
std::string RegEditRootName(HKEY root);
std::string RegEditKeyLine(HKEY root, const std::string& subKey);
// "name"="text", @=..., dword:xxxxxxxx, hex:.. or hex(N):.., long hex data
// wrapped with "\" continuation lines as regedit writes them.
std::string RegEditValueLine(const std::string& name, DWORD type, const std::string& data);
