// The remover of the registry and file lists. One is made on the stack of each
// step that uses it and discarded after it.
#pragma once

#include <string>

#include "config/string_list.h"

// Files whose shared counter stayed above zero: the file remover leaves them.
extern CStringArray g_aSaveFiles;

class CRemoveSoftware {
 public:
  CRemoveSoftware();

  // 1 when the current user may write under HKEY_LOCAL_MACHINE\testKey (or the
  // key does not exist), 0 otherwise (logged).
  int HasAccessRights(const std::string& testKey);

  // Removes the entries of the registry list.
  int EraseRegList(const CStringArray& list, int versionCode);
  // Removes the files and directories of the files list.
  int DeleteFiles(const CStringArray& list, int versionCode);
  // Moves the "My Faxes" folder under dir to the Recycle Bin.
  int DelMyFaxesDir(const std::string& dir);
};
