// The remover of the registry and file lists. One is made on the stack of each
// step that uses it and discarded after it.
#pragma once

#include <string>
#include <unordered_set>

#include "config/string_list.h"
#include "files/batch_erase_files.h"

// Files whose shared counter stayed above zero: the file remover leaves them.
extern CStringArray g_aSaveFiles;
// Directories to remove at the next start of Windows, in the order found;
// never cleared during a run (a directory may stand in it more than once).
extern CStringArray g_aRebootDirs;

class CRemoveSoftware {
 public:
  CRemoveSoftware();

  // 1 when the current user may write under HKEY_LOCAL_MACHINE\testKey (or the
  // key does not exist), 0 otherwise (logged).
  int HasAccessRights(const std::string& testKey);

  // Removes the entries of the registry list.
  int EraseRegList(const CStringArray& list, int versionCode);

  // Removes the files of the files list and sweeps its ">" directories; what
  // cannot go now is written into the erase batch, which is then closed and
  // registered. 1 when the list was gone through, 0 when it was empty or
  // the batch could not be created.
  int DeleteFiles(const CStringArray& list, int versionCode);
  // Deletes the files directly in dir (not its subdirectories), then dir
  // itself, or schedules what is left. 0 when dir cannot be entered or the
  // batch could not be created. The current directory is always restored.
  int DelFilesFromDir(const std::string& dir, int versionCode);
  // 1 when the file was read-only and no longer is.
  int RemoveReadOnlyAttrib(const std::string& path);
  // 1 when path is one of g_aSaveFiles (case ignored).
  int IsSaveFile(const std::string& path);
  // Writes g_aRebootDirs into the batch (creating it first when needed). 0
  // when the batch had to be created and that failed.
  int AddDirsToEraseBatch(int versionCode);
  // Moves the "My Faxes" folder under dir to the Recycle Bin. 1 when it is
  // gone or was not there, 0 when the move failed.
  int DelMyFaxesDir(const std::string& dir);

  CBatchEraseFiles& Batch() { return m_batch; }

 private:
  // Hands an undeletable file to the batch, creating it first when needed.
  // False when the batch could not be created (the pass ends); scheduled
  // tells whether the file's lines were written.
  bool Defer(const std::string& path, int versionCode, bool& scheduled);

  // Holds the index of g_aSaveFiles for the length of one files pass.
  class SaveFileIndex {
   public:
    explicit SaveFileIndex(CRemoveSoftware& remover);
    ~SaveFileIndex();
    SaveFileIndex(const SaveFileIndex&) = delete;
    SaveFileIndex& operator=(const SaveFileIndex&) = delete;

   private:
    CRemoveSoftware& m_remover;
  };

  // DelFilesFromDir's work once dir is the current directory.
  int SweepCurrentDirectory(const std::string& dir, int versionCode);

  CBatchEraseFiles m_batch;
  // g_aSaveFiles upper-cased, made once per files pass (the list does not
  // change during it): each entry is then looked up, not compared with every
  // saved file.
  std::unordered_set<std::string> m_saveIndex;
  bool m_saveIndexed = false;
};

// Writes text as one run-log entry.
void LogFileText(const std::string& text);
// True (and logged) when path is one the remover must not act on.
bool SkipUnsafePath(const std::string& path);
