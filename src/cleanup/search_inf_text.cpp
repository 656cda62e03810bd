#include "cleanup/search_inf_text.h"

#include "app/main_window.h"
#include "cleanup/inf_text_match.h"
#include "platform/format_text.h"
#include "resources/string_table.h"

std::string g_sInfFileBeingSearched;

void ResetInfSearchState() { g_sInfFileBeingSearched.clear(); }

void ShowInfSearchProgress(int loopIndex, size_t position) {
  CCvScrubberDlg* dlg = TheMainWindow();
  if (!dlg) return;
  dlg->SetProgressText(FormatText(LoadStr(IDS_INF_PROGRESS), loopIndex,
                                  g_sInfFileBeingSearched.c_str(), static_cast<int>(position)));
}

namespace {

void ProgressOfLoop(void* context, size_t position) {
  ShowInfSearchProgress(*static_cast<const int*>(context), position);
}

}  // namespace

bool SearchInfText(const char* contents, const char* searchText, DWORD n, int loopIndex) {
  return MatchInfText(contents, searchText, n, ProgressOfLoop, &loopIndex);
}
