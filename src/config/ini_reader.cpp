// The control file's path, sections, version check and DAT paths.
#include "config/ini_reader.h"

#include <cstring>

#include "config/version_word.h"
#include "log/error_reports.h"
#include "log/run_log.h"
#include "platform/ansi_text.h"
#include "platform/crt_file.h"
#include "platform/format_text.h"
#include "resources/string_table.h"

namespace {

constexpr DWORD kPathBuffer = MAX_PATH;  // 260
const char kExpectedVersion[] = "2.03";

// A drive root ("C:\") already ends in the separator.
std::string JoinToDirectory(const std::string& dir, const std::string& name) {
  const bool driveRoot = dir.size() == 3 && dir[1] == ':' && dir[2] == '\\';
  return driveRoot ? dir + name : dir + "\\" + name;
}

void ShowVersionBox(const std::string& text) {
  MessageBoxA(nullptr, text.c_str(), LoadStr(IDS_MESSAGE_CAPTION), MB_OK | MB_ICONERROR);
}

}  // namespace

CGetDataFromINI::CGetDataFromINI() = default;

std::string CGetDataFromINI::GetINIPath() {
  if (m_bPathKnown && !m_sINIPath.empty()) return m_sINIPath;
  const std::string dir = CurrentDirectory();
  if (dir.empty()) return std::string();
  m_sINIPath = JoinToDirectory(dir, LoadStr(IDS_INI_FILE_NAME));
  m_bPathKnown = true;
  return m_sINIPath;
}

std::string CGetDataFromINI::GetSectionName(const std::string& device, int versionCode) {
  static const char* const kSuffixes[] = {"95 Files",  "98 Files",   "ME Files",
                                          "NT4 Files", "2000 Files", "XP Files"};
  std::string section = device + " -- ";
  if (versionCode >= 0 && versionCode <= 5) section += kSuffixes[versionCode];
  return section;
}

void CGetDataFromINI::SetCommonSection(const std::string& device) {
  // The name travels in a 260-character buffer: 259 characters at most.
  constexpr size_t kMax = kPathBuffer - 1;
  std::string name = device.substr(0, kMax);
  const size_t comma = name.find(',');
  if (comma != std::string::npos) name.erase(comma);
  name += " -- Common";
  if (name.size() > kMax) name.erase(kMax);
  m_sCommonSection = name;
}

bool CGetDataFromINI::FindAFile(const std::string& path) {
  const std::string szPath = path.substr(0, kPathBuffer - 1);
  const int err = CrtFindFirst(szPath);
  if (err == 0) return true;
  std::string detail;
  if (err == kErrnoNoEntry) {
    detail = FormatText(LoadStr(IDS_FINDFILE_ENOENT), szPath.c_str());
  } else if (err == kErrnoInvalid) {
    detail = FormatText(LoadStr(IDS_FINDFILE_EINVAL), szPath.c_str());
  } else {
    detail = FormatText("errno = %d", err);
  }
  CRunLog log;
  log.LogNote("CGetDataFromINI::FindAFile() -- _tfindfirst()", detail);
  return false;
}

bool CGetDataFromINI::CheckINIVersion() {
  if (!m_sVersionText.empty()) return true;
  const char* iniName = LoadStr(IDS_INI_FILE_NAME);
  CCrtFile file;
  if (!file.OpenRead(GetINIPath(), FILE_SHARE_READ)) {
    // The box shows the error of the failed open.
    SetLastError(file.LastError());
    ShowLastError(LoadStr(IDS_MESSAGE_CAPTION), FormatText(LoadStr(IDS_INI_OPEN_FAILED), iniName));
    return false;
  }
  std::string line;
  file.ReadWholeLine(line);
  if (file.ReadFailed()) {
    const DWORD code = file.LastError();
    file.Close();
    ShowSystemError(LoadStr(IDS_MESSAGE_CAPTION), code,
                    FormatText(LoadStr(IDS_INI_READ_FAILED), iniName));
    return false;
  }
  file.Close();
  const int start = FindVersionWord(line);
  if (start < 0) {
    ShowVersionBox(FormatText(LoadStr(IDS_INI_NO_VERSION), iniName));
    return false;
  }
  const std::string version = ReadVersionNumber(line, start);
  if (lstrcmpiA(version.c_str(), kExpectedVersion) == 0) {
    m_sVersionText = version;
    return true;
  }
  ShowVersionBox(
      FormatText(LoadStr(IDS_INI_VERSION_ERROR), iniName, version.c_str(), kExpectedVersion));
  return false;
}

std::string CGetDataFromINI::PathToUninstallFile(const std::string& device, int versionCode,
                                                 const std::string& keyName) {
  const std::string iniPath = GetINIPath();
  if (iniPath.empty()) return std::string();
  if (!FindAFile(iniPath)) {
    CRunLog log;
    log.LogNote("CGetDataFromINI::PathToUninstallFile() -- FindAFile()",
                FormatText(LoadStr(IDS_UNABLE_TO_FIND_FILE), iniPath.c_str()));
    return std::string();
  }
  if (!CheckINIVersion()) return std::string();
  m_sVersionSection = GetSectionName(device, versionCode);
  std::string value;
  if (!ReadText(m_sVersionSection, keyName.c_str(), kPathBuffer, value)) {
    ReportMissing("CGetDataFromINI::PathToUninstallFile() -- GetPrivateProfileString()",
                  m_sVersionSection, keyName);
    return std::string();
  }
  // The value names a file relative to the current directory.
  const std::string dir = CurrentDirectory();
  if (dir.empty()) return std::string();
  const std::string path = JoinToDirectory(dir, value);
  return FindAFile(path) ? path : std::string();
}
