// Run-wide state of the log: the kept log directory and the log switch.
#include <cstring>

#include "log/run_log.h"
#include "platform/format_text.h"
#include "resources/string_table.h"

namespace {
std::string g_sLogDir;                      // first successful GetTempPathA, then kept
const int* g_pLogFileOn = nullptr;          // the main window's m_bLogFileOn
constexpr DWORD kDirBufferSize = MAX_PATH;  // 260
}  // namespace

void SetLogSwitch(const int* mainWindowLogFileOn) { g_pLogFileOn = mainWindowLogFileOn; }

bool IsLogFileOn() { return g_pLogFileOn == nullptr || *g_pLogFileOn == 1; }

void GetRunLogDir(char* buffer) {
  if (buffer == nullptr) return;
  if (g_sLogDir.empty()) {
    char szDirBuff[kDirBufferSize];
    std::memset(szDirBuff, 0, sizeof(szDirBuff));
    const DWORD length = GetTempPathA(kDirBufferSize, szDirBuff);
    // A result of the buffer's size or more means the path did not fit.
    if (length == 0 || length >= kDirBufferSize) {
      const DWORD code = GetLastError();
      szDirBuff[kDirBufferSize - 1] = '\0';
      CRunLog log;
      log.LogError("CCvScrubberDlg::GetLogDir() -- GetTempPath()",
                   FormatText("szDirBuff = '%s'", szDirBuff), code);
    } else {
      g_sLogDir.assign(szDirBuff, length);
    }
  }
  const size_t n = g_sLogDir.size() < kDirBufferSize ? g_sLogDir.size() : kDirBufferSize - 1;
  std::memcpy(buffer, g_sLogDir.data(), n);
  buffer[n] = '\0';
}

std::string RunLogPath() { return g_sLogDir + LoadStr(IDS_LOG_FILE_NAME); }

void ResetRunLogState() { g_sLogDir.clear(); }
