// The oracle of a run: everything that disappeared from the image (registry
// keys and values, files and folders, printers, drivers, ports, monitors,
// services, devices, installer products) must be named for the chosen device
// by the control file, its DAT lists and the fixed rules of the removal steps;
// a shared-DLL counter may only go down by one (or go away from 1).
//
// The allowed set is computed here from the image before the run, with a
// reader of its own: the oracle shares no code with the program, so a fault
// in the program's readers or erasers cannot hide itself. Where the rules
// depend on run-time discovery (the install, OCR and device-ID folders) a
// prefix stands for the folders where the list's own entries are found.
#pragma once

#include <string>
#include <vector>

#include "oracle/image_snapshot.h"

namespace oracle {

// One line per removal or change not allowed; empty when the run kept to the
// control data. `device` is the device name as the tree shows it
// ("VT TRX 5100 series, Photo Desk 1.10"). `runLog` is the run's log: a
// shared file whose counter was answered as missing (logged "* Not found: …"
// with code 2, e.g. by an injected fault) counts as not shared, so its
// removal is then no finding; any other failed read keeps the file.
std::vector<std::string> CheckRun(const ImageSnapshot& before, const ImageSnapshot& after,
                                  const std::string& device, const std::string& runLog = "");

// A host folder's files and their contents, to see that a run left it alone.
std::vector<std::string> ListTree(const std::string& dir);

}  // namespace oracle
