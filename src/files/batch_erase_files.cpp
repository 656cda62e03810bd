// Creating, filling and closing the deferred erase batch.
#include "files/batch_erase_files.h"

#include "files/batch_lines.h"
#include "files/removal_path_rules.h"
#include "log/error_reports.h"
#include "log/run_log.h"
#include "platform/format_text.h"
#include "resources/string_table.h"

namespace {

const char kShortPathOrigin[] = "CBatchEraseFiles::AddToEraseBatch -- GetShortPathName()";
const char* const kEntryWriteOrigins[3] = {
    "CBatchEraseFiles::AddToEraseBatch() -- m_File.WriteString 1",
    "CBatchEraseFiles::AddToEraseBatch() -- m_File.WriteString 2",
    "CBatchEraseFiles::AddToEraseBatch() -- m_File.WriteString 3",
};
// A failed write of a text file is always reported as a full disk.
constexpr int kDiskFullCause = 13;

void LogText(const std::string& text) {
  CRunLog log;
  log.LogText(text);
}

void LogNotScheduled(const std::string& path, unsigned reason) {
  LogText(FormatText(LoadStr(IDS_NOT_SCHEDULED), path.c_str(), LoadStr(reason)));
}

// The 8.3 form of an existing path; false (logged) when it cannot be had.
bool ShortPath(const std::string& path, std::string& shortPath) {
  char buffer[MAX_PATH] = {};
  const DWORD length = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
  if (length == 0 || length >= static_cast<DWORD>(MAX_PATH)) {
    const DWORD code = length == 0 ? GetLastError() : ERROR_INSUFFICIENT_BUFFER;
    CRunLog log;
    log.LogError(kShortPathOrigin, "", code);
    return false;
  }
  shortPath.assign(buffer, length);
  return true;
}

bool HasBlank(const std::string& text) { return text.find(' ') != std::string::npos; }

bool IsDirectory(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The lines of a file entry; false (logged) when no line could be trusted to
// act on this file and no other.
bool FormFileEntry(const std::string& path, const BatchPathParts& parts, int versionCode,
                   BatchEntryLines& lines) {
  if (parts.name.empty() || path.find_first_of("*?") != std::string::npos) {
    LogNotScheduled(path, IDS_REASON_NO_SINGLE_FILE);
    return false;
  }
  // DEL of a directory would empty it.
  if (IsDirectory(path)) {
    LogNotScheduled(path, IDS_REASON_IS_DIRECTORY);
    return false;
  }
  const std::string dir = DirectoryToEnter(parts);
  if (versionCode >= 3) {
    lines = NtFileEntry(parts.drive, dir, path);
    return true;
  }
  std::string shortDir, shortPath;
  if (!ShortPath(dir, shortDir) || !ShortPath(path, shortPath)) {
    LogNotScheduled(path, IDS_REASON_NO_SHORT_PATH);
    return false;
  }
  // COMMAND.COM splits unquoted arguments at blanks.
  if (HasBlank(shortDir) || HasBlank(shortPath)) {
    LogNotScheduled(path, IDS_REASON_BLANK_IN_SHORT_PATH);
    return false;
  }
  lines = ShortFileEntry(parts.drive, shortDir, shortPath);
  return true;
}

bool FormDirectoryEntry(const std::string& path, const BatchPathParts& parts, int versionCode,
                        BatchEntryLines& lines) {
  if (path.find_first_of("*?") != std::string::npos) {
    LogNotScheduled(path, IDS_REASON_NO_SINGLE_FILE);
    return false;
  }
  if (versionCode >= 3) {
    lines = NtDirectoryEntry(parts.drive, path);
    return true;
  }
  std::string shortPath;
  if (!ShortPath(path, shortPath)) {
    LogText(FormatText(LoadStr(IDS_BATCH_LONG_AND_SHORT_PATH), path.c_str(), ""));
    LogNotScheduled(path, IDS_REASON_NO_SHORT_PATH);
    return false;
  }
  if (HasBlank(shortPath)) {
    LogNotScheduled(path, IDS_REASON_BLANK_IN_SHORT_PATH);
    return false;
  }
  lines = ShortDirectoryEntry(parts.drive, shortPath);
  return true;
}

}  // namespace

std::string CBatchEraseFiles::BatchPath() const {
  return WithBackslash(m_sTempDir) + kEraseBatchName;
}

int CBatchEraseFiles::CreateEraseBatch(int versionCode) {
  m_sTempDir = GetWinTempDirectory();
  if (m_sTempDir.empty()) {
    LogText(FormatText(LoadStr(IDS_BATCH_NO_TEMP_DIR), kEraseBatchName));
    return m_nState;
  }
  LogText(FormatText(LoadStr(IDS_BATCH_CREATED), m_sTempDir.c_str()));

  const ULONGLONG freeBytes = GetTempDriveSpace(versionCode);
  if (freeBytes < kBatchSpaceNeeded) {
    CRunLog log;
    log.LogError("CBatchEraseFiles::CreateEraseBatch() -- GetTempDriveSpace()",
                 FormatText(LoadStr(IDS_BATCH_NO_SPACE), m_sTempDir.c_str(),
                            static_cast<int>(kBatchSpaceNeeded),
                            static_cast<int>(static_cast<DWORD>(freeBytes))),
                 0);
    m_nState = kBatchFailed;
    return m_nState;
  }
  m_nState = OpenBatch() ? kBatchCreated : kBatchFailed;
  return m_nState;
}

bool CBatchEraseFiles::OpenBatch() {
  const std::string path = BatchPath();
  // A second run before the restart must not throw away what the first one
  // deferred: its batch is still registered and goes on.
  const bool goOn = IsRegisteredEraseBatch(path);
  const bool opened =
      goOn ? m_File.OpenAppend(path, FILE_SHARE_READ) : m_File.OpenTruncate(path, FILE_SHARE_READ);
  if (!opened) {
    CRunLog log;
    log.LogError("CBatchEraseFiles::CreateEraseBatch() -- m_File.Open",
                 FormatText(LoadStr(IDS_BATCH_CANNOT_CREATE), path.c_str()) +
                     FileErrorDescription(FileErrorCause(m_File.LastError()), path),
                 0);
    return false;
  }
  if (goOn) return true;
  if (!m_File.AppendText(EraseBatchHeader())) {
    CRunLog log;
    log.LogError("CBatchEraseFiles::CreateEraseBatch() -- m_File.WriteString",
                 FormatText(LoadStr(IDS_BATCH_CANNOT_WRITE), path.c_str()) +
                     FileErrorDescription(kDiskFullCause, path),
                 0);
    m_File.Close();
    return false;
  }
  return true;
}

bool CBatchEraseFiles::Write(const std::string& text, const char* origin) {
  if (m_File.AppendText(text)) return true;
  {
    CRunLog log;
    log.LogError(origin, FileErrorDescription(kDiskFullCause, BatchPath()), 0);
  }
  // Whatever follows would land behind a half-written entry.
  m_File.Close();
  return false;
}

int CBatchEraseFiles::AddToEraseBatch(const std::string& entry, int versionCode) {
  const bool isDirectory = !entry.empty() && entry[0] == '+';
  const std::string path = isDirectory ? entry.substr(1) : entry;
  BatchPathParts parts;
  if (!SplitBatchPath(path, parts)) return 0;
  if (!IsSafeRemovalPath(path)) {
    LogText(FormatText(LoadStr(IDS_UNSAFE_PATH), path.c_str()));
    return 0;
  }
  // Closed after a failed write: nothing more goes in.
  if (!m_File.IsOpen()) return 0;

  // Every form is found before the first line is written, so an entry is
  // written whole or not at all.
  BatchEntryLines lines;
  const bool formed = isDirectory ? FormDirectoryEntry(path, parts, versionCode, lines)
                                  : FormFileEntry(path, parts, versionCode, lines);
  if (!formed) return 0;
  for (int i = 0; i < 3; ++i) {
    if (!Write(lines.line[i], kEntryWriteOrigins[i])) return 0;
  }
  return 1;
}

int CBatchEraseFiles::CloseEraseBatch(int versionCode) {
  if (versionCode < 3 && m_File.IsOpen()) {
    if (!m_File.AppendText(EraseBatchClosingBlock())) {
      CRunLog log;
      log.LogError("CBatchEraseFiles::CloseEraseBatch() -- m_File.WriteString 1",
                   FileErrorDescription(kDiskFullCause, BatchPath()), 0);
    }
  }
  m_File.Close();
  if (WriteToRegRunOnce(m_sTempDir) == 0) {
    m_nState = kBatchNotCreated;
    return 0;
  }
  return 1;
}
