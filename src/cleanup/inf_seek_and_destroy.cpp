#include "cleanup/inf_seek_and_destroy.h"

#include <cstring>
#include <vector>

#include "cleanup/read_oem_inf.h"
#include "cleanup/search_inf_text.h"
#include "journal/journal_files.h"
#include "log/run_log.h"
#include "platform/ansi_text.h"
#include "platform/format_text.h"
#include "platform/win32.h"
#include "resources/string_table.h"

namespace {

void LogText(const std::string& text) {
  CRunLog log;
  log.LogText(text);
}

// Windows names its copies OEM<number>.INF: a name whose fourth character
// is no digit is not one of them.
bool IsOemInfName(const WIN32_FIND_DATAA& found) {
  const char* name = found.cFileName;
  if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
  if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) return false;
  return std::strlen(name) >= 4 && name[3] >= '0' && name[3] <= '9';
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  return !dir.empty() && dir.back() == '\\' ? dir + name : dir + "\\" + name;
}

}  // namespace

int CInfSeekAndDestroy::DeleteINF(const std::string& infDir, const std::string& searchText,
                                  int index) {
  char saved[MAX_PATH] = {};
  const DWORD length = GetCurrentDirectoryA(MAX_PATH, saved);
  if (length == 0 || length >= static_cast<DWORD>(MAX_PATH)) {
    // Without it the search could not change back.
    const DWORD code = length == 0 ? GetLastError() : ERROR_INSUFFICIENT_BUFFER;
    CRunLog log;
    log.LogError("CInfSeekAndDestroy::DeleteINF() -- GetCurrentDirectory()", "", code);
    return 0;
  }
  if (!SetCurrentDirectoryA(infDir.c_str())) {
    LogText(FormatText(LoadStr(IDS_INF_CANNOT_CHANGE_DIR), infDir.c_str(),
                       static_cast<int>(GetLastError())));
    return 0;
  }
  // The listing's full paths start with the directory as Windows names it.
  std::string root = CurrentDirectory();
  if (root.empty()) root = infDir;
  const bool found = SeekAndDestroyInListing(root, searchText, index);
  SetCurrentDirectoryA(saved);
  if (!found) LogText(LoadStr(IDS_INF_NOT_FOUND));
  return 1;
}

bool CInfSeekAndDestroy::SeekAndDestroyInListing(const std::string& root,
                                                 const std::string& searchText, int index) {
  WIN32_FIND_DATAA found;
  std::memset(&found, 0, sizeof found);
  HANDLE search = FindFirstFileA("OEM*.INF", &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  bool matched = false;
  std::vector<char> contents;
  do {
    found.cFileName[sizeof found.cFileName - 1] = '\0';
    if (!IsOemInfName(found)) continue;
    g_sInfFileBeingSearched = found.cFileName;
    ShowInfSearchProgress(index, 0);
    const std::string path = JoinPath(root, found.cFileName);
    if (!ReadOemInf(path, contents)) continue;
    const DWORD n = static_cast<DWORD>(contents.size() - 1);
    if (!SearchInfText(contents.data(), searchText.c_str(), n, index)) continue;
    matched = true;
    DestroyInfAndPnf(path);
    // One search text removes at most one INF file.
    break;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return matched;
}

void CInfSeekAndDestroy::DestroyInfAndPnf(const std::string& path) {
  // Without a backup the file stays (JournalFile has said so in the log).
  bool infRemoved = false;
  if (JournalFile(path)) {
    infRemoved = DeleteFileA(path.c_str()) != FALSE;
    LogText(FormatText(LoadStr(infRemoved ? IDS_INF_REMOVED : IDS_INF_NOT_REMOVED), path.c_str()));
  }
  // The precompiled twin: the "I" of ".INF" becomes "P".
  std::string pnf = path;
  pnf[pnf.size() - 3] = 'P';
  if (!JournalFile(pnf)) return;
  if (DeleteFileA(pnf.c_str())) {
    LogText(FormatText(LoadStr(IDS_PNF_REMOVED), pnf.c_str()));
    if (!infRemoved) LogText("\n");
  } else {
    LogText(FormatText(LoadStr(IDS_PNF_NOT_REMOVED), pnf.c_str()));
  }
}
