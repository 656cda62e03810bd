// The journal folder, its files and the restore script.
#include "journal/undo_journal.h"

#include <algorithm>
#include <cstdio>

#include "log/run_log.h"
#include "platform/format_text.h"
#include "resources/string_table.h"

CUndoJournal g_UndoJournal;

namespace {

constexpr unsigned kMostFolders = 999;

void Log(const std::string& text) {
  CRunLog log;
  log.LogText(text);
}

// The whole text of a journal file; empty when it is missing.
std::string ReadWhole(const std::string& path) {
  std::string text;
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return text;
  char buffer[4096];
  DWORD n = 0;
  while (ReadFile(h, buffer, sizeof buffer, &n, nullptr) && n > 0) text.append(buffer, n);
  CloseHandle(h);
  return text;
}

// True when a journal file holds anything (its size, without reading it:
// Undo.reg may be large).
bool HasContent(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  const DWORD size = GetFileSize(h, nullptr);
  CloseHandle(h);
  return size != 0 && size != INVALID_FILE_SIZE;
}

// The lines of a journal list, without their line ends.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// The attributes of a Files.txt line: hex digits (others read as 0).
DWORD HexNumber(const std::string& text) {
  DWORD n = 0;
  for (char c : text) {
    const int digit = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                             : 0;
    n = (n << 4) | static_cast<DWORD>(digit);
  }
  return n;
}

// "+R -A +S +H" for attrib, from a file's attributes.
std::string AttribSwitches(DWORD attributes) {
  std::string s;
  s += (attributes & FILE_ATTRIBUTE_READONLY) ? "+R" : "-R";
  s += (attributes & FILE_ATTRIBUTE_ARCHIVE) ? " +A" : " -A";
  s += (attributes & FILE_ATTRIBUTE_SYSTEM) ? " +S" : " -S";
  s += (attributes & FILE_ATTRIBUTE_HIDDEN) ? " +H" : " -H";
  return s;
}

}  // namespace

const char* JournalItemName(JournalItem kind) {
  switch (kind) {
    case JournalItem::kPrinter:
      return "printer";
    case JournalItem::kDriver:
      return "printer driver";
    case JournalItem::kPort:
      return "port";
    case JournalItem::kMonitor:
      return "print monitor";
    case JournalItem::kService:
      return "service";
    case JournalItem::kDevice:
      return "device";
    case JournalItem::kPackage:
      return "installer package";
  }
  return "item";
}

std::string RegQuoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string BatchQuoted(const std::string& text) { return "\"" + text + "\""; }

bool CUndoJournal::Open() {
  Reset();
  char logDir[MAX_PATH];
  GetRunLogDir(logDir);
  std::string base = logDir;
  if (base.empty()) {
    Log(FormatText(LoadStr(IDS_JOURNAL_NOT_OPENED), "", ERROR_PATH_NOT_FOUND));
    return false;
  }
  if (base.back() != '\\') base += '\\';
  DWORD code = 0;
  // A journal of an earlier run is never written into: the first free number.
  for (unsigned n = 1; n <= kMostFolders; ++n) {
    char number[8];
    std::snprintf(number, sizeof number, "%03u", n);
    const std::string folder = base + kJournalFolderBase + number;
    if (CreateDirectoryA(folder.c_str(), nullptr)) {
      const std::string copies = folder + "\\" + kJournalCopiesFolder;
      if (!CreateDirectoryA(copies.c_str(), nullptr)) {
        code = GetLastError();
        RemoveDirectoryA(folder.c_str());
        break;
      }
      m_sFolder = folder;
      Log(FormatText(LoadStr(IDS_JOURNAL_OPENED), m_sFolder.c_str()));
      return true;
    }
    code = GetLastError();
    if (code != ERROR_ALREADY_EXISTS && code != ERROR_FILE_EXISTS) break;
  }
  Log(FormatText(LoadStr(IDS_JOURNAL_NOT_OPENED), base.c_str(), static_cast<int>(code)));
  return false;
}

std::string CUndoJournal::PathOf(const char* name) const { return m_sFolder + "\\" + name; }

bool CUndoJournal::Append(const char* name, const std::string& text, DWORD* error) {
  *error = ERROR_INVALID_FUNCTION;
  if (!IsOn()) return false;
  const std::string path = PathOf(name);
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    *error = GetLastError();
    return false;
  }
  const DWORD end = SetFilePointer(h, 0, nullptr, FILE_END);
  DWORD written = 0;
  // One write a whole entry: the restore reads complete lines only.
  const bool ok = end != INVALID_SET_FILE_POINTER &&
                  WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                  written == text.size();
  if (!ok) {
    *error = GetLastError();
    if (*error == 0) *error = ERROR_WRITE_FAULT;
  }
  CloseHandle(h);
  if (ok) *error = 0;
  return ok;
}

std::string CUndoJournal::NextCopyName() {
  char name[16];
  std::snprintf(name, sizeof name, "F%06u", ++m_nCopies);
  return std::string(kJournalCopiesFolder) + "\\" + name;
}

bool CUndoJournal::RecordRemoved(JournalItem kind, const std::string& name) {
  if (!IsOn()) return true;
  DWORD error = 0;
  if (!Append(kJournalRemovedList, std::string(JournalItemName(kind)) + "\t" + name + "\r\n",
              &error)) {
    LogNoBackup(std::string(JournalItemName(kind)) + " '" + name + "'", error);
    return false;
  }
  Log(FormatText(LoadStr(IDS_JOURNAL_NOT_RESTORABLE), JournalItemName(kind), name.c_str()));
  return true;
}

void CUndoJournal::Close() {
  if (!IsOn() || m_bClosed) return;
  m_bClosed = true;
  std::string script = "@echo off\r\n";
  script += "rem Puts back what the scrub removed, from the undo journal " + m_sFolder + "\r\n";
  if (HasContent(PathOf(kJournalRegFile)))
    script += "regedit /s " + BatchQuoted(PathOf(kJournalRegFile)) + "\r\n";
  // Folders were removed deepest first: they are made again in reverse. A
  // folder put into the erase batch is listed when it is swept, in the
  // files list's order, so each one also waits for the folders above it:
  // COMMAND.COM's MD makes only the last folder of a path.
  std::vector<std::string> folders = Lines(ReadWhole(PathOf(kJournalFoldersList)));
  std::reverse(folders.begin(), folders.end());
  std::stable_sort(folders.begin(), folders.end(), [](const std::string& a, const std::string& b) {
    return std::count(a.begin(), a.end(), '\\') < std::count(b.begin(), b.end(), '\\');
  });
  for (const std::string& folder : folders) script += "md " + BatchQuoted(folder) + "\r\n";
  for (const std::string& line : Lines(ReadWhole(PathOf(kJournalFilesList)))) {
    // attributes (8 hex digits) TAB copy name TAB original path
    const size_t tab1 = line.find('\t');
    const size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
    if (tab2 == std::string::npos) continue;
    const DWORD attributes = HexNumber(line.substr(0, tab1));
    const std::string copy = line.substr(tab1 + 1, tab2 - tab1 - 1);
    const std::string path = line.substr(tab2 + 1);
    script += "copy " + BatchQuoted(PathOf(copy.c_str())) + " " + BatchQuoted(path) + "\r\n";
    script += "attrib " + AttribSwitches(attributes) + " " + BatchQuoted(path) + "\r\n";
  }
  if (HasContent(PathOf(kJournalRemovedList)))
    script += "echo Not put back (printers, drivers, services, ...): see " +
              BatchQuoted(PathOf(kJournalRemovedList)) + "\r\n";
  DWORD error = 0;
  const std::string scriptPath = PathOf(kJournalScript);
  HANDLE h = CreateFileA(scriptPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  if (h == INVALID_HANDLE_VALUE) {
    error = GetLastError();
  } else {
    if (!WriteFile(h, script.data(), static_cast<DWORD>(script.size()), &written, nullptr) ||
        written != script.size())
      error = GetLastError() == 0 ? ERROR_WRITE_FAULT : GetLastError();
    CloseHandle(h);
  }
  if (error != 0) {
    Log(FormatText(LoadStr(IDS_JOURNAL_SCRIPT_FAILED), scriptPath.c_str(),
                   static_cast<int>(error)));
  } else {
    Log(FormatText(LoadStr(IDS_JOURNAL_CLOSED), scriptPath.c_str()));
  }
}

void CUndoJournal::Reset() {
  m_sFolder.clear();
  m_nCopies = 0;
  m_bClosed = false;
}

void LogNoBackup(const std::string& what, DWORD error) {
  Log(FormatText(LoadStr(IDS_JOURNAL_NO_BACKUP), what.c_str(), static_cast<int>(error)));
}
