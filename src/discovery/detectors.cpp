#include "discovery/detectors.h"

#include "discovery/detection.h"
#include "platform/ansi_text.h"

namespace {

constexpr DWORD kProbeBuffer = 1024;
constexpr DWORD kCorvusMProbeBuffer = 512;

const char kSharedInstallKey[] = "Software\\Vantrel\\VTAiO07\\Install";
const char kUninstallRoot[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

struct PhotoDeskModel {
  int code;
  const char* key;
  const char* productCode;
  bool sharedEntry;  // listed under the "TRX 5000 Series" uninstall entry too
};

const PhotoDeskModel kPhotoDeskModels[] = {
    {kModelTRX5100, "SOFTWARE\\Vantrel\\PhotoDesk\\vt trx 5100 series",
     "{28ABC70E-91EF-A4C9-C665-284CB0F07586}", true},
    {kModelTRX5150, "SOFTWARE\\Vantrel\\PhotoDesk\\vt trx 5150 series",
     "{926F223D-39FC-EC50-0401-863FAE3B3141}", true},
    {kModelTRX5170, "SOFTWARE\\Vantrel\\PhotoDesk\\vt trx 5170 series",
     "{340EE74D-7CAF-35F7-B606-ECDD74316C01}", true},
    {kModelTRX5200, "SOFTWARE\\Vantrel\\PhotoDesk\\vt trx 5200 series",
     "{C0EECB0A-BA9A-BFEF-34D1-FD6322B23974}", true},
    {kModelCorvus8100, "SOFTWARE\\Vantrel\\PhotoDesk\\VT Corvus 8100 Series",
     "{5856A143-AF6F-E397-E005-F15B89428AB3}", true},
    {kModelCorvus7100, "SOFTWARE\\Vantrel\\PhotoDesk\\VT Corvus 7100 Series",
     "{15113725-9ADF-6342-C785-996483B5C617}", false},
    {kModelCorvus7105, "SOFTWARE\\Vantrel\\PhotoDesk\\VT Corvus 7105 Series",
     "{92C3331B-820A-CB23-53AA-7A603A1547B4}", false},
    {kModelTRX3100, "SOFTWARE\\Vantrel\\PhotoDesk\\vt trx 3100 series",
     "{F4EC9CAF-811B-FE27-1322-CA029B73D87E}", false},
    {kModelTRX3200, "SOFTWARE\\Vantrel\\PhotoDesk\\vt trx 3200 series",
     "{3A333976-2A9A-C12A-4312-8679B7706AB6}", false},
};

// The older generations reuse a directory already found in this run.
std::string ReportWithCachedDir(CFindAiOinReg& finder, int lookupCode, char* installDir,
                                const std::string& name) {
  if (InstallDirCache()[0] == '\0') finder.FindInstallDirectory(lookupCode);
  CopyPath(installDir, InstallDirCache());
  return name;
}

std::string DetectOlder(CFindAiOinReg& finder, int code, const char* key, const char* value,
                        char* installDir) {
  char probe[kProbeBuffer];
  if (!finder.IsInstalled(key, value, probe, sizeof probe)) return std::string();
  return ReportWithCachedDir(finder, code, installDir, ModelDisplayName(code));
}

std::string DetectSharedInstall(CFindAiOinReg& finder, int code, char* installDir) {
  char probe[kProbeBuffer];
  if (!finder.IsInstalled(kSharedInstallKey, "DefaultFriendlyName", probe, sizeof probe)) {
    return std::string();
  }
  if (lstrcmpiA(probe, ModelDisplayName(code)) != 0) return std::string();
  return ReportWithCachedDir(finder, code, installDir, ModelDisplayName(code));
}

// The Corvus M is named in its own install key or in the shared one; its
// directory is looked up from the key that named it (code 8 or code 2).
std::string DetectCorvusM(CFindAiOinReg& finder, char* installDir) {
  const std::string name = LowerText(ModelDisplayName(kModelCorvusM));
  char probe[kCorvusMProbeBuffer];
  int lookupCode = -1;
  if (finder.IsInstalled("Software\\Vantrel\\vt corvus m series\\Install", "CompanyDirPath", probe,
                         sizeof probe) &&
      LowerText(probe).find(name) != std::string::npos) {
    lookupCode = kModelCorvusMOwn;
  } else if (finder.IsInstalled(kSharedInstallKey, "DefaultFriendlyName", probe, sizeof probe) &&
             LowerText(probe).find(name) != std::string::npos) {
    lookupCode = kModelCorvusM;
  }
  if (lookupCode < 0) return std::string();
  return ReportWithCachedDir(finder, lookupCode, installDir, name);
}

std::string DetectPhotoDesk(CFindAiOinReg& finder, const PhotoDeskModel& model, char* installDir) {
  char probe[kProbeBuffer];
  if (!finder.IsInstalled(model.key, "BaselineDataFileName", probe, sizeof probe)) {
    return std::string();
  }
  // The cache keeps this model's directory even when its version is refused.
  finder.FindInstallDirectory(model.code);
  CopyPath(installDir, InstallDirCache());

  const std::string ownKey = std::string(kUninstallRoot) + model.productCode;
  const char* keys[2];
  const char* values[2];
  int count = 0;
  if (model.sharedEntry) {
    keys[count] = kSharedUninstallKey;
    values[count++] = "DisplayName";
  }
  keys[count] = ownKey.c_str();
  values[count++] = "DisplayVersion";
  g_nVersionCode = CheckUninstallVersion(finder, keys, values, count);
  if (g_nVersionCode == -1) return std::string();
  g_bPhotoDesk = 1;
  return ModelDisplayName(model.code);
}

}  // namespace

const int kDetectionOrder[17] = {
    kModelCorvus380, kModelCorvusR, kModelCorvusM,    kModelCorvusN,    kModelCorvusP,
    kModelTRX380,    kModelTRX420,  kModelCorvusW,    kModelTRX5100,    kModelTRX5150,
    kModelTRX5170,   kModelTRX5200, kModelCorvus8100, kModelCorvus7100, kModelCorvus7105,
    kModelTRX3100,   kModelTRX3200};

const char* PhotoDeskKey(int nDeviceModel) {
  for (const PhotoDeskModel& model : kPhotoDeskModels) {
    if (model.code == nDeviceModel) return model.key;
  }
  return nullptr;
}

std::string DetectModel(CFindAiOinReg& finder, int nDeviceModel, char* installDir) {
  switch (nDeviceModel) {
    case kModelCorvus380:
      return DetectOlder(finder, nDeviceModel, "Software\\Vantrel\\Corvus 380 Series\\Env",
                         "RootDir", installDir);
    case kModelCorvusR:
      return DetectOlder(finder, nDeviceModel, "Software\\Vantrel\\Corvus R Series\\Env", "RootDir",
                         installDir);
    case kModelCorvusM:
      return DetectCorvusM(finder, installDir);
    case kModelCorvusN:
    case kModelCorvusP:
    case kModelTRX380:
      return DetectSharedInstall(finder, nDeviceModel, installDir);
    case kModelTRX420:
      return DetectOlder(finder, nDeviceModel, "Software\\Vantrel\\vt trx 420 series\\Install",
                         "CompanyDirPath", installDir);
    case kModelCorvusW:
      return DetectOlder(finder, nDeviceModel, "Software\\Vantrel\\vt corvus w series\\Install",
                         "CompanyDirPath", installDir);
    default:
      for (const PhotoDeskModel& model : kPhotoDeskModels) {
        if (model.code == nDeviceModel) return DetectPhotoDesk(finder, model, installDir);
      }
      return std::string();
  }
}
