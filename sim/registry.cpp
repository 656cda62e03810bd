#include "sim/registry.h"

#include <cstdio>
#include <utility>

namespace sim {
namespace {

// Keys with more values than this get a name index.
constexpr size_t kIndexFrom = 16;
constexpr size_t kMaxKeyNameLength = 255;
constexpr size_t kMaxDepth = 512;  // levels of a registry tree
// Key handles are small numbers below the file handles of HandleTable; values
// are used once before the range wraps, so a stale handle is seen as invalid.
constexpr uintptr_t kFirstHandle = 0x100;
constexpr uintptr_t kHandleLimit = 0x10000;

const char* const kRootNames[4] = {"HKEY_LOCAL_MACHINE", "HKEY_USERS", "HKEY_PERFORMANCE_DATA",
                                   "HKEY_DYN_DATA"};

struct HiveName {
  const char* code;
  const char* full;
  HKEY hive;
};

const HiveName kHives[] = {
    {"HKLM", "HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    {"HKCR", "HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
    {"HKCC", "HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
    {"HKCU", "HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {"HKPD", "HKEY_PERFORMANCE_DATA", HKEY_PERFORMANCE_DATA},
    {"HKDD", "HKEY_DYN_DATA", HKEY_DYN_DATA},
    {"HKU", "HKEY_USERS", HKEY_USERS},
    {"HKUS", "HKEY_USERS", HKEY_USERS},
};

// A deleted subtree may outlive its parent through open handles: no node of
// it keeps a parent pointer.
void MarkDeleted(RegKey* key) {
  key->deleted = true;
  key->parent = nullptr;
  for (auto& child : key->subkeys) MarkDeleted(child.second.get());
}

void MarkProtected(RegKey* key) {
  key->access = KeyAccess::kProtected;
  for (auto& child : key->subkeys) MarkProtected(child.second.get());
}

}  // namespace

// ---------------------------------------------------------------- RegKey

RegKey* RegKey::FindSubkey(const std::string& child) const {
  auto it = subkeys.find(child);
  return it == subkeys.end() ? nullptr : it->second.get();
}

long RegKey::IndexOf(const std::string& valueName) const {
  if (!index_.empty()) {
    auto it = index_.find(UpperCase(valueName));
    return it == index_.end() ? -1 : static_cast<long>(it->second);
  }
  for (size_t i = 0; i < values.size(); ++i) {
    if (EqualNoCase(values[i].name, valueName)) return static_cast<long>(i);
  }
  return -1;
}

const RegValue* RegKey::FindValue(const std::string& valueName) const {
  long i = IndexOf(valueName);
  return i < 0 ? nullptr : &values[static_cast<size_t>(i)];
}

void RegKey::SetValue(const std::string& valueName, DWORD type, std::string data) {
  long i = IndexOf(valueName);
  if (i >= 0) {
    values[static_cast<size_t>(i)].type = type;
    values[static_cast<size_t>(i)].data = std::move(data);
    return;
  }
  values.push_back(RegValue{valueName, type, std::move(data)});
  if (!index_.empty()) {
    index_.emplace(UpperCase(valueName), values.size() - 1);
  } else if (values.size() > kIndexFrom) {
    Reindex();
  }
}

bool RegKey::DeleteValue(const std::string& valueName) {
  long i = IndexOf(valueName);
  if (i < 0) return false;
  values.erase(values.begin() + i);
  if (!index_.empty()) Reindex();
  return true;
}

void RegKey::Reindex() {
  index_.clear();
  if (values.size() <= kIndexFrom) return;
  for (size_t i = 0; i < values.size(); ++i) index_.emplace(UpperCase(values[i].name), i);
}

// -------------------------------------------------------------- Registry

Registry::Registry() {
  for (int i = 0; i < 4; ++i) {
    roots_[i] = std::make_shared<RegKey>();
    roots_[i]->name = kRootNames[i];
  }
}

Registry::~Registry() = default;

void Registry::Clear() {
  for (int i = 0; i < 4; ++i) {
    for (auto& child : roots_[i]->subkeys) MarkDeleted(child.second.get());
    roots_[i]->subkeys.clear();
    roots_[i]->values.clear();
    ++roots_[i]->generation;
  }
  dirty = true;
}

bool Registry::IsPredefined(HKEY hive) {
  for (const HiveName& h : kHives) {
    if (h.hive == hive) return true;
  }
  return false;
}

const char* Registry::HiveCode(HKEY hive) {
  for (const HiveName& h : kHives) {
    if (h.hive == hive) return h.code;
  }
  return "";
}

bool Registry::SplitPath(const std::string& path, HKEY* hive, std::string* subkey) {
  size_t slash = path.find('\\');
  std::string head = path.substr(0, slash);
  for (const HiveName& h : kHives) {
    if (EqualNoCase(head, h.code) || EqualNoCase(head, h.full)) {
      *hive = h.hive;
      *subkey = slash == std::string::npos ? std::string() : path.substr(slash + 1);
      return true;
    }
  }
  return false;
}

std::string Registry::CurrentControlSetName() const {
  DWORD current = 1;
  const RegKey* system = roots_[0]->FindSubkey("SYSTEM");
  const RegKey* select = system ? system->FindSubkey("Select") : nullptr;
  const RegValue* v = select ? select->FindValue("Current") : nullptr;
  if (v && v->type == REG_DWORD && v->data.size() == 4) {
    current = static_cast<DWORD>(static_cast<unsigned char>(v->data[0])) |
              static_cast<DWORD>(static_cast<unsigned char>(v->data[1])) << 8 |
              static_cast<DWORD>(static_cast<unsigned char>(v->data[2])) << 16 |
              static_cast<DWORD>(static_cast<unsigned char>(v->data[3])) << 24;
  }
  char name[32];
  std::snprintf(name, sizeof name, "ControlSet%03u", static_cast<unsigned>(current % 1000));
  return name;
}

bool Registry::IsSystemKey(const RegKey* key) const {
  return nt_family && !loading_ && key->parent == roots_[0].get() &&
         EqualNoCase(key->name, "SYSTEM");
}

RegKey* Registry::Predefined(HKEY hive, bool create) {
  RegKey* hklm = roots_[0].get();
  if (hive == HKEY_LOCAL_MACHINE) return hklm;
  if (hive == HKEY_USERS) return roots_[1].get();
  if (hive == HKEY_PERFORMANCE_DATA) return roots_[2].get();
  if (hive == HKEY_DYN_DATA) return roots_[3].get();
  std::string subkey;
  RegKey* base = hklm;
  if (hive == HKEY_CLASSES_ROOT) {
    subkey = "SOFTWARE\\Classes";
  } else if (hive == HKEY_CURRENT_USER) {
    base = roots_[1].get();
    subkey = current_user;
  } else if (hive == HKEY_CURRENT_CONFIG) {
    subkey = nt_family ? "SYSTEM\\CurrentControlSet\\Hardware Profiles\\Current" : "Config\\0001";
  } else {
    return nullptr;
  }
  if (!create) return Walk(base, subkey);
  bool created = false;
  LONG error = 0;
  return WalkCreate(base, subkey, &created, &error);
}

RegKey* Registry::Walk(RegKey* base, const std::string& subkey) const {
  RegKey* key = base;
  size_t pos = 0;
  const size_t n = subkey.size();
  std::string part;
  while (key && pos < n) {
    size_t slash = subkey.find('\\', pos);
    if (slash == std::string::npos) slash = n;
    if (slash == pos) return nullptr;  // empty part
    part.assign(subkey, pos, slash - pos);
    if (IsSystemKey(key) && EqualNoCase(part, "CurrentControlSet")) part = CurrentControlSetName();
    key = key->FindSubkey(part);
    pos = slash + 1;
  }
  return key;
}

RegKey* Registry::AddChild(RegKey* parent, const std::string& childName) {
  auto it = parent->subkeys.find(childName);
  if (it != parent->subkeys.end()) return it->second.get();
  auto child = std::make_shared<RegKey>();
  child->name = childName;
  child->parent = parent;
  if (parent->access == KeyAccess::kProtected) child->access = KeyAccess::kProtected;
  RegKey* raw = child.get();
  parent->subkeys.emplace(childName, std::move(child));
  ++parent->generation;
  dirty = true;
  return raw;
}

RegKey* Registry::WalkCreate(RegKey* base, const std::string& subkey, bool* created, LONG* error) {
  *created = false;
  *error = 0;
  RegKey* key = base;
  // Check every part first: a refused name creates nothing.
  size_t depth = 0;
  for (const RegKey* k = base; k->parent; k = k->parent) ++depth;
  for (size_t p = 0; p < subkey.size();) {
    size_t slash = subkey.find('\\', p);
    if (slash == std::string::npos) slash = subkey.size();
    if (slash == p || slash - p > kMaxKeyNameLength || ++depth > kMaxDepth) {
      *error = ERROR_INVALID_PARAMETER;
      return nullptr;
    }
    p = slash + 1;
  }
  size_t pos = 0;
  const size_t n = subkey.size();
  std::string part;
  while (pos < n) {
    size_t slash = subkey.find('\\', pos);
    if (slash == std::string::npos) slash = n;
    part.assign(subkey, pos, slash - pos);
    if (IsSystemKey(key) && EqualNoCase(part, "CurrentControlSet")) part = CurrentControlSetName();
    RegKey* next = key->FindSubkey(part);
    if (!next) {
      next = AddChild(key, part);
      *created = true;
    } else {
      *created = false;
    }
    key = next;
    pos = slash + 1;
  }
  return key;
}

void Registry::Detach(RegKey* key) {
  if (!key || !key->parent) return;
  RegKey* parent = key->parent;
  auto it = parent->subkeys.find(key->name);
  if (it == parent->subkeys.end()) return;
  std::shared_ptr<RegKey> keep = it->second;  // alive until marked
  parent->subkeys.erase(it);
  ++parent->generation;
  MarkDeleted(keep.get());
  dirty = true;
}

void Registry::SetValue(RegKey* key, const std::string& name, DWORD type, std::string data) {
  key->SetValue(name, type, std::move(data));
  dirty = true;
}

bool Registry::DeleteValue(RegKey* key, const std::string& name) {
  if (!key->DeleteValue(name)) return false;
  dirty = true;
  return true;
}

bool Registry::InLocalMachine(const RegKey* key) const {
  while (key->parent) key = key->parent;
  return key == roots_[0].get();
}

bool Registry::WritesRefused(const RegKey* key) const {
  if (!nt_family) return false;
  return key->access == KeyAccess::kReadOnly || (!administrator && InLocalMachine(key));
}

LONG Registry::CheckOpenAccess(const RegKey* key, REGSAM sam) const {
  if (!nt_family) return ERROR_SUCCESS;
  const REGSAM writeRights =
      KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | DELETE | WRITE_DAC | WRITE_OWNER;
  if ((sam & writeRights) && WritesRefused(key)) return ERROR_ACCESS_DENIED;
  if (key->access == KeyAccess::kProtected) {
    if (sam & (DELETE | WRITE_DAC)) return ERROR_ACCESS_DENIED;
    // Ownership of protected keys: granted only while the privilege is enabled.
    if ((sam & WRITE_OWNER) && !take_ownership_enabled) return ERROR_ACCESS_DENIED;
  }
  return ERROR_SUCCESS;
}

void Registry::MergeInto(RegKey* from, RegKey* to) {
  for (RegValue& v : from->values) to->SetValue(v.name, v.type, std::move(v.data));
  from->values.clear();
  while (!from->subkeys.empty()) {
    auto it = from->subkeys.begin();
    std::shared_ptr<RegKey> child = it->second;
    from->subkeys.erase(it);
    RegKey* existing = to->FindSubkey(child->name);
    if (existing) {
      MergeInto(child.get(), existing);
    } else {
      child->parent = to;
      if (to->access == KeyAccess::kProtected) MarkProtected(child.get());
      to->subkeys.emplace(child->name, child);
    }
  }
  ++from->generation;
  ++to->generation;
}

void Registry::EndLoad() {
  loading_ = false;
  if (!nt_family) return;
  RegKey* system = roots_[0]->FindSubkey("SYSTEM");
  RegKey* ccs = system ? system->FindSubkey("CurrentControlSet") : nullptr;
  if (!ccs) return;
  std::shared_ptr<RegKey> keep = system->subkeys.find("CurrentControlSet")->second;
  system->subkeys.erase(system->subkeys.find("CurrentControlSet"));
  ++system->generation;
  RegKey* target = AddChild(system, CurrentControlSetName());
  MergeInto(keep.get(), target);
  MarkDeleted(keep.get());
}

// ----------------------------------------------------- keys by path

RegKey* Registry::Find(const std::string& path) const {
  HKEY hive = nullptr;
  std::string subkey;
  if (!SplitPath(path, &hive, &subkey)) return nullptr;
  RegKey* base = const_cast<Registry*>(this)->Predefined(hive, false);
  if (!base) return nullptr;
  return Walk(base, subkey);
}

RegKey* Registry::Create(const std::string& path) {
  HKEY hive = nullptr;
  std::string subkey;
  if (!SplitPath(path, &hive, &subkey)) return nullptr;
  RegKey* base = Predefined(hive, true);
  if (!base) return nullptr;
  bool created = false;
  LONG error = 0;
  return WalkCreate(base, subkey, &created, &error);
}

bool Registry::DeleteTree(const std::string& path) {
  RegKey* key = Find(path);
  if (!key || !key->parent) return false;  // missing, or a hive root
  Detach(key);
  return true;
}

bool Registry::SetValue(const std::string& path, const std::string& name, DWORD type,
                        const std::string& data) {
  RegKey* key = Create(path);
  if (!key) return false;
  SetValue(key, name, type, data);
  return true;
}

bool Registry::SetString(const std::string& path, const std::string& name, const std::string& text,
                         DWORD type) {
  std::string data = text;
  data += '\0';
  return SetValue(path, name, type, data);
}

bool Registry::SetDword(const std::string& path, const std::string& name, DWORD value) {
  std::string data(4, '\0');
  for (int i = 0; i < 4; ++i) data[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return SetValue(path, name, REG_DWORD, data);
}

const RegValue* Registry::GetValue(const std::string& path, const std::string& name) const {
  const RegKey* key = Find(path);
  return key ? key->FindValue(name) : nullptr;
}

bool Registry::SetAccess(const std::string& path, KeyAccess access) {
  RegKey* key = Find(path);
  if (!key) return false;
  if (access == KeyAccess::kProtected) {
    MarkProtected(key);
  } else {
    key->access = access;
  }
  return true;
}

// ------------------------------------------------------------ handles

HKEY Registry::AddHandle(RegKey* key, REGSAM access, const std::string& path) {
  // Find the owning pointer so the node outlives its deletion while open.
  std::shared_ptr<RegKey> owner;
  if (key->parent) {
    auto it = key->parent->subkeys.find(key->name);
    if (it != key->parent->subkeys.end()) owner = it->second;
  } else {
    for (auto& r : roots_) {
      if (r.get() == key) owner = r;
    }
  }
  if (!owner) return nullptr;
  if (handles_.size() >= (kHandleLimit - kFirstHandle) / 4) return nullptr;
  uintptr_t value = 0;
  do {
    value = kFirstHandle + 4 * next_handle_++;
    if (value >= kHandleLimit) {
      next_handle_ = 0;
      value = 0;
    }
  } while (value == 0 || handles_.count(value));
  OpenRegKey& open = handles_[value];
  open.key = std::move(owner);
  open.access = access;
  open.path = path;
  return reinterpret_cast<HKEY>(value);
}

OpenRegKey* Registry::Handle(HKEY h) {
  auto it = handles_.find(reinterpret_cast<uintptr_t>(h));
  return it == handles_.end() ? nullptr : &it->second;
}

bool Registry::CloseHandle(HKEY h) { return handles_.erase(reinterpret_cast<uintptr_t>(h)) > 0; }

}  // namespace sim
