// DeleteVTPort: the device's DOT4 ports, in the order its printers used them.
#include <cstring>

#include "journal/undo_journal.h"
#include "platform/format_text.h"
#include "printing/handle_pnp.h"
#include "printing/pnp_report.h"
#include "resources/string_table.h"

namespace {
constexpr size_t kPortBuffer = 260;
}  // namespace

int DeleteVTPort(const CStringArray& ports) {
  PnPProgress(LoadStr(IDS_PNP_DELETING_PORTS));
  for (const std::string& entry : ports) {
    std::string port = CutToBuffer(entry, kPortBuffer);
    // Only the device's own DOT4 ports; the name is matched with its case.
    if (port.find("DOT4") == std::string::npos) continue;
    if (!g_UndoJournal.RecordRemoved(JournalItem::kPort, port.c_str())) continue;
    if (DeletePortA(nullptr, nullptr, &port[0])) {
      PnPLogText(FormatText(LoadStr(IDS_PNP_PORT_REMOVED), port.c_str()));
    } else {
      PnPLogError("DeleteVTPort() in HandlePnP -- DeletePort()",
                  FormatText(LoadStr(IDS_PNP_PORT_NOT_REMOVED), port.c_str()), GetLastError());
      return 0;
    }
  }
  return 1;
}
