// Registry export files (.reg): the registry.reg of a machine image.
//
// Reading accepts "REGEDIT4" (8-bit in the code page) and "Windows Registry
// Editor Version 5.00" (UTF-16LE with BOM, or UTF-8): key lines
// [HKEY_...\path] (full hive names or HKLM-style codes; [-key] deletes a
// tree), values "name"="text" with \\ and \" escapes, @= for the default
// value, dword:, hex:, hex(n): with "\" continuation lines, "name"=- to
// delete, blank lines and ";" comments. Keys under CurrentControlSet go to
// the control set HKLM\SYSTEM\Select "Current" names (NT family); keys of
// HKCR, HKCU and HKCC go to the keys those views stand for.
//
// Writing gives the format the file was read in (Registry::file_format):
// "REGEDIT4" 8-bit, or for a Unicode file regedit's version 5 in UTF-16LE
// with BOM (string data as hex(2)/hex(7) of UTF-16LE, names and text the
// code page lacks as they were read). Both with CR LF, keys depth-first in
// the order RegEnumKeyExA lists them (sorted on NT, creation order on 9x),
// values in their own order ("@" where it stands), long hex data wrapped as
// regedit wraps it. Reading what was written and writing again gives the
// same bytes.
#pragma once

#include <string>

#include "sim/registry.h"

namespace sim {

// Adds the file's keys and values to `registry` and records its format.
// Loading does not change registry.dirty. On failure `error` gets "line N: what is wrong" and the
// registry holds what was read before the bad line.
bool ReadRegFile(const std::string& bytes, Registry& registry, std::string* error);

std::string WriteRegFile(const Registry& registry);

}  // namespace sim
