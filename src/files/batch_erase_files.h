// The deferred erase batch: what Windows will not let go of now is written as
// commands into EraseVtc.bat in the temporary directory, which is registered
// to run once at the next start of Windows. One per file remover.
#pragma once

#include <string>

#include "platform/crt_file.h"
#include "platform/win32.h"

// States of the batch.
constexpr int kBatchNotCreated = 0;
constexpr int kBatchCreated = 1;
constexpr int kBatchFailed = -111;

// Below this many free bytes on the temporary drive no batch is made.
constexpr ULONGLONG kBatchSpaceNeeded = 16384;
// What a Windows 95 without the 64-bit free-space query counts as free.
constexpr ULONGLONG kSpaceUnknownButEnough = 4294967295ULL;

// HKEY_LOCAL_MACHINE key and value that run the batch once.
constexpr char kRunOnceKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

class CBatchEraseFiles {
 public:
  // 1 created (or reopened to go on with an earlier run's batch), 0 no usable
  // temporary directory (a later call tries again), -111 failed for good.
  int CreateEraseBatch(int versionCode);
  // path: a file, or "+" and a directory. 1 when its three lines were
  // written; 0 when nothing (or, after a failed write, not all) was written.
  int AddToEraseBatch(const std::string& path, int versionCode);
  // Closes the batch and registers it; 0 (state back to 0) when the
  // registration failed.
  int CloseEraseBatch(int versionCode);

  int GetState() const { return m_nState; }
  void SetState(int state) { m_nState = state; }

  // The temporary directory (asked once), or "" when there is no usable one.
  std::string GetWinTempDirectory();
  // Bytes free for the caller on the temporary directory's drive, 0 on failure.
  ULONGLONG GetTempDriveSpace(int versionCode);
  // 1 when the run-once value names the batch in dir, 0 otherwise.
  int WriteToRegRunOnce(const std::string& dir);

 private:
  std::string BatchPath() const;
  // Opens the batch: appending to an earlier run's batch that is still
  // registered, else a new file with the header. False when logged as failed.
  bool OpenBatch();
  // Writes text; on failure logs the origin and closes the batch.
  bool Write(const std::string& text, const char* origin);

  CCrtFile m_File;
  int m_nState = kBatchNotCreated;
  std::string m_sTempDir;
};

// True when HKEY_LOCAL_MACHINE's run-once value still names batchPath (case
// ignored) and that file exists: an earlier run's batch that has not run yet.
bool IsRegisteredEraseBatch(const std::string& batchPath);

// dir with a backslash added unless it ends with one.
std::string WithBackslash(const std::string& dir);
// A file name without its extension.
std::string WithoutExtension(const std::string& name);
