// The clipboard: what each call answers when the clipboard is not open, and
// text handed over and read back. The cases open it without a window
// (OpenClipboard(NULL)), as a program without one may; under Wine the null
// display driver keeps the clipboard in the Wine server. What Windows
// answers: dlls/user32/tests/clipboard.c (test_ClipboardOwner and others).
#include <cstring>

#include "conformance/conformance.h"

namespace {

const DWORD kNotOpen = 1418;  // ERROR_CLIPBOARD_NOT_OPEN

HGLOBAL TextBlock(const char* text) {
  const size_t size = std::strlen(text) + 1;
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size);
  CHECK_TRUE(h != nullptr);
  if (h == nullptr) return nullptr;
  void* p = GlobalLock(h);
  CHECK_TRUE(p != nullptr);
  if (p != nullptr) std::memcpy(p, text, size);
  GlobalUnlock(h);
  return h;
}

}  // namespace

CONFORMANCE_CASE(clipboard, CloseClipboard_NotOpenGives1418) {
  SetLastError(0xdeadbeef);
  CHECK_EQ(CloseClipboard(), FALSE);
  CHECK_ERROR(kNotOpen);
}

CONFORMANCE_CASE(clipboard, EmptyClipboard_NotOpenGives1418) {
  SetLastError(0xdeadbeef);
  CHECK_EQ(EmptyClipboard(), FALSE);
  CHECK_ERROR(kNotOpen);
}

CONFORMANCE_CASE(clipboard, SetClipboardData_NotOpenGives1418) {
  HGLOBAL h = TextBlock("not handed over");
  SetLastError(0xdeadbeef);
  CHECK_TRUE(SetClipboardData(CF_TEXT, h) == nullptr);
  CHECK_ERROR(kNotOpen);
  CHECK_TRUE(GlobalFree(h) == nullptr);  // still the caller's
}

CONFORMANCE_CASE(clipboard, GetClipboardData_NotOpenGives1418) {
  SetLastError(0xdeadbeef);
  CHECK_TRUE(GetClipboardData(CF_TEXT) == nullptr);
  CHECK_ERROR(kNotOpen);
}

CONFORMANCE_CASE(clipboard, OpenClipboard_AgainForTheSameWindowSucceeds) {
  CHECK_EQ(OpenClipboard(nullptr), TRUE);
  CHECK_EQ(OpenClipboard(nullptr), TRUE);
  CHECK_EQ(CloseClipboard(), TRUE);
  // One close ends both opens.
  SetLastError(0xdeadbeef);
  CHECK_EQ(CloseClipboard(), FALSE);
  CHECK_ERROR(kNotOpen);
}

CONFORMANCE_CASE(clipboard, SetClipboardData_TextIsReadBackUntilEmptied) {
  const char kText[] = "Conformance\r\ntext";
  CHECK_EQ(OpenClipboard(nullptr), TRUE);
  CHECK_EQ(EmptyClipboard(), TRUE);
  CHECK_EQ(IsClipboardFormatAvailable(CF_TEXT), FALSE);
  HGLOBAL h = TextBlock(kText);
  CHECK_TRUE(SetClipboardData(CF_TEXT, h) == h);
  CHECK_EQ(IsClipboardFormatAvailable(CF_TEXT), TRUE);
  HANDLE data = GetClipboardData(CF_TEXT);
  CHECK_TRUE(data != nullptr);
  const char* text = data != nullptr ? static_cast<const char*>(GlobalLock(data)) : nullptr;
  CHECK_TRUE(text != nullptr);
  if (text != nullptr) CHECK_STR(text, kText);
  if (data != nullptr) GlobalUnlock(data);
  CHECK_EQ(CloseClipboard(), TRUE);
  CHECK_EQ(IsClipboardFormatAvailable(CF_TEXT), TRUE);  // stays after the close

  CHECK_EQ(OpenClipboard(nullptr), TRUE);
  CHECK_EQ(EmptyClipboard(), TRUE);
  CHECK_EQ(IsClipboardFormatAvailable(CF_TEXT), FALSE);
  CHECK_EQ(CloseClipboard(), TRUE);
}
