// The checks of the file remover: kept files, read-only files, unsafe paths.
#include "files/removal_path_rules.h"
#include "files/remove_software.h"
#include "log/error_reports.h"
#include "log/run_log.h"
#include "platform/ansi_text.h"
#include "platform/format_text.h"
#include "resources/string_table.h"

void LogFileText(const std::string& text) {
  CRunLog log;
  log.LogText(text);
}

bool SkipUnsafePath(const std::string& path) {
  if (IsSafeRemovalPath(path)) return false;
  LogFileText(FormatText(LoadStr(IDS_UNSAFE_PATH), path.c_str()));
  return true;
}

int CRemoveSoftware::IsSaveFile(const std::string& path) {
  // Folded by the code page's own case rules and then compared byte for
  // byte: a word-sort comparison would take "ß" for "ss".
  const std::string wanted = UpperText(path);
  if (m_saveIndexed) return m_saveIndex.count(wanted) != 0 ? 1 : 0;
  for (const std::string& kept : g_aSaveFiles) {
    if (UpperText(kept) == wanted) return 1;
  }
  return 0;
}

int CRemoveSoftware::RemoveReadOnlyAttrib(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) == 0) {
    return 0;
  }
  DWORD cleared = attributes & ~(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY);
  if (cleared == 0) cleared = FILE_ATTRIBUTE_NORMAL;
  if (SetFileAttributesA(path.c_str(), cleared)) return 1;
  const DWORD code = GetLastError();
  CRunLog log;
  // The attribute write carries no path of its own.
  log.LogNote("CRemoveSoftware::RemoveReadOnlyAttrib() -- CFile::SetStatus(sFileName, fs)",
              FormatText(LoadStr(IDS_READ_ONLY_NOT_CHANGED), path.c_str()) +
                  FileErrorDescription(FileErrorCause(code), ""));
  return 0;
}
