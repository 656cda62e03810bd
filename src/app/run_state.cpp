#include "app/run_state.h"

#include "cleanup/search_inf_text.h"
#include "config/dat_list.h"
#include "discovery/detection.h"
#include "discovery/directories.h"
#include "files/remove_software.h"
#include "journal/restore_point.h"
#include "journal/undo_journal.h"
#include "log/run_log.h"
#include "registry/erase_reg_data.h"
#include "registry/secure_reg_delete.h"

std::string g_sIniFileName;
std::string g_szVersionText;
RemovalData g_RemovalData;
std::string g_sDefaultVTDir;
std::string g_sDefaultOCRDir;

std::string CutToRunLimit(const std::string& text) {
  return text.size() > kRunTextLimit ? text.substr(0, kRunTextLimit) : text;
}

void ResetAllRunState() {
  g_sIniFileName.clear();
  g_szVersionText.clear();
  g_RemovalData = RemovalData();
  g_sDefaultVTDir.clear();
  g_sDefaultOCRDir.clear();
  g_aSaveFiles.clear();
  g_aRebootDirs.clear();
  g_szPnPtext.clear();
  ResetDetectionState();
  ResetDirectoryState();
  ResetRunLogState();
  SetLogSwitch(nullptr);
  CListFromFile::ResetFirstRead();
  ResetSecureRegDeleteState();
  ResetInfSearchState();
  g_UndoJournal.Reset();
  g_RestorePoint.Reset();
}
