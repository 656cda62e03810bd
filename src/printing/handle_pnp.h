// The printing system's removal: installer packages, printers, drivers,
// services, ports, monitors and device classes.
#pragma once

#include <string>

#include "config/string_list.h"
#include "platform/win32.h"

// 0 when the spooler knows no local printer, 1 when the safe flag stopped it
// after the printers, otherwise the result of the class step.
int VTDeletePnP(const std::string& devIDname, const std::string& devIDfax,
                const CStringArray& pnpIDs, const CStringArray& knownClasses,
                const CStringArray& monitors, const CStringArray& services,
                const CStringArray& msiPacks, DWORD timeoutMs, int safeFlag, int versionCode);

// Deletes the ports of the list whose names contain "DOT4": 1 when all went,
// 0 at the first that could not be deleted (later ones are not tried).
int DeleteVTPort(const CStringArray& ports);

// Deletes the installed monitors the list names: 1 when the list was handled
// (or is empty), 0 when the spooler reported no monitors.
int VTDeleteMonitors(const CStringArray& monitors);

// Runs the installer's removal of each installed package; always 1.
int MsiPackageDelete(const CStringArray& packageCodes, DWORD timeoutMs);

// Stops and deletes the services; an empty computer name means this PC.
void DeleteServices(const CStringArray& services, const std::string& computerName);

// Removes the devices of each class whose first hardware ID holds one of the
// Plug-and-Play IDs: 1 when every class was handled, 0 when one could not be.
int DeletePnPClasses(const CStringArray& classes, const CStringArray& pnpIDs);
int DeletePnPClass(const std::string& className, const CStringArray& pnpIDs);
