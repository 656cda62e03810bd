#include "printing/pnp_report.h"

#include "app/main_window.h"
#include "log/run_log.h"
#include "platform/ansi_text.h"

void PnPProgress(const std::string& text) {
  if (CCvScrubberDlg* dlg = TheMainWindow()) dlg->SetProgressText(text);
}

void PnPLogText(const std::string& text) {
  CRunLog log;
  log.LogText(text);
}

void PnPLogNote(const std::string& origin, const std::string& detail) {
  CRunLog log;
  log.LogNote(origin, detail);
}

void PnPLogError(const std::string& origin, const std::string& detail, DWORD code) {
  CRunLog log;
  log.LogError(origin, detail, code);
}

bool SameTextNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && UpperText(a) == UpperText(b);
}

std::string CutToBuffer(const std::string& text, size_t capacity) {
  return capacity == 0 ? std::string() : text.substr(0, capacity - 1);
}
