// The information dialog's text: the information file streamed into the
// rich-text control, and Copy to the clipboard.
#include <cstring>

#include "app/dialog_ids.h"
#include "app/info_dialog.h"
#include "log/run_log.h"
#include "platform/crt_file.h"
#include "platform/format_text.h"
#include "resources/string_table.h"

namespace {

// The path buffer holds 260 characters with its terminating zero.
constexpr size_t kPathChars = MAX_PATH - 1;

// The rich-text control's read callback: as many bytes of the file as are
// left, up to the size asked for.
DWORD CALLBACK ReadInfoChunk(DWORD_PTR dwCookie, LPBYTE pbBuff, LONG cb, LONG* pcb) {
  DWORD read = 0;
  const BOOL ok = ReadFile(reinterpret_cast<HANDLE>(dwCookie), pbBuff,
                           static_cast<DWORD>(cb < 0 ? 0 : cb), &read, nullptr);
  *pcb = static_cast<LONG>(read);
  if (!ok) {
    const DWORD error = GetLastError();
    return error != 0 ? error : 1;  // ends the stream
  }
  return 0;
}

// The current directory however long it is ("" when it cannot be read).
std::string CurrentDirectory() {
  std::string dir(MAX_PATH, '\0');
  DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(dir.size()), &dir[0]);
  if (length >= dir.size()) {  // too long: the size it needs, zero included
    dir.assign(length, '\0');
    length = GetCurrentDirectoryA(static_cast<DWORD>(dir.size()), &dir[0]);
    if (length >= dir.size()) length = 0;
  }
  dir.resize(length);
  return dir;
}

}  // namespace

int CInfoDlg::ReadRichEditFile() {
  if (m_nInfoFile == -1) return 1;
  std::string path = CurrentDirectory();
  if (path.empty() || path.back() != '\\') path += '\\';
  path += LoadStr(static_cast<unsigned>(m_nInfoFile));
  // A path longer than the buffer is never looked for: it counts as missing
  // and is shown as far as the buffer holds it.
  const bool fits = path.size() <= kPathChars;
  if (!fits) path.resize(kPathChars);
  if (!fits || CrtFindFirst(path) != 0) {
    CRunLog log;
    log.LogNote("CInfoDlg::ReadRichEditFile() -- _tfindfirst()",
                FormatText(LoadStr(IDS_INFO_FILE_NOT_FOUND_LOG), path.c_str()));
    MessageBoxA(m_pView->Handle(),
                FormatText(LoadStr(IDS_INFO_FILE_NOT_FOUND_BOX), path.c_str()).c_str(),
                LoadStr(IDS_MAIN_TITLE), MB_ICONINFORMATION | MB_OK);
    return 0;
  }
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    CRunLog log;
    log.LogNote("CInfoDlg::ReadRichEditFile() -- CFile constructor",
                FormatText(LoadStr(IDS_INFO_FILE_OPEN_FAILED), path.c_str()));
    return 0;
  }
  EDITSTREAM stream = {};
  stream.dwCookie = reinterpret_cast<DWORD_PTR>(file);
  stream.pfnCallback = ReadInfoChunk;
  m_pView->StreamIn(kIdRichText, SF_RTF, stream);
  CloseHandle(file);
  return 1;
}

// Each step only after the one before succeeded. The clipboard is closed
// whenever it was opened, so no other program is locked out of it, and the
// memory is freed unless the clipboard took it.
void CInfoDlg::CopyTextToClipboard() {
  std::string text = m_pView->GetSelText(kIdRichText);
  if (text.empty()) {
    m_pView->SetSel(kIdRichText, CHARRANGE{0, -1});
    text = m_pView->GetSelText(kIdRichText);
  }
  if (text.empty() || !OpenClipboard(m_pView->Handle())) return;
  if (EmptyClipboard()) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    bool handedOver = false;
    if (memory != nullptr) {
      char* bytes = static_cast<char*>(GlobalLock(memory));
      if (bytes != nullptr) {
        std::memcpy(bytes, text.c_str(), text.size() + 1);
        GlobalUnlock(memory);
        handedOver = SetClipboardData(CF_TEXT, memory) != nullptr;
      }
      if (!handedOver) GlobalFree(memory);
    }
  }
  CloseClipboard();
}
