// A swept directory: its files go now or at the next start, then the
// directory itself.
#include <vector>

#include "app/main_window.h"
#include "files/batch_lines.h"
#include "files/remove_software.h"
#include "journal/journal_files.h"
#include "log/run_log.h"
#include "platform/ansi_text.h"
#include "platform/format_text.h"
#include "resources/string_table.h"

namespace {

// dir and name with one backslash between them.
std::string JoinPath(const std::string& dir, const std::string& name) {
  if (!dir.empty() && dir.back() == '\\') return dir + name;
  return dir + "\\" + name;
}

// The program's own files in the temporary directory, upper-cased: a sweep of
// that directory must not delete the batch it is writing or the run log.
std::vector<std::string> OwnFiles() {
  std::vector<std::string> own;
  char temp[MAX_PATH] = {};
  const DWORD length = GetTempPathA(MAX_PATH, temp);
  if (length > 0 && length < static_cast<DWORD>(MAX_PATH)) {
    own.push_back(UpperText(JoinPath(std::string(temp, length), kEraseBatchName)));
  }
  own.push_back(UpperText(RunLogPath()));
  return own;
}

bool IsOwnFile(const std::vector<std::string>& own, const std::string& path) {
  const std::string upper = UpperText(path);
  for (const std::string& file : own) {
    if (file == upper) return true;
  }
  return false;
}

void ShowProgress(const std::string& text) {
  if (CCvScrubberDlg* dlg = TheMainWindow()) dlg->SetProgressText(text);
}

}  // namespace

int CRemoveSoftware::DelFilesFromDir(const std::string& dir, int versionCode) {
  char saved[MAX_PATH] = {};
  const DWORD length = GetCurrentDirectoryA(MAX_PATH, saved);
  if (length == 0 || length >= static_cast<DWORD>(MAX_PATH)) {
    // Without it the sweep could not change back.
    const DWORD code = length == 0 ? GetLastError() : ERROR_INSUFFICIENT_BUFFER;
    CRunLog log;
    log.LogError("CRemoveSoftware::DelFilesFromDir() -- GetCurrentDirectory()", "", code);
    return 0;
  }
  if (!SetCurrentDirectoryA(dir.c_str())) {
    const DWORD code = GetLastError();
    const unsigned text = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND
                              ? IDS_LOG_DIR_NOT_FOUND
                              : IDS_CANNOT_CHANGE_DIR;
    LogFileText(FormatText(LoadStr(text), dir.c_str(), static_cast<int>(code)));
    return 0;
  }
  const int result = SweepCurrentDirectory(dir, versionCode);
  SetCurrentDirectoryA(saved);
  return result;
}

int CRemoveSoftware::SweepCurrentDirectory(const std::string& dir, int versionCode) {
  // The names are collected first: deleting while the search runs could
  // make it skip or repeat entries.
  std::vector<std::string> names;
  {
    const std::vector<std::string> own = OwnFiles();
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("*.*", &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::string name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || name.empty()) continue;
        const std::string path = JoinPath(dir, name);
        if (IsSaveFile(path) == 1 || IsOwnFile(own, path)) continue;
        names.push_back(name);
      } while (FindNextFileA(search, &found));
      FindClose(search);
    }
  }

  bool deferredAny = false;
  bool keptAny = false;
  for (const std::string& name : names) {
    const std::string path = JoinPath(dir, name);
    ShowProgress(path);
    if (!JournalFile(path)) {
      keptAny = true;
      continue;
    }
    if (DeleteFileA(name.c_str())) {
      LogFileText(FormatText(LoadStr(IDS_SWEEP_FILE_DELETED), dir.c_str(), name.c_str()));
      continue;
    }
    if (GetLastError() == ERROR_ACCESS_DENIED && RemoveReadOnlyAttrib(name) == 1 &&
        DeleteFileA(name.c_str())) {
      continue;
    }
    deferredAny = true;
    bool scheduled = false;
    if (!Defer(path, versionCode, scheduled)) return 0;
    if (scheduled) {
      LogFileText(FormatText(LoadStr(IDS_SWEEP_FILE_ON_REBOOT), path.c_str(), dir.c_str()));
    }
  }

  // A file kept for want of a backup keeps its folder.
  if (keptAny) return 1;
  if (!JournalFolder(dir)) return 1;
  if (deferredAny) {
    g_aRebootDirs.push_back(dir);
    if (m_batch.GetState() == kBatchCreated) {
      LogFileText(FormatText(LoadStr(IDS_DIR_ON_REBOOT), dir.c_str()));
    }
    return 1;
  }

  SetCurrentDirectoryA("..");
  // The NT family's DeleteFileA refuses a directory (5): it is then
  // scheduled for the next start.
  const BOOL removed = versionCode >= 3 ? DeleteFileA(dir.c_str()) : RemoveDirectoryA(dir.c_str());
  if (removed) {
    LogFileText(FormatText(LoadStr(IDS_DIR_DELETED), dir.c_str()));
  } else {
    const DWORD code = GetLastError();
    if (code == ERROR_ACCESS_DENIED) {
      g_aRebootDirs.push_back(dir);
    } else {
      LogFileText(FormatText(LoadStr(IDS_DIR_NOT_DELETED), dir.c_str(), static_cast<int>(code)));
    }
  }
  return 1;
}
