// GetDeviceIDDir: the folder in which the device software keeps the data of
// one device, named after the device's ten-digit ID.
#include <cstring>
#include <string>

#include "discovery/detection.h"
#include "discovery/detectors.h"
#include "discovery/finder_caches.h"
#include "log/run_log.h"
#include "platform/ansi_text.h"

namespace {

// The key whose subkeys are the device IDs; empty for a model without one.
std::string DeviceIDKey(int code) {
  switch (code) {
    case kModelTRX420:
      return "SOFTWARE\\Vantrel\\vt trx 420 series";
    case kModelCorvusW:
      return "SOFTWARE\\Vantrel\\vt corvus w series";
    case kModelCorvusMOwn:
      return "SOFTWARE\\Vantrel\\vt corvus m series";
    default: {
      const char* model = PhotoDeskKey(code);
      return model != nullptr ? std::string(model) + "\\DeviceInstances" : std::string();
    }
  }
}

bool IsDeviceID(const char* name) {
  if (std::strlen(name) != 10) return false;
  for (const char* p = name; *p; ++p) {
    if (*p < '0' || *p > '9') return false;
  }
  return true;
}

void EmptyAll(char* outDir, char* outID) {
  Caches().deviceIDDir[0] = '\0';
  outDir[0] = '\0';
  outID[0] = '\0';
}

}  // namespace

void CFindAiOinReg::GetDeviceIDDir(char* outDir, char* outID, int nDeviceModel) {
  if (Caches().deviceIDDir[0] != '\0') {
    CopyPath(outDir, Caches().deviceIDDir);
    return;
  }
  const std::string key = DeviceIDKey(nDeviceModel);
  if (key.empty()) return EmptyAll(outDir, outID);
  HKEY hKey = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS) {
    return EmptyAll(outDir, outID);
  }
  char deviceID[kPathBuffer] = {};
  LONG result = ERROR_SUCCESS;
  for (DWORD index = 0;; ++index) {
    char name[256] = {};
    DWORD size = sizeof name;
    result = RegEnumKeyExA(hKey, index, name, &size, nullptr, nullptr, nullptr, nullptr);
    if (result != ERROR_SUCCESS) break;
    name[sizeof name - 1] = '\0';
    if (IsDeviceID(name)) {
      CopyPath(deviceID, name);
      break;
    }
  }
  RegCloseKey(hKey);
  if (deviceID[0] == '\0') {
    CRunLog log;
    log.LogError("CFindAiOinReg::GetDeviceIDDir() -- if (bFoundIt == FALSE)",
                 ">>> Unable to find the VT device ID in the registry. \n\n",
                 static_cast<DWORD>(result));
    return EmptyAll(outDir, outID);
  }
  if (InstallDirCache()[0] == '\0') {
    CRunLog log;
    log.LogError("CFindAiOinReg::GetDeviceIDDir() -- if(sVTInstallDir == TEXT(\"\"))",
                 ">>> Unable to find the VT device ID directory. \n\n", 0);
    return EmptyAll(outDir, outID);
  }
  std::string dir = InstallDirCache();
  if (dir.back() != '\\') dir += '\\';
  dir = LowerText(dir);
  dir += IsPhotoDeskModel(nDeviceModel) ? "Photo Desk\\" : "AiO\\";
  dir += ModelDisplayName(nDeviceModel);
  dir += '\\';
  dir += deviceID;
  CopyPath(Caches().deviceIDDir, dir.c_str());
  CopyPath(outDir, Caches().deviceIDDir);
  CopyPath(outID, deviceID);
}
