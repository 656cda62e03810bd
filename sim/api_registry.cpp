// The registry calls of the simulated PC, with Windows' results and codes.
// Registry calls return their error code and leave the last error alone.
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>

#include "platform/win32.h"
#include "sim/machine.h"
#include "sim/reg_name.h"
#include "sim/registry.h"

namespace {

using sim::OpenRegKey;
using sim::Registry;
using sim::RegKey;

constexpr size_t kMaxKeyPart = 255;
constexpr size_t kMaxValueName = 16383;
constexpr LONG kErrorNoAccess = 998;     // ERROR_NOACCESS: a bad data pointer
constexpr LONG kErrorBadPathname = 161;  // ERROR_BAD_PATHNAME
constexpr char kLinkName[] = "CurrentControlSet";

// What a handle stands for: the key, the rights granted, the path for faults.
struct Target {
  RegKey* key = nullptr;
  OpenRegKey* open = nullptr;  // null for a predefined handle
  std::string path;
};

std::string Text(LPCSTR s) { return s ? std::string(s) : std::string(); }

std::string JoinPath(const std::string& base, const std::string& sub) {
  std::string s = sub;
  while (!s.empty() && s.back() == '\\') s.pop_back();
  if (s.empty()) return base;
  if (base.empty()) return s;
  return base + "\\" + s;
}

// The path a fault names for this handle (before the handle is checked).
std::string HandlePath(Registry& reg, HKEY h) {
  if (Registry::IsPredefined(h)) return Registry::HiveCode(h);
  OpenRegKey* open = reg.Handle(h);
  return open ? open->path : std::string();
}

bool IsStringType(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

enum class PathUse { kOpen, kCreate };

// The subkey path as the registry walks it, or the error it gives. A leading
// backslash: NT refuses it (161), except under HKEY_CLASSES_ROOT from 2000
// on; 9x skips one when creating and finds no key when opening. Empty parts
// ("A\\B", a doubled trailing backslash) are skipped.
LONG NormalSubkey(const sim::Machine& m, HKEY hKey, PathUse use, std::string* sub) {
  std::string& s = *sub;
  if (!s.empty() && s[0] == '\\') {
    if (m.registry.nt_family) {
      if (hKey != HKEY_CLASSES_ROOT || m.system.version.major < 5) return kErrorBadPathname;
    } else if (use == PathUse::kOpen) {
      return ERROR_FILE_NOT_FOUND;
    }
    s.erase(0, 1);
  }
  if (s.find('\\') == std::string::npos) return ERROR_SUCCESS;
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && (out.empty() || out.back() == '\\')) continue;
    out += s[i];
  }
  if (!out.empty() && out.back() == '\\') out.pop_back();
  s = std::move(out);
  return ERROR_SUCCESS;
}

bool PartTooLong(const std::string& sub) {
  size_t start = 0;
  while (start <= sub.size()) {
    size_t slash = sub.find('\\', start);
    if (slash == std::string::npos) slash = sub.size();
    if (slash - start > kMaxKeyPart) return true;
    start = slash + 1;
  }
  return false;
}

// An unknown handle: 6 on NT; Windows 98 answers 1010 (ERROR_BADKEY).
LONG InvalidHandle(const Registry& reg) {
  return reg.nt_family ? ERROR_INVALID_HANDLE : ERROR_BADKEY;
}

// 0 and the target, 6 (9x: 1010) for an unknown handle, 1018 for a deleted key, 2 for
// a view whose key is missing (when not creating).
LONG Resolve(Registry& reg, HKEY h, bool createView, Target* t) {
  if (Registry::IsPredefined(h)) {
    t->key = reg.Predefined(h, createView);
    t->path = Registry::HiveCode(h);
    return t->key ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
  }
  OpenRegKey* open = reg.Handle(h);
  if (!open) return InvalidHandle(reg);
  if (open->key->deleted) return ERROR_KEY_DELETED;
  t->key = open->key.get();
  t->open = open;
  t->path = open->path;
  return ERROR_SUCCESS;
}

// Does the handle carry `need` (NT family)? A predefined handle carries what
// the key's access allows.
bool Granted(const Registry& reg, const Target& t, REGSAM need) {
  if (!reg.nt_family) return true;
  if (!t.open) {
    const REGSAM writes = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | DELETE;
    return !(need & writes) || !reg.WritesRefused(t.key);
  }
  return (t.open->access & need) == need;
}

// One key as RegDeleteKeyA removes it (no subkeys on NT; the tree on 9x).
LONG DeleteOneKey(Registry& reg, RegKey* key) {
  if (!key->parent) return ERROR_ACCESS_DENIED;  // a hive root
  if (reg.nt_family) {
    if (reg.CheckOpenAccess(key, DELETE) != ERROR_SUCCESS) return ERROR_ACCESS_DENIED;
    if (!key->subkeys().empty()) return ERROR_ACCESS_DENIED;
  }
  reg.Detach(key);
  return ERROR_SUCCESS;
}

// The shell's tree deletion: subkeys first, in enumeration order, stopping
// at the first refusal (what was deleted before it stays deleted).
LONG DeleteTreeLikeShell(Registry& reg, RegKey* key) {
  while (!key->subkeys().empty()) {
    LONG err = DeleteTreeLikeShell(reg, key->subkeys().begin()->get());
    if (err != ERROR_SUCCESS) return err;
  }
  return DeleteOneKey(reg, key);
}

// String data stored without its zero reads back with one added when the
// buffer has room for it; the size reported stays the stored size.
void TerminateIfRoom(const sim::RegValue& v, LPBYTE out, DWORD room) {
  const std::string_view d = v.data();
  if (IsStringType(v.type) && !d.empty() && d.size() < room && d.back() != '\0') out[d.size()] = 0;
}

void CopyName(const std::string& name, LPSTR out) {
  std::memcpy(out, name.data(), name.size());
  out[name.size()] = '\0';
}

}  // namespace

LONG WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                          PHKEY phkResult) {
  sim::Machine& m = sim::CurrentOrDie();
  Registry& reg = m.registry;
  const std::string sub = Text(lpSubKey);
  if (DWORD f = m.faults.Check("RegOpenKeyExA", "", JoinPath(HandlePath(reg, hKey), sub), "")) {
    if (phkResult) *phkResult = nullptr;
    return static_cast<LONG>(f);
  }
  if (!phkResult) return ERROR_INVALID_PARAMETER;
  // No subkey under a predefined key gives that key's own handle back.
  if (sub.empty() && Registry::IsPredefined(hKey)) {
    *phkResult = hKey;
    return ERROR_SUCCESS;
  }
  *phkResult = nullptr;
  Target base;
  if (LONG err = Resolve(reg, hKey, false, &base)) return err;
  std::string path = sub;
  if (LONG err = NormalSubkey(m, hKey, PathUse::kOpen, &path)) return err;
  if (PartTooLong(path)) return ERROR_INVALID_PARAMETER;
  RegKey* key = reg.Walk(base.key, path);
  if (!key) return ERROR_FILE_NOT_FOUND;
  if (LONG err = reg.CheckOpenAccess(key, samDesired)) return err;
  HKEY h = reg.AddHandle(key, samDesired, JoinPath(base.path, path));
  if (!h) return ERROR_NOT_ENOUGH_MEMORY;
  *phkResult = h;
  return ERROR_SUCCESS;
}

LONG WINAPI RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass,
                            DWORD dwOptions, REGSAM samDesired,
                            LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult,
                            LPDWORD lpdwDisposition) {
  sim::Machine& m = sim::CurrentOrDie();
  Registry& reg = m.registry;
  const std::string sub = Text(lpSubKey);
  if (DWORD f = m.faults.Check("RegCreateKeyExA", "", JoinPath(HandlePath(reg, hKey), sub), "")) {
    if (phkResult) *phkResult = nullptr;
    return static_cast<LONG>(f);
  }
  if (!phkResult) return ERROR_INVALID_PARAMETER;
  *phkResult = nullptr;
  Target base;
  if (LONG err = Resolve(reg, hKey, true, &base)) return err;
  std::string path = sub;
  if (LONG err = NormalSubkey(m, hKey, PathUse::kCreate, &path)) return err;
  if (PartTooLong(path)) return ERROR_INVALID_PARAMETER;
  RegKey* key = reg.Walk(base.key, path);
  DWORD disposition = REG_OPENED_EXISTING_KEY;
  if (key) {
    if (LONG err = reg.CheckOpenAccess(key, samDesired)) return err;
  } else {
    // The deepest existing key must let a subkey be created under it.
    RegKey* parent = base.key;
    std::string rest = path;
    while (!rest.empty()) {
      size_t slash = rest.find('\\');
      RegKey* next = reg.Walk(parent, rest.substr(0, slash));
      if (!next) break;
      parent = next;
      rest = slash == std::string::npos ? std::string() : rest.substr(slash + 1);
    }
    if (reg.nt_family && reg.WritesRefused(parent)) return ERROR_ACCESS_DENIED;
    bool created = false;
    LONG error = ERROR_SUCCESS;
    key = reg.WalkCreate(base.key, path, &created, &error);
    if (!key) return error ? error : ERROR_INVALID_PARAMETER;
    disposition = REG_CREATED_NEW_KEY;
  }
  HKEY h = reg.AddHandle(key, samDesired, JoinPath(base.path, path));
  if (!h) return ERROR_NOT_ENOUGH_MEMORY;
  *phkResult = h;
  if (lpdwDisposition) *lpdwDisposition = disposition;
  return ERROR_SUCCESS;
}

LONG WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                             LPBYTE lpData, LPDWORD lpcbData) {
  sim::Machine& m = sim::CurrentOrDie();
  Registry& reg = m.registry;
  const std::string name = Text(lpValueName);
  if (DWORD f = m.faults.Check("RegQueryValueExA", "", HandlePath(reg, hKey), name)) {
    return static_cast<LONG>(f);
  }
  Target t;
  if (LONG err = Resolve(reg, hKey, false, &t)) return err;
  if (lpReserved || (lpData && !lpcbData)) return ERROR_INVALID_PARAMETER;
  if (!Granted(reg, t, KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
  const sim::RegValue* v = t.key->FindValue(name);
  if (!v) return ERROR_FILE_NOT_FOUND;
  if (lpType) *lpType = v->type;
  const DWORD size = static_cast<DWORD>(v->data().size());
  if (!lpcbData) return ERROR_SUCCESS;
  if (lpData) {
    if (*lpcbData < size) {
      *lpcbData = size;  // the buffer stays untouched
      return ERROR_MORE_DATA;
    }
    if (size) std::memcpy(lpData, v->data().data(), size);
    TerminateIfRoom(*v, lpData, *lpcbData);
  }
  *lpcbData = size;
  return ERROR_SUCCESS;
}

LONG WINAPI RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType,
                           const BYTE* lpData, DWORD cbData) {
  sim::Machine& m = sim::CurrentOrDie();
  Registry& reg = m.registry;
  const std::string name = Text(lpValueName);
  if (DWORD f = m.faults.Check("RegSetValueExA", "", HandlePath(reg, hKey), name)) {
    return static_cast<LONG>(f);
  }
  Target t;
  if (LONG err = Resolve(reg, hKey, true, &t)) return err;
  if (!Granted(reg, t, KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
  if (name.size() > kMaxValueName) return ERROR_INVALID_PARAMETER;
  if (reg.nt_family) {
    if (!lpData && cbData) return kErrorNoAccess;
    // A string counted without its terminating zero gets it (the byte after
    // the count is read, as NT reads it).
    if (cbData && IsStringType(dwType) && lpData[cbData - 1] != 0 && lpData[cbData] == 0) ++cbData;
  } else if (dwType == REG_SZ) {
    // 9x measures a string itself, whatever the count says.
    if (!lpData) return ERROR_INVALID_PARAMETER;
    cbData = static_cast<DWORD>(std::strlen(reinterpret_cast<const char*>(lpData)) + 1);
  } else if (!lpData && cbData) {
    return kErrorNoAccess;
  }
  std::string_view data;
  if (cbData) data = std::string_view(reinterpret_cast<const char*>(lpData), cbData);
  reg.SetValue(t.key, name, dwType, data);
  return ERROR_SUCCESS;
}

namespace {

// The name of the subkey at `index` as RegEnumKeyExA lists it: sorted on NT
// (with the CurrentControlSet link under HKLM\SYSTEM), in creation order on
// 9x. False past the end.
bool SubkeyNameAt(Registry& reg, const Target& t, DWORD index, std::string* name) {
  RegKey* key = t.key;
  OpenRegKey* open = t.open;
  const RegKey::Children& children = key->subkeys();
  if (!reg.nt_family) {
    if (index >= children.size()) return false;
    if (!open) {
      *name = sim::AnsiName(reg.CreationOrderOf(*key)[index]->name);
      return true;
    }
    if (open->order_generation != key->generation) {
      open->creation_order = Registry::InCreationOrder(*key);
      open->order_generation = key->generation;
    }
    *name = sim::AnsiName(open->creation_order[index]->name);
    return true;
  }
  DWORD childIndex = index;
  if (reg.ListsCurrentControlSet(key)) {
    const auto at = children.lower_bound(std::string_view(kLinkName));
    const DWORD linkIndex = static_cast<DWORD>(std::distance(children.begin(), at));
    if (index == linkIndex) {
      *name = kLinkName;
      return true;
    }
    if (index > linkIndex) --childIndex;
  }
  if (childIndex >= children.size()) return false;
  RegKey::Children::const_iterator it;
  if (open && open->enum_generation == key->generation && open->enum_index <= childIndex) {
    it = open->enum_it;
    for (DWORD i = open->enum_index; i < childIndex; ++i) ++it;
  } else {
    it = children.begin();
    for (DWORD i = 0; i < childIndex; ++i) ++it;
  }
  if (open) {
    open->enum_generation = key->generation;
    open->enum_index = childIndex;
    open->enum_it = it;
  }
  // A name the code page cannot hold reads with '?' for what it lacks.
  *name = sim::AnsiName((*it)->name);
  return true;
}

}  // namespace

LONG WINAPI RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName,
                          LPDWORD lpReserved, LPSTR lpClass, LPDWORD lpcchClass,
                          PFILETIME lpftLastWriteTime) {
  sim::Machine& m = sim::CurrentOrDie();
  Registry& reg = m.registry;
  if (DWORD f = m.faults.Check("RegEnumKeyExA", "", HandlePath(reg, hKey), "")) {
    return static_cast<LONG>(f);
  }
  Target t;
  if (LONG err = Resolve(reg, hKey, false, &t)) return err;
  if (!lpName || !lpcchName || lpReserved) return ERROR_INVALID_PARAMETER;
  if (!Granted(reg, t, KEY_ENUMERATE_SUB_KEYS)) return ERROR_ACCESS_DENIED;
  std::string name;
  if (!SubkeyNameAt(reg, t, dwIndex, &name)) return ERROR_NO_MORE_ITEMS;
  if (name.size() + 1 > *lpcchName) return ERROR_MORE_DATA;
  if (lpClass && lpcchClass) {
    if (*lpcchClass < 1) return ERROR_MORE_DATA;
    lpClass[0] = '\0';
  }
  if (lpcchClass) *lpcchClass = 0;
  CopyName(name, lpName);
  *lpcchName = static_cast<DWORD>(name.size());
  if (lpftLastWriteTime) {
    lpftLastWriteTime->dwLowDateTime = 0;
    lpftLastWriteTime->dwHighDateTime = 0;
  }
  return ERROR_SUCCESS;
}

LONG WINAPI RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                          LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
  sim::Machine& m = sim::CurrentOrDie();
  Registry& reg = m.registry;
  if (DWORD f = m.faults.Check("RegEnumValueA", "", HandlePath(reg, hKey), "")) {
    return static_cast<LONG>(f);
  }
  Target t;
  if (LONG err = Resolve(reg, hKey, false, &t)) return err;
  if (!lpValueName || !lpcchValueName || lpReserved || (lpData && !lpcbData)) {
    return ERROR_INVALID_PARAMETER;
  }
  if (!Granted(reg, t, KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
  if (dwIndex >= t.key->values.size()) return ERROR_NO_MORE_ITEMS;
  const sim::RegValue& v = t.key->values[dwIndex];
  const std::string_view data = v.data();
  const DWORD size = static_cast<DWORD>(data.size());
  const std::string vname = sim::AnsiName(v.name());
  // A name or data that does not fit: both buffers and the name's count stay
  // as they were, the type and the size the data needs are reported.
  if (vname.size() + 1 > *lpcchValueName || (lpData && *lpcbData < size)) {
    if (lpType) *lpType = v.type;
    if (lpcbData) *lpcbData = size;
    return ERROR_MORE_DATA;
  }
  CopyName(vname, lpValueName);
  *lpcchValueName = static_cast<DWORD>(vname.size());
  if (lpType) *lpType = v.type;
  if (lpData) {
    if (size) std::memcpy(lpData, data.data(), size);
    TerminateIfRoom(v, lpData, *lpcbData);
  }
  if (lpcbData) *lpcbData = size;
  return ERROR_SUCCESS;
}

LONG WINAPI RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
  sim::Machine& m = sim::CurrentOrDie();
  Registry& reg = m.registry;
  const std::string sub = Text(lpSubKey);
  if (DWORD f = m.faults.Check("RegDeleteKeyA", "", JoinPath(HandlePath(reg, hKey), sub), "")) {
    return static_cast<LONG>(f);
  }
  Target base;
  if (LONG err = Resolve(reg, hKey, false, &base)) return err;
  if (!lpSubKey) return ERROR_INVALID_PARAMETER;
  std::string path = sub;
  if (LONG err = NormalSubkey(m, hKey, PathUse::kOpen, &path)) return err;
  RegKey* key = reg.Walk(base.key, path);
  if (!key) return ERROR_FILE_NOT_FOUND;
  if (key == base.key && !base.open) return ERROR_ACCESS_DENIED;  // a predefined key itself
  return DeleteOneKey(reg, key);
}

LONG WINAPI RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
  sim::Machine& m = sim::CurrentOrDie();
  Registry& reg = m.registry;
  const std::string name = Text(lpValueName);
  if (DWORD f = m.faults.Check("RegDeleteValueA", "", HandlePath(reg, hKey), name)) {
    return static_cast<LONG>(f);
  }
  Target t;
  if (LONG err = Resolve(reg, hKey, false, &t)) return err;
  if (!Granted(reg, t, KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
  return reg.DeleteValue(t.key, name) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

LONG WINAPI RegCloseKey(HKEY hKey) {
  sim::Machine& m = sim::CurrentOrDie();
  Registry& reg = m.registry;
  if (DWORD f = m.faults.Check("RegCloseKey", "", HandlePath(reg, hKey), "")) {
    return static_cast<LONG>(f);
  }
  if (Registry::IsPredefined(hKey)) return ERROR_SUCCESS;
  return reg.CloseHandle(hKey) ? ERROR_SUCCESS : InvalidHandle(reg);
}

DWORD WINAPI SHDeleteKeyA(HKEY hkey, LPCSTR pszSubKey) {
  sim::Machine& m = sim::CurrentOrDie();
  Registry& reg = m.registry;
  const std::string sub = Text(pszSubKey);
  if (DWORD f = m.faults.Check("SHDeleteKeyA", "", JoinPath(HandlePath(reg, hkey), sub), "")) {
    return f;
  }
  Target base;
  if (LONG err = Resolve(reg, hkey, false, &base)) return static_cast<DWORD>(err);
  std::string path = sub;
  if (LONG err = NormalSubkey(m, hkey, PathUse::kOpen, &path)) return static_cast<DWORD>(err);
  RegKey* key = reg.Walk(base.key, path);
  if (!key) return ERROR_FILE_NOT_FOUND;
  if (key == base.key && !base.open) return ERROR_ACCESS_DENIED;
  return static_cast<DWORD>(DeleteTreeLikeShell(reg, key));
}
