// SetModelFromName: a device chosen by name, not detected, is treated as
// the model its name names.
#include "app/main_window.h"
#include "discovery/detection.h"
#include "discovery/directories.h"
#include "platform/ansi_text.h"

namespace {

struct NameRow {
  const char* text;
  int model;
};

// Tested in this order; the first match wins. A TRX 3000 is filed under the TRX 5170.
const NameRow kNameRows[] = {
    {"TRX 3000", kModelTRX5170},       {"7105 SERIES", kModelCorvus7105},
    {"TRX 5170", kModelTRX5170},       {"TRX 3200", kModelTRX3200},
    {"7100 SERIES", kModelCorvus7100}, {"8100 SERIES", kModelCorvus8100},
    {"TRX 5100", kModelTRX5100},       {"TRX 5150", kModelTRX5150},
    {"TRX 5200", kModelTRX5200},       {"TRX 420", kModelTRX420},
    {"W SERIES", kModelCorvusW},       {"P SERIES", kModelCorvusP},
    {"M SERIES", kModelCorvusM},       {"N SERIES", kModelCorvusN},
    {"TRX 380", kModelTRX380},
};

}  // namespace

void SetModelFromName(const std::string& deviceName) {
  const std::string upper = UpperText(deviceName.substr(0, 259));
  for (const NameRow& row : kNameRows) {
    if (upper.find(row.text) == std::string::npos) continue;
    SetModelDetected(row.model, true);
    if (CCvScrubberDlg* dlg = TheMainWindow()) FamilyFlag(*dlg, row.model) = 1;
    if (IsPhotoDeskModel(row.model)) g_bPhotoDesk = 1;
    return;
  }
}
