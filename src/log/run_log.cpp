// One CRunLog makes one entry: open (append, exclusive), write, close.
#include "log/run_log.h"

#include "log/error_reports.h"
#include "platform/format_text.h"
#include "resources/string_table.h"

CRunLog::CRunLog() {
  if (!IsLogFileOn()) return;
  const std::string path = RunLogPath();
  // Exclusive access: no other opener may read or write while an entry is made.
  if (!m_file.OpenAppend(path, 0)) {
    const int cause = FileErrorCause(m_file.LastError());
    const std::string text = FormatText(LoadStr(IDS_LOG_OPEN_FAILED), cause, path.c_str());
    MessageBoxA(nullptr, text.c_str(), LoadStr(IDS_MESSAGE_CAPTION), MB_OK);
  }
}

CRunLog::~CRunLog() { Close(); }

void CRunLog::Close() { m_file.Close(); }

void CRunLog::Append(const std::string& first, const std::string& second) {
  if (!IsLogFileOn() || !m_file.IsOpen()) return;
  // One write for the whole entry: a failed write (a full disk) loses only
  // this entry, leaves what is on disk as it was, and the run goes on.
  m_file.AppendText(first + second);
  Close();
}

void CRunLog::LogText(std::string text) { Append(text, std::string()); }

void CRunLog::LogNote(std::string origin, std::string detail) {
  Append(">>> Origin: " + origin + "\n", "\t" + detail + " \n\n");
}

void CRunLog::LogError(std::string origin, std::string detail, DWORD code) {
  if (!IsLogFileOn() || !m_file.IsOpen()) return;
  std::string second;
  if (code != 0) {
    second = "\tSystem message: " + SystemMessageText(code) +
             " \n\tAdditional Information: " + detail + "\n\n";
  } else {
    second = "\t" + detail + " \n";
  }
  Append(">>> Origin: " + origin + "\n", second);
}
