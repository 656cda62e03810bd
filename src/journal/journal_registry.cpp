// Registry backups in REGEDIT4, read with the calls the removal steps use.
#include "journal/journal_registry.h"

#include <cstdio>
#include <set>
#include <vector>

#include "journal/undo_journal.h"
#include "platform/ansi_text.h"

namespace {

constexpr char kRegEdit4Header[] = "REGEDIT4\r\n\r\n";
// Longest value name on the NT family (16383) with its terminator; the 9x
// family's are shorter.
constexpr DWORD kValueNameBuffer = 16384;
constexpr DWORD kKeyNameBuffer = 256;
// regedit starts a continuation line once a hex line passes this width.
constexpr size_t kHexLineWidth = 76;

// What Undo.reg holds already, as "ROOT\PATH" for a key and
// "ROOT\PATH\tNAME" for a value, in upper case. regedit applies the file
// from the top, so an item backed up twice (a count lowered, then deleted)
// would come back in its later state: only an item's first backup is written.
std::set<std::string> g_journalled;

std::string KeyId(HKEY root, const std::string& path) {
  return UpperText(RegEditRootName(root) + "\\" + path);
}

std::string ValueId(const std::string& keyId, const std::string& name) {
  return keyId + "\t" + UpperText(name);
}

// True when the key or one of its parents was backed up whole before.
bool KeyJournalled(const std::string& keyId) {
  for (size_t at = keyId.size(); at != std::string::npos && at > 0;
       at = keyId.rfind('\\', at - 1)) {
    if (g_journalled.count(keyId.substr(0, at))) return true;
  }
  return false;
}

// Whether Undo.reg is still to be made; a new file starts a new record.
bool UndoRegIsNew() {
  const bool isNew =
      GetFileAttributesA(g_UndoJournal.PathOf(kJournalRegFile).c_str()) == INVALID_FILE_ATTRIBUTES;
  if (isNew) g_journalled.clear();
  return isNew;
}

// Codes the removal steps take as "nothing there to delete".
bool IsMissing(LONG rc) {
  return rc == ERROR_FILE_NOT_FOUND || rc == ERROR_BADKEY || rc == ERROR_CANTOPEN;
}

// A name that no REGEDIT4 line can carry (a line end would split it).
bool HasLineEnd(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

std::string WithoutTrailingBackslashes(std::string path) {
  while (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

std::string JoinPath(const std::string& parent, const std::string& name) {
  return parent.empty() ? name : parent + "\\" + name;
}

// The value's type and whole data; retried while the value grows.
LONG ReadValue(HKEY key, const std::string& name, DWORD* type, std::string* data) {
  DWORD size = 0;
  LONG rc = RegQueryValueExA(key, name.c_str(), nullptr, type, nullptr, &size);
  for (int tries = 0; rc == ERROR_SUCCESS && tries < 4; ++tries) {
    std::vector<BYTE> buffer(size + 1);
    DWORD got = size;
    rc = RegQueryValueExA(key, name.c_str(), nullptr, type, buffer.data(), &got);
    if (rc == ERROR_MORE_DATA) {
      size = got;
      rc = ERROR_SUCCESS;
      continue;
    }
    if (rc == ERROR_SUCCESS) data->assign(reinterpret_cast<const char*>(buffer.data()), got);
    return rc;
  }
  return rc == ERROR_SUCCESS ? ERROR_MORE_DATA : rc;
}

// The subkey names of an open key, in the order Windows lists them.
LONG SubkeyNames(HKEY key, std::vector<std::string>* names) {
  char name[kKeyNameBuffer];
  for (DWORD index = 0;; ++index) {
    DWORD size = kKeyNameBuffer;
    const LONG rc = RegEnumKeyExA(key, index, name, &size, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
    if (rc != ERROR_SUCCESS) return rc;
    names->emplace_back(name, size);
  }
}

// The key's section: its line, its values and a blank line, then those of
// its subkeys. A subkey gone while the tree is read needs no backup.
LONG ExportTree(HKEY root, const std::string& path, std::string* out,
                std::vector<std::string>* ids) {
  const std::string keyId = KeyId(root, path);
  if (KeyJournalled(keyId)) return ERROR_SUCCESS;
  HKEY key = nullptr;
  LONG rc = RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key);
  if (rc != ERROR_SUCCESS) return rc;
  if (HasLineEnd(path)) {
    RegCloseKey(key);
    return ERROR_INVALID_DATA;
  }
  std::string section = RegEditKeyLine(root, path);
  std::vector<char> name(kValueNameBuffer);
  for (DWORD index = 0;; ++index) {
    DWORD size = kValueNameBuffer;
    DWORD type = REG_NONE;
    rc = RegEnumValueA(key, index, name.data(), &size, nullptr, &type, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) {
      rc = ERROR_SUCCESS;
      break;
    }
    std::string data;
    if (rc == ERROR_SUCCESS) rc = ReadValue(key, std::string(name.data(), size), &type, &data);
    if (rc == ERROR_SUCCESS && HasLineEnd(std::string(name.data(), size))) rc = ERROR_INVALID_DATA;
    if (rc != ERROR_SUCCESS) break;
    // A value backed up on its own before keeps that older state.
    if (g_journalled.count(ValueId(keyId, std::string(name.data(), size)))) continue;
    section += RegEditValueLine(std::string(name.data(), size), type, data);
  }
  std::vector<std::string> subkeys;
  if (rc == ERROR_SUCCESS) rc = SubkeyNames(key, &subkeys);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) return rc;
  *out += section + "\r\n";
  ids->push_back(keyId);
  for (const std::string& subkey : subkeys) {
    rc = ExportTree(root, JoinPath(path, subkey), out, ids);
    if (rc != ERROR_SUCCESS && !IsMissing(rc)) return rc;
  }
  return ERROR_SUCCESS;
}

// The removal steps name keys in lower case: the restore must make the key
// again under the name it had, which its parent lists.
std::string StoredKeyPath(HKEY root, const std::string& path) {
  const size_t slash = path.rfind('\\');
  const std::string parent = slash == std::string::npos ? std::string() : path.substr(0, slash);
  const std::string wanted = LowerText(path.substr(slash == std::string::npos ? 0 : slash + 1));
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, parent.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return path;
  std::vector<std::string> names;
  SubkeyNames(key, &names);
  RegCloseKey(key);
  for (const std::string& name : names)
    if (LowerText(name) == wanted) return JoinPath(parent, name);
  return path;
}

// The same for a value name, among the names of the open key.
std::string StoredValueName(HKEY key, const std::string& valueName) {
  const std::string wanted = LowerText(valueName);
  std::vector<char> name(kValueNameBuffer);
  for (DWORD index = 0;; ++index) {
    DWORD size = kValueNameBuffer;
    if (RegEnumValueA(key, index, name.data(), &size, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
      return valueName;
    if (LowerText(std::string(name.data(), size)) == wanted) return std::string(name.data(), size);
  }
}

// One entry to Undo.reg, the file's header with the first one.
bool AppendToUndoReg(bool first, const std::string& entry, const std::vector<std::string>& ids,
                     DWORD* error) {
  if (g_UndoJournal.Append(kJournalRegFile, first ? kRegEdit4Header + entry : entry, error)) {
    g_journalled.insert(ids.begin(), ids.end());
    return true;
  }
  // A file made by a failed first write would lack its header.
  if (first) DeleteFileA(g_UndoJournal.PathOf(kJournalRegFile).c_str());
  return false;
}

std::string Named(HKEY root, const std::string& subKey, const std::string* valueName) {
  std::string what = RegEditRootName(root) + "\\" + subKey;
  if (valueName) {
    if (!what.empty() && what.back() != '\\') what += '\\';
    what += *valueName;
  }
  return what;
}

}  // namespace

std::string RegEditRootName(HKEY root) {
  if (root == HKEY_CLASSES_ROOT) return "HKEY_CLASSES_ROOT";
  if (root == HKEY_CURRENT_USER) return "HKEY_CURRENT_USER";
  if (root == HKEY_LOCAL_MACHINE) return "HKEY_LOCAL_MACHINE";
  if (root == HKEY_USERS) return "HKEY_USERS";
  if (root == HKEY_CURRENT_CONFIG) return "HKEY_CURRENT_CONFIG";
  if (root == HKEY_DYN_DATA) return "HKEY_DYN_DATA";
  return std::string();
}

std::string RegEditKeyLine(HKEY root, const std::string& subKey) {
  const std::string path = WithoutTrailingBackslashes(subKey);
  return "[" + RegEditRootName(root) + (path.empty() ? "" : "\\" + path) + "]\r\n";
}

std::string RegEditValueLine(const std::string& name, DWORD type, const std::string& data) {
  std::string line = name.empty() ? "@=" : RegQuoted(name) + "=";
  // A text of one terminator at its end, on one line, reads back as it was.
  if (type == REG_SZ && !data.empty() && data.find('\0') == data.size() - 1 && !HasLineEnd(data)) {
    return line + RegQuoted(data.substr(0, data.size() - 1)) + "\r\n";
  }
  if (type == REG_DWORD && data.size() == 4) {
    DWORD value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(data[i]);
    char digits[16];
    std::snprintf(digits, sizeof digits, "dword:%08lx", static_cast<unsigned long>(value));
    return line + digits + "\r\n";
  }
  if (type == REG_BINARY) {
    line += "hex:";
  } else {
    char prefix[24];
    std::snprintf(prefix, sizeof prefix, "hex(%lx):", static_cast<unsigned long>(type));
    line += prefix;
  }
  size_t lineStart = 0;
  for (size_t i = 0; i < data.size(); ++i) {
    char pair[4];
    std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned char>(data[i]));
    line += pair;
    if (i + 1 == data.size()) break;
    line += ',';
    if (line.size() - lineStart >= kHexLineWidth) {
      line += "\\\r\n  ";
      lineStart = line.size() - 2;
    }
  }
  return line + "\r\n";
}

bool JournalKey(HKEY root, const std::string& subKey) {
  if (!g_UndoJournal.IsOn()) return true;
  if (RegEditRootName(root).empty()) {
    LogNoBackup(Named(root, subKey, nullptr), ERROR_INVALID_HANDLE);
    return false;
  }
  const bool first = UndoRegIsNew();
  std::string entry;
  std::vector<std::string> ids;
  LONG rc = ExportTree(root, StoredKeyPath(root, WithoutTrailingBackslashes(subKey)), &entry, &ids);
  if (IsMissing(rc) || (rc == ERROR_SUCCESS && entry.empty())) return true;
  DWORD error = static_cast<DWORD>(rc);
  if (rc == ERROR_SUCCESS && AppendToUndoReg(first, entry, ids, &error)) return true;
  LogNoBackup(Named(root, subKey, nullptr), error);
  return false;
}

bool JournalValue(HKEY root, const std::string& subKey, const std::string& valueName) {
  if (!g_UndoJournal.IsOn()) return true;
  const std::string path = WithoutTrailingBackslashes(subKey);
  const bool first = UndoRegIsNew();
  HKEY key = nullptr;
  LONG rc = RegEditRootName(root).empty() ? ERROR_INVALID_HANDLE
                                          : RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key);
  if (IsMissing(rc)) return true;
  std::string entry;
  std::vector<std::string> ids;
  if (rc == ERROR_SUCCESS) {
    const std::string name = StoredValueName(key, valueName);
    ids.push_back(ValueId(KeyId(root, path), name));
    if (KeyJournalled(KeyId(root, path)) || g_journalled.count(ids.back())) {
      RegCloseKey(key);
      return true;  // its first state is in the file already
    }
    DWORD type = REG_NONE;
    std::string data;
    rc = ReadValue(key, name, &type, &data);
    RegCloseKey(key);
    if (IsMissing(rc)) return true;
    if (rc == ERROR_SUCCESS && (HasLineEnd(path) || HasLineEnd(name))) rc = ERROR_INVALID_DATA;
    if (rc == ERROR_SUCCESS)
      entry = RegEditKeyLine(root, StoredKeyPath(root, path)) + RegEditValueLine(name, type, data) +
              "\r\n";
  }
  DWORD error = static_cast<DWORD>(rc);
  if (rc == ERROR_SUCCESS && AppendToUndoReg(first, entry, ids, &error)) return true;
  LogNoBackup(Named(root, subKey, &valueName), error);
  return false;
}
