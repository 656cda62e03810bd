// The undo journal: with the control file's UndoJournal switch on, every
// removal step hands what it is about to remove to the journal first, and
// what cannot be backed up is not removed. The journal is a folder beside the
// run log:
//   Undo.reg     the removed keys and values, and the old shared-DLL counts,
//                as REGEDIT4 (regedit /s puts them back)
//   Files.txt    one line a backed-up file: attributes, copy name, path
//   Files\       the copies (F000001, F000002, ...)
//   Folders.txt  folders removed, made again before the files come back
//   Removed.txt  what no script can put back (printers, services, ...)
//   Restore.bat  the restore script, written when the run ends
// Every file is appended entry by entry (one write an entry), so a run that
// stops half way leaves a journal of everything removed until then.
#pragma once

#include <string>
#include <vector>

#include "platform/win32.h"

// The journal's file names, relative to its folder.
constexpr char kJournalRegFile[] = "Undo.reg";
constexpr char kJournalFilesList[] = "Files.txt";
constexpr char kJournalCopiesFolder[] = "Files";
constexpr char kJournalFoldersList[] = "Folders.txt";
constexpr char kJournalRemovedList[] = "Removed.txt";
constexpr char kJournalScript[] = "Restore.bat";
// The journal folder is this name with a number: VtUndo.001, VtUndo.002, ...
constexpr char kJournalFolderBase[] = "VtUndo.";

// The kinds of removed items that no script can put back, as Removed.txt
// names them.
enum class JournalItem { kPrinter, kDriver, kPort, kMonitor, kService, kDevice, kPackage };
const char* JournalItemName(JournalItem kind);

class CUndoJournal {
 public:
  // Makes a new journal folder beside the run log and logs where it is.
  // False (logged) when no folder could be made: then nothing may be removed.
  bool Open();
  bool IsOn() const { return !m_sFolder.empty(); }
  // The journal folder without a trailing backslash; empty when off.
  const std::string& Folder() const { return m_sFolder; }
  std::string PathOf(const char* name) const;

  // Appends text to a journal file (made on first use), whole or not at all.
  // False when it could not be written; *error holds the Windows error.
  bool Append(const char* name, const std::string& text, DWORD* error);

  // A fresh name for a file copy below Files\, such as "Files\F000001".
  std::string NextCopyName();

  // Records an item that the restore script cannot put back, and logs it.
  // False (logged) when the record could not be written.
  bool RecordRemoved(JournalItem kind, const std::string& name);

  // Writes Restore.bat from the journal's lists and logs that the journal is
  // complete. Safe to call when off (does nothing) and more than once.
  void Close();

  // Forgets the journal (the next run starts without one).
  void Reset();

 private:
  std::string m_sFolder;
  unsigned m_nCopies = 0;
  bool m_bClosed = false;
};

extern CUndoJournal g_UndoJournal;

// Logs that an entry was kept because its backup could not be written.
// `what` names the entry as the step's own log lines do.
void LogNoBackup(const std::string& what, DWORD error);

// REGEDIT4 quoting: backslash and double quote escaped.
std::string RegQuoted(const std::string& text);
// A batch file argument: the text in double quotes.
std::string BatchQuoted(const std::string& text);
