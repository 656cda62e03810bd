// Deletion of registry keys whose access lists refuse deletion even to an
// administrator (Plug-and-Play device keys on the NT family): the key and
// each subkey are given to the Administrators group, their access lists are
// removed, and the tree is deleted from the bottom up. The process is
// prepared once per run, at the first protected key.
#pragma once

#include <string>

#include "platform/win32.h"

class CSecureRegDelete {
 public:
  // Deletes hive code text + "\" + key path with its subkeys: 0, or the
  // Windows error code of the step that failed.
  LONG DeleteSecureKey(const char* sHive, const char* sKey);

  // The one-time preparation: the Administrators identity, the process
  // token and its take-ownership privilege.
  void Init();
  // The own process token for adjusting privileges and queries; null on failure.
  void GetTokenHandle(HANDLE* phToken);
  // Enables SeTakeOwnershipPrivilege in the token for the rest of the process.
  void AssertTakeOwnership(HANDLE hToken);
  // Gives one key to the Administrators group and removes its access list;
  // failures are silent.
  void TakeKeyOwnership(HKEY hHive, const std::string& sKey);
  // Takes over and deletes the key and its subtree, subkeys first.
  LONG DeleteKeyTree(HKEY hHive, const std::string& sKey);
  // "HKLM", "HKEY_LOCAL_MACHINE", "HKCR" ... (case ignored), or nullptr.
  static HKEY GetHiveByName(const std::string& sName);
};

// The protected key being handled, as the reports quote it (run-wide).
const std::string& CurrentSecureKey();
// Forgets the preparation, the identity, the token and the current key
// (the identity and token belong to the process and end with it).
void ResetSecureRegDeleteState();
