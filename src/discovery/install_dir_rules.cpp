#include "discovery/install_dir_rules.h"

#include "discovery/detection.h"
#include "platform/ansi_text.h"

std::string InstallDirNameCut(const std::string& value, const char* displayName) {
  const std::string upperValue = UpperText(value);
  const std::string upperName = UpperText(displayName != nullptr ? displayName : "");
  if (upperName.empty()) return value;
  const size_t p = upperValue.find(upperName);
  if (p == std::string::npos) return value;
  if (p == 0) return std::string();
  size_t keep = p;
  if (value[p - 1] == '\\') --keep;
  return value.substr(0, keep);
}

std::string InstallDirSuffixRules(const std::string& value, int nDeviceModel) {
  std::string withSlash = value;
  if (withSlash.empty() || withSlash.back() != '\\') withSlash += '\\';
  const std::string upper = UpperText(withSlash);

  const size_t aio = upper.find("\\AIO\\");
  if (aio != std::string::npos && aio != 0) return upper.substr(0, aio);
  if (EndsWith(upper, "\\AIO\\SHARED\\BIN\\")) {
    std::string result = withSlash.substr(0, withSlash.size() - 11);  // ends in "\AIO\"
    // Only the TRX 420 and the Corvus W keep their folder under "\AIO\"; no
    // doubled backslash for the others.
    if (nDeviceModel == kModelTRX420 || nDeviceModel == kModelCorvusW) {
      result += ModelDisplayName(nDeviceModel);
      result += '\\';
    }
    return result;
  }
  if (EndsWith(upper, "\\SHARED\\BIN\\")) return withSlash.substr(0, withSlash.size() - 11);
  if (EndsWith(upper, "\\BIN\\")) return withSlash.substr(0, withSlash.size() - 4);
  return value;
}

std::string HandOverInstallDir(const std::string& dir) {
  if (dir.empty()) return dir;
  std::string text = dir;
  if (text.back() == '\\') text.pop_back();
  text = UpperText(text);
  for (const char* tail : {"\\AIO\\SHARED\\BIN", "\\SHARED\\BIN", "\\BIN"}) {
    if (EndsWith(text, tail)) {
      text.resize(text.size() - std::string(tail).size());
      break;
    }
  }
  return text;
}

std::string WithoutStartup(const std::string& dir) {
  static const std::string kStartup = "\\Startup";
  if (EndsWith(dir, kStartup)) return dir.substr(0, dir.size() - kStartup.size());
  return dir;
}
