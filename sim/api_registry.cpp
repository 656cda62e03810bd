// The registry calls of the simulated PC, with Windows' results and codes.
// Registry calls return their error code and leave the last error alone.
#include <cstring>
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
constexpr LONG kErrorNoAccess = 998;  // ERROR_NOACCESS: a bad data pointer

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

// 0 and the target, 6 for an unknown handle, 1018 for a deleted key, 2 for
// a view whose key is missing (when not creating).
LONG Resolve(Registry& reg, HKEY h, bool createView, Target* t) {
  if (Registry::IsPredefined(h)) {
    t->key = reg.Predefined(h, createView);
    t->path = Registry::HiveCode(h);
    return t->key ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
  }
  OpenRegKey* open = reg.Handle(h);
  if (!open) return ERROR_INVALID_HANDLE;
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
  *phkResult = nullptr;
  Target base;
  if (LONG err = Resolve(reg, hKey, false, &base)) return err;
  if (PartTooLong(sub)) return ERROR_INVALID_PARAMETER;
  RegKey* key = reg.Walk(base.key, sub);
  if (!key) return ERROR_FILE_NOT_FOUND;
  if (LONG err = reg.CheckOpenAccess(key, samDesired)) return err;
  HKEY h = reg.AddHandle(key, samDesired, JoinPath(base.path, sub));
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
  if (PartTooLong(sub)) return ERROR_INVALID_PARAMETER;
  RegKey* key = reg.Walk(base.key, sub);
  DWORD disposition = REG_OPENED_EXISTING_KEY;
  if (key) {
    if (LONG err = reg.CheckOpenAccess(key, samDesired)) return err;
  } else {
    // The deepest existing key must let a subkey be created under it.
    RegKey* parent = base.key;
    std::string rest = sub;
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
    key = reg.WalkCreate(base.key, sub, &created, &error);
    if (!key) return error ? error : ERROR_INVALID_PARAMETER;
    disposition = REG_CREATED_NEW_KEY;
  }
  HKEY h = reg.AddHandle(key, samDesired, JoinPath(base.path, sub));
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
  if (!lpData && cbData) return kErrorNoAccess;
  std::string_view data;
  if (cbData) data = std::string_view(reinterpret_cast<const char*>(lpData), cbData);
  reg.SetValue(t.key, name, dwType, data);
  return ERROR_SUCCESS;
}

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
  const RegKey::Children& children = t.key->subkeys();
  if (dwIndex >= children.size()) return ERROR_NO_MORE_ITEMS;
  RegKey::Children::const_iterator it;
  OpenRegKey* open = t.open;
  if (open && open->enum_generation == t.key->generation && open->enum_index <= dwIndex) {
    it = open->enum_it;
    for (DWORD i = open->enum_index; i < dwIndex; ++i) ++it;
  } else {
    it = children.begin();
    for (DWORD i = 0; i < dwIndex; ++i) ++it;
  }
  if (open) {
    open->enum_generation = t.key->generation;
    open->enum_index = dwIndex;
    open->enum_it = it;
  }
  // A name the code page cannot hold reads with '?' for what it lacks.
  const std::string name = sim::AnsiName((*it)->name);
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
  if (vname.size() + 1 > *lpcchValueName) return ERROR_MORE_DATA;
  if (lpData && *lpcbData < size) {
    *lpcbData = size;
    return ERROR_MORE_DATA;
  }
  CopyName(vname, lpValueName);
  *lpcchValueName = static_cast<DWORD>(vname.size());
  if (lpType) *lpType = v.type;
  if (lpData && size) std::memcpy(lpData, data.data(), size);
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
  RegKey* key = reg.Walk(base.key, sub);
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
  return reg.CloseHandle(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
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
  RegKey* key = reg.Walk(base.key, sub);
  if (!key) return ERROR_FILE_NOT_FOUND;
  if (key == base.key && !base.open) return ERROR_ACCESS_DENIED;
  return static_cast<DWORD>(DeleteTreeLikeShell(reg, key));
}
