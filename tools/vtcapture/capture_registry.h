// registry.reg of the image: the parts of the registry the program reads,
// opened read-only, written under the names the image uses.
#pragma once

#include <string>

#include "tools/vtcapture/progress.h"

namespace vtcapture {

struct RegistryCaptureResult {
  bool written = false;
  unsigned long keys = 0;
  unsigned long unreadable = 0;  // keys listed but refused to this user (kept empty)
};

// NT_FAMILY: the control set is written as SYSTEM\ControlSetNNN with a
// SYSTEM\Select naming it, as the image keeps NT's registry; on 9x
// System\CurrentControlSet is a key of its own.
RegistryCaptureResult CaptureRegistry(const std::string& outPath, bool ntFamily,
                                      Progress& progress);

}  // namespace vtcapture
