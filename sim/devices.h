// Plug-and-Play devices of the simulated PC: machine.json "devices" (the
// device manager's own state, in machine.json order) and whether
// "SetupApi.dll" and its functions exist (machine.json "setupapi").
#pragma once

#include <string>
#include <vector>

#include "platform/win32.h"
#include "sim/machine.h"

namespace sim {

// One device as a device information set holds it: a copy taken when the
// set was made, so a later change of the PC does not move its indices.
struct DeviceRecord {
  nlohmann::ordered_json source;  // the machine.json entry, to find it again
  std::string device_class;       // "" when the entry has none
  bool has_class = false;
  std::vector<std::string> hardware_ids;  // in the program's code page
  std::string description;
  bool has_description = false;
  GUID class_guid = {};
  bool has_class_guid = false;
  bool present = true;
  DWORD dev_inst = 0;    // the device node's number, as Windows hands one out
  bool removed = false;  // DIF_REMOVE took it off the PC
};

// The devices of the PC now, in machine.json order.
std::vector<DeviceRecord> CurrentDevices(const Machine& m);

// Takes the device off the PC: its machine.json entry (the first equal one)
// and, when it names one, its Enum registry key. False when it is no longer
// there.
bool RemoveDevice(Machine& m, const DeviceRecord& device);

// The class GUID Windows gives a setup class of that name ("Image",
// "Printer" …); false for a class this PC does not know.
bool KnownClassGuid(const std::string& className, GUID* guid);
// "{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}" -> GUID; false when malformed.
bool ParseGuid(const std::string& text, GUID* guid);
// GUID -> "{6bdd1fc6-810f-11d0-bec7-08002be2092f}" (lower case, as Windows
// writes a class GUID property).
std::string GuidText(const GUID& guid);
bool SameGuid(const GUID& a, const GUID& b);

// Whether LoadLibraryA finds "SetupApi.dll": machine.json "setupapi.present",
// else as the version ships (98, ME, 2000, XP: yes; 95 and NT 4: no).
bool HasSetupApi(const Machine& m);
// Whether GetProcAddress finds `function` in it (machine.json
// "setupapi.missing" lists the ones it lacks).
bool HasSetupApiFunction(const Machine& m, const std::string& function);

}  // namespace sim
