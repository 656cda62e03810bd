// Machine images: a folder with machine.json, registry.reg and drives/X/.
#pragma once

#include <string>

#include "sim/machine.h"

namespace sim {

// Loads the image in `dir` into `m` (a fresh Machine). Nothing the image
// lacks is created. On failure `error` gets one line naming the file and
// what is wrong: "machine.json line L: …", "machine.json: field X: …",
// "registry.reg line N: …" or "drives/C/…: …".
bool LoadImage(const std::string& dir, Machine& m, std::string* error);

// Writes the changes of a run back to the image: registry.reg when the
// registry changed, machine.json when its content changed (key order kept);
// each through a temporary file and a rename, so a file is never left half
// written.
bool SaveImage(Machine& m, std::string* error);

// Brings the file flags and short names of `m` into m.json (SaveImage does
// this first; tests may call it to look at the result).
void SyncMachineJson(Machine& m);

}  // namespace sim
