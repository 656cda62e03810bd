#include "discovery/detection.h"

namespace {

// One flag per detectable model, indexed by model code (8 maps onto 2).
bool g_abModelDetected[kLastModelCode + 1] = {};

int FlagIndex(int code) {
  if (code < 0 || code > kLastModelCode || code == 17) return -1;
  return code == kModelCorvusMOwn ? kModelCorvusM : code;
}

}  // namespace

int g_bPhotoDesk = 0;
int g_nVersionCode = -1;
int g_bSeveralDevices = 0;

bool IsModelDetected(int code) {
  const int i = FlagIndex(code);
  return i >= 0 && g_abModelDetected[i];
}

void SetModelDetected(int code, bool detected) {
  const int i = FlagIndex(code);
  if (i >= 0) g_abModelDetected[i] = detected;
}

bool AnyModelDetected() {
  for (bool flag : g_abModelDetected) {
    if (flag) return true;
  }
  return false;
}

const char* ModelDisplayName(int code) {
  static const char* const kNames[kLastModelCode + 1] = {
      "VT Corvus 380 series",  "VT Corvus R series",    "VT Corvus M series",
      "VT Corvus N series",    "VT Corvus P series",    "VT TRX 380 series",
      "VT TRX 420 series",     "VT Corvus W series",    "VT Corvus M series",
      "VT TRX 5100 series",    "VT TRX 5150 series",    "VT TRX 5200 series",
      "VT Corvus 8100 series", "VT Corvus 7100 series", "VT TRX 3200 series",
      "VT TRX 5170 series",    "VT TRX 3100 series",    "",
      "VT Corvus 7105 series"};
  if (code < 0 || code > kLastModelCode) return "";
  return kNames[code];
}

void ResetDetectionState() {
  for (bool& flag : g_abModelDetected) flag = false;
  g_bPhotoDesk = 0;
  g_nVersionCode = -1;
  g_bSeveralDevices = 0;
}

// Placeholder until installed-device detection is built: finds nothing.
bool DetectInstalledDevices(CCvScrubberDlg&) { return false; }

// Placeholder until the directory caches are built.
CFindAiOinReg::CFindAiOinReg() = default;

// Placeholder: accepts the valid codes, finds no directory.
bool CFindAiOinReg::FindInstallDirectory(int nDeviceModel) {
  return nDeviceModel >= 0 && nDeviceModel <= kLastModelCode && nDeviceModel != 17;
}
