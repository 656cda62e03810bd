// The pass over the files list: single files, swept directories, and what is
// left handed to the erase batch.
#include "app/main_window.h"
#include "files/remove_software.h"
#include "journal/journal_files.h"
#include "log/run_log.h"
#include "platform/ansi_text.h"
#include "platform/format_text.h"
#include "resources/string_table.h"

CStringArray g_aRebootDirs;

namespace {

const char kDeleteFileOrigin[] = "CRemoveSoftware::DeleteFiles() -- DeleteFile(sFileName)";

void ShowProgress(const std::string& text) {
  if (CCvScrubberDlg* dlg = TheMainWindow()) dlg->SetProgressText(text);
}

}  // namespace

CRemoveSoftware::SaveFileIndex::SaveFileIndex(CRemoveSoftware& remover) : m_remover(remover) {
  m_remover.m_saveIndex.clear();
  for (const std::string& kept : g_aSaveFiles) m_remover.m_saveIndex.insert(UpperText(kept));
  m_remover.m_saveIndexed = true;
}

CRemoveSoftware::SaveFileIndex::~SaveFileIndex() {
  m_remover.m_saveIndexed = false;
  m_remover.m_saveIndex.clear();
}

bool CRemoveSoftware::Defer(const std::string& path, int versionCode, bool& scheduled) {
  scheduled = false;
  if (m_batch.GetState() == kBatchNotCreated &&
      m_batch.CreateEraseBatch(versionCode) == kBatchFailed) {
    return false;
  }
  if (m_batch.GetState() == kBatchCreated) {
    scheduled = m_batch.AddToEraseBatch(path, versionCode) == 1;
  }
  return true;
}

int CRemoveSoftware::DeleteFiles(const CStringArray& list, int versionCode) {
  if (list.empty()) return 0;
  SaveFileIndex index(*this);
  for (const std::string& entry : list) {
    if (entry.empty()) continue;
    if (entry[0] == '>') {
      const std::string dir = entry.substr(1);
      if (!SkipUnsafePath(dir)) DelFilesFromDir(dir, versionCode);
      continue;
    }
    if (SkipUnsafePath(entry) || IsSaveFile(entry) == 1) continue;

    ShowProgress(entry);
    // Copied before the read-only attribute is cleared, and before a
    // deferral: the erase batch deletes without asking.
    if (!JournalFile(entry)) continue;
    if (DeleteFileA(entry.c_str())) {
      LogFileText(FormatText(LoadStr(IDS_FILE_DELETED), entry.c_str()));
      continue;
    }
    const DWORD code = GetLastError();
    bool defer = false;
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) {
      // Not installed: the normal case.
    } else if (code == ERROR_ACCESS_DENIED) {
      if (RemoveReadOnlyAttrib(entry) == 1) {
        if (!DeleteFileA(entry.c_str())) {
          const DWORD again = GetLastError();
          CRunLog log;
          log.LogError(kDeleteFileOrigin,
                       FormatText(LoadStr(IDS_FILE_NOT_REMOVED_AFTER_RO), entry.c_str()), again);
        }
      } else {
        defer = true;
      }
    } else if (code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION) {
      defer = true;
    } else {
      CRunLog log;
      log.LogError(kDeleteFileOrigin, FormatText("sFileName = '%s'", entry.c_str()), code);
    }
    bool scheduled = false;
    if (defer && !Defer(entry, versionCode, scheduled)) return 0;
  }
  AddDirsToEraseBatch(versionCode);
  if (m_batch.GetState() == kBatchCreated) m_batch.CloseEraseBatch(versionCode);
  return 1;
}

int CRemoveSoftware::AddDirsToEraseBatch(int versionCode) {
  if (m_batch.GetState() == kBatchNotCreated &&
      m_batch.CreateEraseBatch(versionCode) == kBatchFailed) {
    return 0;
  }
  if (m_batch.GetState() != kBatchCreated) return 1;
  for (const std::string& dir : g_aRebootDirs) {
    if (m_batch.AddToEraseBatch("+" + dir, versionCode) == 1) {
      LogFileText(FormatText(LoadStr(IDS_DIR_ON_REBOOT), dir.c_str()));
    }
  }
  return 1;
}
