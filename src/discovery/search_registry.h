// Read-only access to HKEY_LOCAL_MACHINE for discovery, and the table of the
// four-letter hive codes used by the registry lists.
#pragma once

#include "platform/win32.h"

class CSearchRegistry {
 public:
  // Opens HKEY_LOCAL_MACHINE\subKey for reading ("" opens the hive itself).
  // A missing key is not logged; any other failure is.
  bool OpenKey(const char* subKey);
  // Reads one value of the open key as text into buffer (zero-filled first,
  // always terminated) and closes the key whatever the outcome. False for a
  // missing, too long or empty value; only the empty value is not logged.
  bool ReadValue(const char* valueName, char* buffer, DWORD capacity);

 private:
  HKEY m_hKey = nullptr;
};

// The predefined hive of a code ("HKLM", "hkcr" ...), or nullptr.
HKEY GetMainRegKeyHandle(const char* sKeyCode);
// Copies the hive's full name ("HKEY_LOCAL_MACHINE" ...) into buffer; false
// and nothing written for another handle or a capacity below 22.
bool GetMainRegKeyName(HKEY hive, char* buffer, DWORD capacity);

// Terminates a text that a registry query may have left filling the whole
// buffer: the last byte becomes the terminator.
void TerminateQueriedText(char* buffer, DWORD capacity);
