// SetModelFromName: a device chosen by name, not detected, is treated as
// the model its name names.
#include "app/main_window.h"
#include "discovery/detection.h"
#include "discovery/directories.h"
#include "discovery/discovery_text.h"

namespace {

enum Family { kOwn, kShared };

struct NameRow {
  const char* text;
  int model;
  Family family;
  bool photoDesk;
};

// Tested in this order; the first match wins. A TRX 3000 is filed under the TRX 5170.
const NameRow kNameRows[] = {
    {"TRX 3000", kModelTRX5170, kOwn, true},       {"7105 SERIES", kModelCorvus7105, kOwn, true},
    {"TRX 5170", kModelTRX5170, kOwn, true},       {"TRX 3200", kModelTRX3200, kOwn, true},
    {"7100 SERIES", kModelCorvus7100, kOwn, true}, {"8100 SERIES", kModelCorvus8100, kOwn, true},
    {"TRX 5100", kModelTRX5100, kOwn, true},       {"TRX 5150", kModelTRX5150, kOwn, true},
    {"TRX 5200", kModelTRX5200, kOwn, true},       {"TRX 420", kModelTRX420, kOwn, false},
    {"W SERIES", kModelCorvusW, kOwn, false},      {"P SERIES", kModelCorvusP, kShared, false},
    {"M SERIES", kModelCorvusM, kShared, false},   {"N SERIES", kModelCorvusN, kShared, false},
    {"TRX 380", kModelTRX380, kShared, false},
};

}  // namespace

void SetModelFromName(const std::string& deviceName) {
  const std::string upper = UpperText(deviceName.substr(0, 259));
  for (const NameRow& row : kNameRows) {
    if (upper.find(row.text) == std::string::npos) continue;
    SetModelDetected(row.model, true);
    if (CCvScrubberDlg* dlg = TheMainWindow()) {
      (row.family == kOwn ? dlg->m_bOwnFamily : dlg->m_bSharedFamily) = 1;
    }
    if (row.photoDesk) g_bPhotoDesk = 1;
    return;
  }
}
