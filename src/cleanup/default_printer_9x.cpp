// C9xCleanup::RemoveDefaultPrinter9x: Windows 9x keeps its default printer in
// the hardware profile; left naming a removed printer, Windows keeps using it.
#include <cstring>

#include "cleanup/legacy_cleanup.h"
#include "journal/journal_registry.h"
#include "log/run_log.h"
#include "platform/ansi_text.h"
#include "platform/format_text.h"
#include "platform/win32.h"
#include "resources/string_table.h"

namespace {

const char kPrintersKey[] = "Config\\0001\\System\\CurrentControlSet\\Control\\Print\\Printers";
const char kDefaultValue[] = "Default";
const char kQueryOrigin[] = "C9xCleanup::RemoveDefaultPrinter9x() -- RegQueryValueEx()";
constexpr DWORD kValueBuffer = 512;

void LogError(const char* origin, const std::string& detail, LONG code) {
  CRunLog log;
  log.LogError(origin, detail, static_cast<DWORD>(code));
}

}  // namespace

void C9xCleanup::RemoveDefaultPrinter9x(const std::string& printerName) {
  HKEY key = nullptr;
  LONG rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPrintersKey, 0, KEY_WRITE, &key);
  if (rc != ERROR_SUCCESS) {
    LogError("C9xCleanup::RemoveDefaultPrinter9x() -- RegOpenKeyEx()",
             FormatText(LoadStr(IDS_DEFPRN_KEY_DETAIL), kPrintersKey), rc);
    return;
  }
  // One byte beyond the buffer the value is read into: a value that fills
  // the buffer without a terminating zero still reads as a terminated text.
  char value[kValueBuffer + 1];
  std::memset(value, 0, sizeof value);
  DWORD type = 0;
  DWORD size = kValueBuffer;
  rc = RegQueryValueExA(key, kDefaultValue, nullptr, &type, reinterpret_cast<LPBYTE>(value), &size);
  if (rc != ERROR_SUCCESS) {
    const std::string detail =
        rc == ERROR_MORE_DATA ? FormatText(LoadStr(IDS_DEFPRN_SPACE_NEEDED), kDefaultValue,
                                           static_cast<int>(size), static_cast<int>(kValueBuffer))
                              : FormatText(LoadStr(IDS_DEFPRN_VALUE_NAME), kDefaultValue);
    LogError(kQueryOrigin, detail, rc);
    RegCloseKey(key);
    return;
  }
  const std::string current(value);
  if (!current.empty() && UpperText(current) == UpperText(printerName) &&
      JournalValue(HKEY_LOCAL_MACHINE, kPrintersKey, kDefaultValue)) {
    // The empty text, in the type the value had.
    const BYTE empty = 0;
    rc = RegSetValueExA(key, kDefaultValue, 0, type, &empty, 1);
    if (rc != ERROR_SUCCESS) {
      LogError(kQueryOrigin,
               FormatText(LoadStr(IDS_DEFPRN_WRITE_FAILED), "HKEY_LOCAL_MACHINE", kPrintersKey),
               rc);
    }
  }
  RegCloseKey(key);
}
