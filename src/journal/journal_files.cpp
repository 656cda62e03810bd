// Copies of removed files and the list of removed folders.
#include "journal/journal_files.h"

#include <cstdio>

#include "journal/undo_journal.h"
#include "platform/win32.h"

namespace {

// Copies source to target whole; 0 or the Windows error. A part-written
// copy is deleted again.
DWORD CopyWhole(const std::string& source, const std::string& target) {
  // A copy lets others read the source while it runs, as CopyFile does; a
  // file someone holds open for writing refuses it (32), and is kept.
  HANDLE in = CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
  if (in == INVALID_HANDLE_VALUE) return GetLastError();
  HANDLE out = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    CloseHandle(in);
    return code;
  }
  DWORD code = 0;
  char buffer[16384];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(in, buffer, sizeof buffer, &got, nullptr)) {
      code = GetLastError();
      break;
    }
    if (got == 0) break;
    DWORD written = 0;
    if (!WriteFile(out, buffer, got, &written, nullptr) || written != got) {
      code = GetLastError();
      if (code == 0) code = ERROR_WRITE_FAULT;
      break;
    }
  }
  CloseHandle(out);
  CloseHandle(in);
  if (code == 0) return 0;
  DeleteFileA(target.c_str());
  return code;
}

}  // namespace

namespace {

// The path the restore script writes back to (a file, or a folder to make):
// doubled backslashes made one
// (past a leading "\\\\" of a network name), and the file's name as the
// folder stores it, so the restored file has its old name to the letter
// (the steps may name it in another case).
std::string RestorePath(const std::string& path) {
  std::string out;
  for (size_t i = 0; i < path.size(); ++i) {
    if (path[i] == '\\' && i > 1 && !out.empty() && out.back() == '\\') continue;
    out += path[i];
  }
  if (out.find_first_of("*?") != std::string::npos) return out;
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA(out.c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return out;
  FindClose(h);
  const size_t slash = out.rfind('\\');
  const std::string leaf = out.substr(slash == std::string::npos ? 0 : slash + 1);
  if (lstrcmpiA(leaf.c_str(), found.cFileName) == 0)
    out = out.substr(0, slash == std::string::npos ? 0 : slash + 1) + found.cFileName;
  return out;
}

}  // namespace

bool JournalFile(const std::string& path) {
  if (!g_UndoJournal.IsOn()) return true;
  // Read before anything changes them: the restore sets them back.
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD code = GetLastError();
    // Not there: nothing to remove, nothing to keep.
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return true;
    LogNoBackup(path, code);
    return false;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return true;
  const std::string copy = g_UndoJournal.NextCopyName();
  const std::string copyPath = g_UndoJournal.PathOf(copy.c_str());
  DWORD code = CopyWhole(path, copyPath);
  if (code == 0) {
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(attributes));
    const std::string line = std::string(hex) + "\t" + copy + "\t" + RestorePath(path) + "\r\n";
    if (g_UndoJournal.Append(kJournalFilesList, line, &code)) return true;
    // A copy no line names would never come back: not kept either.
    DeleteFileA(copyPath.c_str());
  }
  LogNoBackup(path, code);
  return false;
}

bool JournalFolder(const std::string& path) {
  if (!g_UndoJournal.IsOn()) return true;
  std::string folder = path;
  // "md C:\VT\" works too, but the list names each folder one way.
  while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  folder = RestorePath(folder);
  DWORD code = 0;
  if (g_UndoJournal.Append(kJournalFoldersList, folder + "\r\n", &code)) return true;
  LogNoBackup(path, code);
  return false;
}
