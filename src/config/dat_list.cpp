// DAT list files: comments, white space and directory prefixes.
#include "config/dat_list.h"

#include <cstring>
#include <new>

#include "log/error_reports.h"
#include "log/run_log.h"
#include "platform/crt_file.h"
#include "platform/format_text.h"
#include "resources/string_table.h"

namespace {

// The first read of a run (the registry list) skips the directory check.
bool g_bFirstRead = true;

constexpr int kLineBuffer = 259;  // 258 characters and the terminator
const char kWhiteSpace[] = " \t\n\r\v\f";

// Slot (0-8) of a prefix character, -1 for none.
int SlotOfPrefix(char c) {
  static const char kPrefixes[] = "#$^|+!~?@";
  for (int i = 0; i < 9; ++i) {
    if (kPrefixes[i] == c) return i;
  }
  return -1;
}

enum Slot {
  kInstall = 0,
  kSystem,
  kWindows,
  kDesktop,
  kOCR,
  kCommonPrograms,
  kUserPrograms,
  kDeviceID,
  kTemp
};

void TrimRight(std::string& text) {
  const size_t last = text.find_last_not_of(kWhiteSpace);
  text.erase(last == std::string::npos ? 0 : last + 1);
}

}  // namespace

CListFromFile::CListFromFile() = default;

void CListFromFile::SetVTInstallDir(const std::string& dir) { m_sDir[kInstall] = dir; }
void CListFromFile::SetSystemDir(const std::string& dir) { m_sDir[kSystem] = dir; }
void CListFromFile::SetWindowsDir(const std::string& dir) { m_sDir[kWindows] = dir; }
void CListFromFile::SetDesktopDir(const std::string& dir) { m_sDir[kDesktop] = dir; }
void CListFromFile::SetOCRDir(const std::string& dir) { m_sDir[kOCR] = dir; }
void CListFromFile::SetCommonProgramsDir(const std::string& dir) { m_sDir[kCommonPrograms] = dir; }
void CListFromFile::SetUserProgramsDir(const std::string& dir) { m_sDir[kUserPrograms] = dir; }
void CListFromFile::SetDeviceIDDir(const std::string& dir) { m_sDir[kDeviceID] = dir; }

void CListFromFile::SetTempDir() {
  char szDirBuff[MAX_PATH];
  std::memset(szDirBuff, 0, sizeof(szDirBuff));
  const DWORD length = GetTempPathA(MAX_PATH, szDirBuff);
  if (length == 0 || length >= static_cast<DWORD>(MAX_PATH)) {
    const DWORD code = GetLastError();
    szDirBuff[MAX_PATH - 1] = '\0';
    CRunLog log;
    log.LogError("CListFromFile::SetTempDir() -- GetTempPath()",
                 FormatText("szDirBuff = '%s'", szDirBuff), code);
    return;
  }
  m_sDir[kTemp].assign(szDirBuff, length);
}

void CListFromFile::ResetFirstRead() { g_bFirstRead = true; }

bool CListFromFile::EntryFromLine(const std::string& rawLine, std::string& entry) const {
  std::string line = rawLine;
  TrimRight(line);
  if (line.empty()) return false;
  line.erase(0, line.find_first_not_of(kWhiteSpace));
  if (line[0] == ';') return false;

  if (line[0] == '>' && line.size() >= 2 && SlotOfPrefix(line[1]) >= 0) {
    const std::string& dir = m_sDir[SlotOfPrefix(line[1])];
    // Every variable is tested, "$" and "^" included: an empty system or
    // Windows directory would turn the entry into a path from the drive root.
    if (dir.empty()) return false;
    entry = ">" + dir + line.substr(2);
  } else if (SlotOfPrefix(line[0]) >= 0) {
    const int slot = SlotOfPrefix(line[0]);
    const std::string& dir = m_sDir[slot];
    std::string rest = line.substr(1);
    if (dir.empty()) {
      // An empty "~" or "?" variable leaves the prefix unrecognised.
      if (slot != kUserPrograms && slot != kDeviceID) return false;
      entry = line;
    } else {
      if (slot == kUserPrograms && dir.back() == '\\' && !rest.empty() && rest[0] == '\\')
        rest.erase(0, 1);
      entry = dir + rest;
    }
  } else {
    entry = line;
  }
  TrimRight(entry);
  return true;
}

void CListFromFile::CheckDirectories() const {
  struct Check {
    int slot;
    StringId text;
  };
  static const Check kChecks[] = {{kInstall, IDS_DAT_NO_INSTALL_DIR},
                                  {kDesktop, IDS_DAT_NO_DESKTOP_DIR},
                                  {kOCR, IDS_DAT_NO_OCR_DIR},
                                  {kCommonPrograms, IDS_DAT_NO_PROGRAMS_DIR}};
  for (const Check& check : kChecks) {
    if (m_sDir[check.slot].empty()) {
      CRunLog log;
      log.LogText(LoadStr(check.text));
      return;
    }
  }
}

int CListFromFile::ListFromFile(const std::string& path, CStringArray& list) {
  list.clear();
  CCrtFile file;
  if (!file.OpenRead(path, FILE_SHARE_READ | FILE_SHARE_WRITE)) {
    CRunLog log;
    log.LogNote("CListFromFile::ListFromFile() -- _tfopen(sFileListName)",
                FormatText(LoadStr(IDS_UNABLE_TO_FIND_FILE), path.c_str()));
    list.clear();
    return -1;
  }
  if (g_bFirstRead) {
    g_bFirstRead = false;
  } else {
    CheckDirectories();
  }

  char dataLine[kLineBuffer];
  std::string entry;
  while (file.ReadLine(dataLine, kLineBuffer)) {
    if (!EntryFromLine(dataLine, entry)) continue;
    try {
      list.push_back(entry);
    } catch (const std::bad_alloc&) {
      CRunLog log;
      log.LogNote("CListFromFile::ListFromFile() -- aList.Add(dataLine)",
                  FormatText(LoadStr(IDS_DAT_NO_MEMORY), entry.c_str()));
      file.Close();
      return -1;
    }
    ++m_nCount;
  }
  if (file.ReadFailed()) {
    // A list cut short by a read error would pass for the whole list: it is
    // reported and handed back as unreadable, like one that cannot be opened.
    const DWORD code = file.LastError();
    file.Close();
    CRunLog log;
    log.LogError("CListFromFile::ListFromFile() -- _fgetts()",
                 FileErrorDescription(FileErrorCause(code), path), code);
    list.clear();
    return -1;
  }
  file.Close();
  return m_nCount;
}
