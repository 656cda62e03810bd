// Plug-and-Play tag expansion: "$pnp$" in a key path or value name becomes
// the first ID of the control file's PnP list that the registry holds.
#include <functional>

#include "app/run_state.h"
#include "log/run_log.h"
#include "platform/ansi_text.h"
#include "platform/format_text.h"
#include "registry/erase_reg_data.h"
#include "resources/string_table.h"

std::string g_szPnPtext;

namespace {

const char kTag[] = "$pnp$";
constexpr size_t kTagLength = sizeof(kTag) - 1;
constexpr DWORD kNameBuffer = 260;

void Note(const std::string& origin, const std::string& detail) {
  CRunLog log;
  log.LogNote(origin, detail);
}

std::string KeyText(unsigned id, HKEY hive, const std::string& path) {
  return FormatText(LoadStr(id), HiveName(hive).c_str(), path.c_str());
}

// Sets g_szPnPtext from the first enumerated name that contains an ID.
bool SeekIDText(HKEY hive, const std::string& path, const char* origin,
                const std::function<LONG(HKEY, DWORD, char*, DWORD*)>& enumerate) {
  HKEY key = nullptr;
  LONG rc = RegOpenKeyExA(hive, path.c_str(), 0, KEY_READ, &key);
  if (rc != ERROR_SUCCESS) {
    CRunLog log;
    log.LogError(origin, "Key = '" + HiveName(hive) + "\\" + path + "' \n", static_cast<DWORD>(rc));
    return false;
  }
  bool found = false;
  char name[kNameBuffer];
  for (DWORD index = 0; !found; ++index) {
    DWORD size = kNameBuffer;
    if (enumerate(key, index, name, &size) != ERROR_SUCCESS) break;
    const std::string lowered = LowerText(std::string(name, size < kNameBuffer ? size : 0));
    for (const std::string& id : g_RemovalData.PnP) {
      // An empty ID would be found in every name and leave the text empty.
      if (id.empty() || lowered.find(LowerText(id)) == std::string::npos) continue;
      g_szPnPtext = id;
      found = true;
      break;
    }
  }
  RegCloseKey(key);
  return found;
}

}  // namespace

bool CEraseRegData::SeekRegPnPIDtext(HKEY hive, const std::string& parent) {
  return SeekIDText(hive, parent, "CEraseRegData::SeekRegPnPIDtext() -- RegOpenKeyEx()",
                    [](HKEY key, DWORD index, char* name, DWORD* size) {
                      return RegEnumKeyExA(key, index, name, size, nullptr, nullptr, nullptr,
                                           nullptr);
                    });
}

bool CEraseRegData::SeekValuePnPIDtext(HKEY hive, const std::string& keyPath) {
  return SeekIDText(hive, keyPath, "CEraseRegData::SeekValuePnPIDtext() -- RegOpenKeyEx()",
                    [](HKEY key, DWORD index, char* name, DWORD* size) {
                      return RegEnumValueA(key, index, name, size, nullptr, nullptr, nullptr,
                                           nullptr);
                    });
}

bool CEraseRegData::PnPKeyManipulation(HKEY hive, std::string& keyPath, size_t capacity) {
  keyPath = LowerText(keyPath);
  const size_t tag = keyPath.find(kTag);
  if (tag == std::string::npos) return true;
  if (tag == 0) {
    Note("CEraseRegData::PnPKeyManipulation() -- cTagStart <= 0",
         KeyText(IDS_PNP_TAG_FIRST_KEY, hive, keyPath));
    return false;
  }
  const std::string before = keyPath.substr(0, tag);
  const std::string after = keyPath.substr(tag + kTagLength);
  const size_t revIdx = before.rfind('\\');
  if (revIdx == std::string::npos || revIdx == 0) {
    Note("CEraseRegData::PnPKeyManipulation() -- iRevIdx <= 0",
         KeyText(IDS_PNP_TAG_FIRST_KEY, hive, keyPath));
    return false;
  }
  const std::string parent = before.substr(0, revIdx);
  if (g_szPnPtext.empty()) SeekRegPnPIDtext(hive, parent);
  if (g_szPnPtext.empty()) {
    Note("CEraseRegData::PnPKeyManipulation() -- g_szPnPtext[0] == (TCHAR) 0",
         KeyText(IDS_PNP_NOT_FOUND, hive, parent));
    return false;
  }
  // Texts around the tag that would not fit their buffers are refused whole:
  // a cut text names another key.
  const bool partsFit = before.size() < kTagPartBuffer && after.size() < kTagPartBuffer;
  if (!partsFit || before.size() + g_szPnPtext.size() + after.size() + 2 >= capacity) {
    Note("CEraseRegData::PnPKeyManipulation() -- cSizeBufNeeded >= cKeyBufSize",
         KeyText(IDS_PNP_BUFFER_TOO_SMALL, hive, keyPath));
    return false;
  }
  keyPath = before + g_szPnPtext + after;
  return true;
}

bool CEraseRegData::PnPValueManipulation(HKEY hive, const std::string& keyPath,
                                         std::string& valueName, size_t capacity) {
  valueName = LowerText(valueName);
  const size_t tag = valueName.find(kTag);
  if (tag == std::string::npos) return true;
  const std::string before = valueName.substr(0, tag);
  const std::string after = valueName.substr(tag + kTagLength);
  if (g_szPnPtext.empty()) SeekValuePnPIDtext(hive, keyPath);
  if (g_szPnPtext.empty()) {
    Note("CEraseRegData::PnPValueManipulation() -- g_szPnPtext[0] ==(TCHAR) 0",
         KeyText(IDS_PNP_NOT_FOUND, hive, keyPath));
    return false;
  }
  const bool partsFit = before.size() < kTagPartBuffer && after.size() < kTagPartBuffer;
  if (!partsFit || before.size() + g_szPnPtext.size() + after.size() >= capacity) {
    Note("CEraseRegData::PnPValueManipulation() -- cSizeBufNeeded >= cKeyBufSize",
         KeyText(IDS_PNP_BUFFER_TOO_SMALL, hive, keyPath));
    return false;
  }
  valueName = before + g_szPnPtext + after;
  return true;
}
