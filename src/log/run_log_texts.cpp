// Header and footer of the run log.
#include <string>

#include "log/run_log.h"
#include "platform/format_text.h"
#include "resources/string_table.h"

std::string RunLogHeader(const SYSTEMTIME& now) {
  const std::string stars(71, '*');
  std::string header = stars + "\n";
  header += FormatText(LoadStr(IDS_LOG_HEADER_DATE_LINE), now.wMonth, now.wDay, now.wYear,
                       now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
  header += "\n**  ";
  header += LoadStr(IDS_COPYRIGHT);
  header += "\n" + stars + "\n\n";
  return header;
}

std::string RunLogFooter() { return LoadStr(IDS_LOG_FOOTER); }
