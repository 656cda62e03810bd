// The clipboard calls of win32.h on the simulated PC. The program puts text
// on the clipboard: the transcript gets "[clipboard] TEXT".
#include "platform/win32.h"
#include "sim/machine.h"
#include "sim/transcript.h"

namespace {

sim::Clipboard& Board(sim::Machine& m) {
  m.clipboard.Seed(m);
  return m.clipboard;
}

// Drops the data of every format; the system frees what it was given.
void DropFormats(sim::Machine& m) {
  for (const auto& format : m.clipboard.formats) m.global_memory.Free(format.second);
  m.clipboard.formats.clear();
}

}  // namespace

BOOL WINAPI OpenClipboard(HWND hWndNewOwner) {
  sim::Machine& m = sim::CurrentOrDie();
  sim::Clipboard& board = Board(m);
  if (DWORD e = m.faults.Check("OpenClipboard")) return sim::Fail(m, e, FALSE);
  // Held open by another program, or by this one for another window.
  if (board.open_elsewhere || (board.open && board.opened_by != hWndNewOwner))
    return sim::Fail(m, ERROR_ACCESS_DENIED, FALSE);
  board.open = true;
  board.opened_by = hWndNewOwner;
  return TRUE;
}

BOOL WINAPI EmptyClipboard() {
  sim::Machine& m = sim::CurrentOrDie();
  sim::Clipboard& board = Board(m);
  if (DWORD e = m.faults.Check("EmptyClipboard")) return sim::Fail(m, e, FALSE);
  if (!board.open) return sim::Fail(m, ERROR_CLIPBOARD_NOT_OPEN, FALSE);
  DropFormats(m);
  board.owner = board.opened_by;
  return TRUE;
}

HANDLE WINAPI SetClipboardData(UINT uFormat, HANDLE hMem) {
  sim::Machine& m = sim::CurrentOrDie();
  sim::Clipboard& board = Board(m);
  if (DWORD e = m.faults.Check("SetClipboardData")) return sim::Fail<HANDLE>(m, e, nullptr);
  if (!board.open) return sim::Fail<HANDLE>(m, ERROR_CLIPBOARD_NOT_OPEN, nullptr);
  auto old = board.formats.find(uFormat);
  if (old != board.formats.end() && old->second != hMem) m.global_memory.Free(old->second);
  board.formats[uFormat] = hMem;
  sim::GlobalBlock* block = m.global_memory.Find(hMem);
  if (block != nullptr) block->on_clipboard = true;
  if (uFormat == CF_TEXT) m.user.Write("clipboard", sim::EscapeText(board.Text(m)));
  return hMem;
}

HANDLE WINAPI GetClipboardData(UINT uFormat) {
  sim::Machine& m = sim::CurrentOrDie();
  sim::Clipboard& board = Board(m);
  if (DWORD e = m.faults.Check("GetClipboardData")) return sim::Fail<HANDLE>(m, e, nullptr);
  if (!board.open) return sim::Fail<HANDLE>(m, ERROR_CLIPBOARD_NOT_OPEN, nullptr);
  auto it = board.formats.find(uFormat);
  return it == board.formats.end() ? nullptr : it->second;
}

BOOL WINAPI IsClipboardFormatAvailable(UINT format) {
  sim::Machine& m = sim::CurrentOrDie();
  if (DWORD e = m.faults.Check("IsClipboardFormatAvailable")) return sim::Fail(m, e, FALSE);
  return Board(m).formats.count(format) > 0 ? TRUE : FALSE;
}

BOOL WINAPI CloseClipboard() {
  sim::Machine& m = sim::CurrentOrDie();
  sim::Clipboard& board = Board(m);
  if (DWORD e = m.faults.Check("CloseClipboard")) return sim::Fail(m, e, FALSE);
  if (!board.open) return sim::Fail(m, ERROR_CLIPBOARD_NOT_OPEN, FALSE);
  board.open = false;
  board.opened_by = nullptr;
  return TRUE;
}
