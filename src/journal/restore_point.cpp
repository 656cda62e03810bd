// The restore point around the scrub, through srclient.dll.
#include "journal/restore_point.h"

#include <cstring>

#include "log/run_log.h"
#include "platform/format_text.h"
#include "resources/string_table.h"

CRestorePoint g_RestorePoint;

namespace {

constexpr char kLibrary[] = "srclient.dll";
constexpr char kFunction[] = "SRSetRestorePointA";

void Log(const std::string& text) {
  CRunLog log;
  log.LogText(text);
}

// Sequence numbers are 64-bit: the log writes them as decimal text.
std::string NumberText(INT64 n) { return std::to_string(static_cast<long long>(n)); }

// Only Windows ME (2) and XP (5) have System Restore.
bool HasSystemRestore(int versionCode) { return versionCode == 2 || versionCode == 5; }

}  // namespace

std::string RestorePointDescription(const std::string& deviceName) {
  std::string text = kRestorePointPrefix + deviceName;
  if (text.size() > static_cast<size_t>(MAX_DESC - 1)) text.resize(MAX_DESC - 1);
  return text;
}

bool CRestorePoint::Begin(const std::string& deviceName, int versionCode) {
  Reset();
  if (!HasSystemRestore(versionCode)) {
    Log(LoadStr(IDS_RESTORE_POINT_NO_VERSION));
    return false;
  }
  HMODULE library = LoadLibraryA(kLibrary);
  if (!library) {
    Log(FormatText(LoadStr(IDS_RESTORE_POINT_NO_LIBRARY), kLibrary,
                   static_cast<int>(GetLastError())));
    return false;
  }
  FARPROC proc = GetProcAddress(library, kFunction);
  if (!proc) {
    Log(FormatText(LoadStr(IDS_RESTORE_POINT_NO_FUNCTION), kFunction, kLibrary,
                   static_cast<int>(GetLastError())));
    FreeLibrary(library);
    return false;
  }
  // Through void(*)(), the one cast between function types GCC takes silently.
  SRSetRestorePointFn set =
      reinterpret_cast<SRSetRestorePointFn>(reinterpret_cast<void (*)()>(proc));

  const std::string description = RestorePointDescription(deviceName);
  RESTOREPOINTINFOA info;
  std::memset(&info, 0, sizeof info);
  info.dwEventType = BEGIN_SYSTEM_CHANGE;
  info.dwRestorePtType = APPLICATION_UNINSTALL;
  std::memcpy(info.szDescription, description.data(), description.size());
  STATEMGRSTATUS status;
  std::memset(&status, 0, sizeof status);
  // A FALSE return with a zero status is still a failure: no point was made.
  const BOOL made = set(&info, &status);
  if (!made || status.nStatus != ERROR_SUCCESS) {
    Log(FormatText(LoadStr(IDS_RESTORE_POINT_NOT_SET), kFunction, made ? "TRUE" : "FALSE",
                   static_cast<int>(status.nStatus)));
    FreeLibrary(library);
    return false;
  }
  m_hLibrary = library;
  m_pfnSet = set;
  m_bBegun = true;
  m_llSequence = status.llSequenceNumber;
  Log(FormatText(LoadStr(IDS_RESTORE_POINT_SET), NumberText(m_llSequence).c_str(),
                 description.c_str()));
  return true;
}

void CRestorePoint::End() {
  Finish(APPLICATION_UNINSTALL, IDS_RESTORE_POINT_ENDED, IDS_RESTORE_POINT_NOT_ENDED);
}

void CRestorePoint::EndEarly() {
  Finish(APPLICATION_UNINSTALL, IDS_RESTORE_POINT_ENDED_EARLY, IDS_RESTORE_POINT_NOT_ENDED);
}

void CRestorePoint::Finish(DWORD type, unsigned doneId, unsigned failedId) {
  if (!m_bBegun) return;
  // One call only: after it the point is System Restore's, whatever it answered.
  m_bBegun = false;
  RESTOREPOINTINFOA info;
  std::memset(&info, 0, sizeof info);
  info.dwEventType = END_SYSTEM_CHANGE;
  info.dwRestorePtType = type;
  info.llSequenceNumber = m_llSequence;
  STATEMGRSTATUS status;
  std::memset(&status, 0, sizeof status);
  const BOOL done = m_pfnSet(&info, &status);
  const std::string number = NumberText(m_llSequence);
  if (!done || status.nStatus != ERROR_SUCCESS) {
    Log(FormatText(LoadStr(failedId), number.c_str(), done ? "TRUE" : "FALSE",
                   static_cast<int>(status.nStatus)));
  } else {
    Log(FormatText(LoadStr(doneId), number.c_str()));
  }
  FreeLibrary(m_hLibrary);
  m_hLibrary = nullptr;
  m_pfnSet = nullptr;
}

void CRestorePoint::Reset() {
  m_hLibrary = nullptr;
  m_pfnSet = nullptr;
  m_bBegun = false;
  m_llSequence = 0;
}
