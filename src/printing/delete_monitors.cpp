// VTDeleteMonitors: the device's print monitors, by the names the spooler
// has installed.
#include <cstring>
#include <vector>

#include "journal/undo_journal.h"
#include "platform/format_text.h"
#include "printing/handle_pnp.h"
#include "printing/pnp_report.h"
#include "resources/string_table.h"

namespace {

char kEnvironment[] = "Windows NT x86";
constexpr size_t kMonitorBuffer = 512;

}  // namespace

int VTDeleteMonitors(const CStringArray& monitors) {
  PnPLogText(LoadStr(IDS_PNP_MONITORS_BANNER));
  if (monitors.empty()) {
    PnPLogNote("HandlePnP -- VTDeleteMonitors(): Size == 0", LoadStr(IDS_PNP_MONITOR_LIST_EMPTY));
    return 1;
  }
  DWORD needed = 0;
  DWORD count = 0;
  EnumMonitorsA(nullptr, 1, nullptr, 0, &needed, &count);
  if (needed == 0) {
    PnPLogError(
        "HandlePnP -- VTDeleteMonitors(): EnumMonitors()",
        FormatText(LoadStr(IDS_PNP_MONITOR_NOT_REMOVED), LoadStr(IDS_PNP_MONITOR_ENUM_ZERO)),
        GetLastError());
    return 0;
  }
  std::vector<BYTE> records(needed);
  if (!EnumMonitorsA(nullptr, 1, records.data(), needed, &needed, &count)) count = 0;
  std::vector<std::string> installed;
  for (DWORD i = 0; i < count; ++i) {
    MONITOR_INFO_1A info;
    std::memcpy(&info, records.data() + i * sizeof(MONITOR_INFO_1A), sizeof(info));
    installed.push_back(info.pName ? info.pName : "");
  }

  for (const std::string& entry : monitors) {
    const std::string wanted = CutToBuffer(entry, kMonitorBuffer);
    for (std::string name : installed) {
      if (!SameTextNoCase(name, wanted)) continue;
      PnPProgress(FormatText(LoadStr(IDS_PNP_MONITOR_REMOVED), name.c_str()));
      if (!g_UndoJournal.RecordRemoved(JournalItem::kMonitor, name.c_str())) break;
      if (DeleteMonitorA(nullptr, kEnvironment, &name[0])) {
        PnPLogText(FormatText(LoadStr(IDS_PNP_MONITOR_REMOVED), wanted.c_str()));
        break;
      }
      PnPLogError("HandlePnP -- VTDeleteMonitors(): DeleteMonitor()",
                  FormatText(LoadStr(IDS_PNP_MONITOR_NOT_REMOVED), wanted.c_str()), GetLastError());
      break;
    }
  }
  return 1;
}
