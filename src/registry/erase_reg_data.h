// The registry work of the list eraser: whole keys, single values, shared-file
// counters and keys found by a value of theirs, with the Plug-and-Play tag of
// key paths and value names replaced first. Keeps no state of its own.
#pragma once

#include <string>

#include "platform/win32.h"

// The Plug-and-Play ID that replaces every tag of the run: found by the first
// tag met, then kept (emptied when the remover of the uninstall is made).
extern std::string g_szPnPtext;

// Longest key path acted on; a longer one is reported and skipped rather
// than cut (a cut path can name a parent key).
constexpr size_t kMaxKeyPath = 259;
// Buffer of a key path or value name while its tag is expanded.
constexpr size_t kExpandBuffer = 1024;
// Buffers of the texts before and after a tag.
constexpr size_t kTagPartBuffer = 256;

class CEraseRegData {
 public:
  // Deletes hive\keyPath with its subkeys; true when it is gone (or was
  // absent). hiveCode is the list's four characters (for protected keys).
  bool DeleteRegKey(HKEY hive, const std::string& keyPath, int versionCode,
                    const std::string& hiveCode);
  // Deletes one value; keyPath ends with its backslash.
  bool DeleteRegValue(HKEY hive, const std::string& keyPath, const std::string& valueName);
  // "-HKLM\path\" and the file path: the new count (0 or more), -1 on failure.
  int DecrementRegCounter(const std::string& entry, const std::string& valueName);
  // "*HKLM\parent": the last subkey by name whose value `name` equals data
  // (case ignored); entry then becomes "HKLM\parent\subkey".
  bool FindVariableKey(std::string& entry, const std::string& name, const std::string& data);

  // Lowers keyPath and replaces its first "$pnp$" by g_szPnPtext (searched
  // among the subkeys of the key before the tag when still empty).
  bool PnPKeyManipulation(HKEY hive, std::string& keyPath, size_t capacity);
  // The same for a value name; the search looks at the key's value names.
  bool PnPValueManipulation(HKEY hive, const std::string& keyPath, std::string& valueName,
                            size_t capacity);
  // Sets g_szPnPtext from the first subkey name of parent containing an ID.
  bool SeekRegPnPIDtext(HKEY hive, const std::string& parent);
  // Sets g_szPnPtext from the first value name of the key containing an ID.
  bool SeekValuePnPIDtext(HKEY hive, const std::string& keyPath);
};

// The hive's full name ("HKEY_LOCAL_MACHINE" ...), empty for another handle.
std::string HiveName(HKEY hive);
