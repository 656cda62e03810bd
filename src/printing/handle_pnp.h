// The printing system's removal: installer packages, printers, drivers,
// services, ports, monitors and device classes.
#pragma once

#include <string>

#include "config/string_list.h"
#include "platform/win32.h"

// 0 when the spooler knows no local printer, 1 when the safe flag stopped it
// after the printers, otherwise the result of the last stage.
int VTDeletePnP(const std::string& devIDname, const std::string& devIDfax,
                const CStringArray& pnpIDs, const CStringArray& knownClasses,
                const CStringArray& monitors, const CStringArray& services,
                const CStringArray& msiPacks, DWORD timeoutMs, int safeFlag, int versionCode);
