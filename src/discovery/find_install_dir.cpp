// FindInstallDirectory: the install directory of a model code, from the key
// its installer wrote, or the control file's default when the registry has none.
#include <string>

#include "app/run_state.h"
#include "discovery/detection.h"
#include "discovery/finder_caches.h"
#include "discovery/install_dir_rules.h"
#include "discovery/search_registry.h"
#include "log/run_log.h"
#include "platform/format_text.h"

namespace {

struct InstallDirSource {
  const char* subKey;
  const char* valueName;
  bool nameCut;  // false: suffix rules
};

// Indexed by model code; 17 has no entry.
bool SourceOf(int code, InstallDirSource* source) {
  static const char kPhotoDesk[] = "Software\\Vantrel\\PhotoDesk";
  switch (code) {
    case kModelCorvus380:
      *source = {"Software\\Vantrel\\Corvus 380 Series\\Env", "RootDir", false};
      return true;
    case kModelCorvusR:
      *source = {"Software\\Vantrel\\Corvus R Series\\Env", "RootDir", false};
      return true;
    case kModelCorvusM:
    case kModelCorvusN:
    case kModelCorvusP:
    case kModelTRX380:
      *source = {"Software\\Vantrel\\VTAiO07", "ProgramDir", true};
      return true;
    case kModelTRX420:
      *source = {"Software\\Vantrel\\vt trx 420 series", "ProgramDir", false};
      return true;
    case kModelCorvusW:
      *source = {"Software\\Vantrel\\vt corvus w series", "ProgramDir", false};
      return true;
    case kModelCorvusMOwn:
      *source = {"Software\\Vantrel\\vt corvus m series\\Install", "CompanyDirPath", false};
      return true;
    case kModelTRX5200:
      *source = {kPhotoDesk, "InstallFolder", true};
      return true;
    case kModelTRX5100:
    case kModelTRX5150:
    case kModelCorvus8100:
    case kModelCorvus7100:
    case kModelTRX3200:
    case kModelTRX5170:
    case kModelTRX3100:
    case kModelCorvus7105:
      *source = {kPhotoDesk, "InstallFolder", false};
      return true;
    default:
      return false;
  }
}

}  // namespace

bool CFindAiOinReg::FindInstallDirectory(int nDeviceModel) {
  InstallDirSource source;
  if (!SourceOf(nDeviceModel, &source)) {
    CRunLog log;
    log.LogNote(
        FormatText("CFindAiOinReg::FindInstallDirectory() -- nDeviceModel = %d", nDeviceModel),
        FormatText("FindInstallDirectory() received an invalid AiO model code\ncode = %d.",
                   nDeviceModel));
    return false;
  }
  char* cache = Caches().installDir;
  CSearchRegistry registry;
  char value[kPathBuffer];
  // Missing key, missing, empty or too long value: the control file's default.
  if (!registry.OpenKey(source.subKey) ||
      !registry.ReadValue(source.valueName, value, sizeof value)) {
    CopyPath(cache, g_sDefaultVTDir.c_str());
    return true;
  }
  const std::string dir = source.nameCut ? InstallDirNameCut(value, ModelDisplayName(nDeviceModel))
                                         : InstallDirSuffixRules(value, nDeviceModel);
  CopyPath(cache, dir.c_str());
  return true;
}
