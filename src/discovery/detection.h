// Supported device models, their detection flags and installed-device detection.
#pragma once

#include <string>

#include "discovery/find_aio_in_reg.h"

class CCvScrubberDlg;

// Device model codes (17 is not a model).
enum DeviceModel : int {
  kModelCorvus380 = 0,
  kModelCorvusR = 1,
  kModelCorvusM = 2,
  kModelCorvusN = 3,
  kModelCorvusP = 4,
  kModelTRX380 = 5,
  kModelTRX420 = 6,
  kModelCorvusW = 7,
  kModelCorvusMOwn = 8,  // shares the Corvus M flag
  kModelTRX5100 = 9,
  kModelTRX5150 = 10,
  kModelTRX5200 = 11,
  kModelCorvus8100 = 12,
  kModelCorvus7100 = 13,
  kModelTRX3200 = 14,
  kModelTRX5170 = 15,
  kModelTRX3100 = 16,
  kModelCorvus7105 = 18,
};
constexpr int kLastModelCode = 18;

// The detection flag of a model code; false for 17 and codes out of range.
bool IsModelDetected(int code);
// Sets a model's flag (Corvus M's two codes share one); ignored for 17 and out of range.
void SetModelDetected(int code, bool detected);
bool AnyModelDetected();
// True for the Photo Desk generation: codes 9 to 16 and 18.
bool IsPhotoDeskModel(int code);
// The main window's family flag of a model: Env for the Corvus 380 and R, Shared
// for codes 2 to 5, Own for the TRX 420, the Corvus W and every Photo Desk model.
int& FamilyFlag(CCvScrubberDlg& dlg, int code);
// The model's display name ("VT Corvus R series" ...); empty for 17 and out of range.
const char* ModelDisplayName(int code);

// Run-wide detection results.
extern int g_bPhotoDesk;
extern int g_nVersionCode;
extern int g_bSeveralDevices;

// Clears all 17 model flags, g_bPhotoDesk, g_bSeveralDevices; g_nVersionCode -1.
void ResetDetectionState();

// Finds the installed devices, filling the main window's detected-device list
// and the flags, then the fixed directories; true when at least one was found.
bool DetectInstalledDevices(CCvScrubberDlg& dlg);

// The uninstall entry shared by the older Photo Desk models ("TRX 5000 Series").
extern const char kSharedUninstallKey[];

// The Photo Desk version check over parallel lists of uninstall subkeys and
// value names: -1 unsupported or not found, 0 the shared "TRX 5000 Series"
// entry, 1 version "1.00", 2 version "1.10". Probes through finder, whose
// caches it leaves alone.
int CheckUninstallVersion(CFindAiOinReg& finder, const char* const* subKeys,
                          const char* const* valueNames, int count);
