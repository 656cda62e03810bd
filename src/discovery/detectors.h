// One detector per detectable model: the registry probe that tells whether
// the model's software is installed, and where.
#pragma once

#include <string>

#include "discovery/find_aio_in_reg.h"

// Model codes in the order detection runs their detectors.
extern const int kDetectionOrder[17];

// The model's display name when its software is installed, with the install
// directory in installDir (260 bytes); the empty text otherwise. The
// Corvus M's name comes back in lower case, as its probe compares it.
std::string DetectModel(CFindAiOinReg& finder, int nDeviceModel, char* installDir);

// The HKEY_LOCAL_MACHINE key of a Photo Desk model ("SOFTWARE\Vantrel\PhotoDesk\..."),
// or nullptr for any other code.
const char* PhotoDeskKey(int nDeviceModel);
