#include "sim/registry.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
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
  for (const KeyRef& child : key->subkeys()) MarkDeleted(child.get());
}

void MarkProtected(RegKey* key) {
  key->access = KeyAccess::kProtected;
  for (const KeyRef& child : key->subkeys()) MarkProtected(child.get());
}

uint32_t Size32(size_t n) { return static_cast<uint32_t>(n); }

}  // namespace

// ---------------------------------------------------------------- RegValue

RegValue::RegValue(std::string_view name, DWORD valueType, std::string_view data,
                   std::string_view wide, bool hasWide)
    : type(valueType),
      name_size_(Size32(name.size())),
      data_size_(Size32(data.size())),
      wide_size_(hasWide ? Size32(wide.size()) : kNoWide) {
  const size_t total = name.size() + data.size() + (hasWide ? wide.size() : 0);
  if (total == 0) return;
  bytes_.reset(new char[total]);
  char* p = bytes_.get();
  if (!name.empty()) std::memcpy(p, name.data(), name.size());
  if (!data.empty()) std::memcpy(p + name.size(), data.data(), data.size());
  if (hasWide && !wide.empty())
    std::memcpy(p + name.size() + data.size(), wide.data(), wide.size());
}

// ------------------------------------------------------------------ KeyRef

KeyRef::KeyRef(RegKey* key) : key_(key) {
  if (key_) ++key_->refs_;
}

KeyRef::~KeyRef() {
  if (key_ && --key_->refs_ == 0) delete key_;
}

bool KeyNameLess::operator()(const KeyRef& a, const KeyRef& b) const {
  return CompareNames(a->name, b->name) < 0;
}
bool KeyNameLess::operator()(const KeyRef& a, std::string_view b) const {
  return CompareNames(a->name, b) < 0;
}
bool KeyNameLess::operator()(std::string_view a, const KeyRef& b) const {
  return CompareNames(a, b->name) < 0;
}

// ---------------------------------------------------------------- RegKey

const RegKey::Children& RegKey::subkeys() const {
  static const Children kNone;
  return subkeys_ ? *subkeys_ : kNone;
}

RegKey::Children& RegKey::MutableSubkeys() {
  if (!subkeys_) subkeys_.reset(new Children);
  return *subkeys_;
}

RegKey* RegKey::FindSubkey(std::string_view child) const {
  if (!subkeys_) return nullptr;
  auto it = subkeys_->find(child);
  return it == subkeys_->end() ? nullptr : it->get();
}

long RegKey::IndexOf(std::string_view valueName) const {
  if (index_) {
    const std::vector<uint32_t>& order = *index_;
    size_t lo = 0;
    size_t hi = order.size();
    while (lo < hi) {
      const size_t mid = (lo + hi) / 2;
      const int c = CompareNames(values[order[mid]].name(), valueName);
      if (c == 0) return static_cast<long>(order[mid]);
      if (c < 0) {
        lo = mid + 1;
      } else {
        hi = mid;
      }
    }
    return -1;
  }
  for (size_t i = 0; i < values.size(); ++i) {
    if (EqualNames(values[i].name(), valueName)) return static_cast<long>(i);
  }
  return -1;
}

const RegValue* RegKey::FindValue(std::string_view valueName) const {
  long i = IndexOf(valueName);
  return i < 0 ? nullptr : &values[static_cast<size_t>(i)];
}

void RegKey::SetValue(RegValue value) {
  long i = IndexOf(value.name());
  if (i >= 0) {
    // The value keeps the spelling of its name.
    RegValue& old = values[static_cast<size_t>(i)];
    old = RegValue(old.name(), value.type, value.data(), value.wide(), value.has_wide());
    return;
  }
  values.push_back(std::move(value));
  if (index_) {
    const uint32_t added = Size32(values.size() - 1);
    std::vector<uint32_t>& order = *index_;
    auto at = std::lower_bound(order.begin(), order.end(), added, [this](uint32_t x, uint32_t y) {
      return CompareNames(values[x].name(), values[y].name()) < 0;
    });
    order.insert(at, added);
  } else if (values.size() > kIndexFrom) {
    Reindex();
  }
}

bool RegKey::DeleteValue(std::string_view valueName) {
  long i = IndexOf(valueName);
  if (i < 0) return false;
  values.erase(values.begin() + i);
  if (!index_) return true;
  if (values.size() <= kIndexFrom) {
    index_.reset();
    return true;
  }
  // The order of the others holds: drop the position and shift the later
  // ones rather than sort again (deleting many values stays linear each).
  const uint32_t gone = Size32(static_cast<size_t>(i));
  std::vector<uint32_t>& order = *index_;
  order.erase(std::remove(order.begin(), order.end(), gone), order.end());
  for (uint32_t& pos : order) {
    if (pos > gone) --pos;
  }
  return true;
}

void RegKey::Reindex() {
  index_.reset();
  if (values.size() <= kIndexFrom) return;
  index_.reset(new std::vector<uint32_t>(values.size()));
  std::vector<uint32_t>& order = *index_;
  for (size_t i = 0; i < order.size(); ++i) order[i] = Size32(i);
  std::sort(order.begin(), order.end(), [this](uint32_t x, uint32_t y) {
    return CompareNames(values[x].name(), values[y].name()) < 0;
  });
}

// -------------------------------------------------------------- Registry

Registry::Registry() {
  for (int i = 0; i < 4; ++i) {
    roots_[i] = KeyRef(new RegKey(kRootNames[i]));
  }
}

Registry::~Registry() = default;

void Registry::Clear() {
  for (int i = 0; i < 4; ++i) {
    for (const KeyRef& child : roots_[i]->subkeys()) MarkDeleted(child.get());
    roots_[i]->subkeys_.reset();
    roots_[i]->values.clear();
    roots_[i]->index_.reset();
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
  if (v && v->type == REG_DWORD && v->data().size() == 4) {
    current = static_cast<DWORD>(static_cast<unsigned char>(v->data()[0])) |
              static_cast<DWORD>(static_cast<unsigned char>(v->data()[1])) << 8 |
              static_cast<DWORD>(static_cast<unsigned char>(v->data()[2])) << 16 |
              static_cast<DWORD>(static_cast<unsigned char>(v->data()[3])) << 24;
  }
  char name[32];
  std::snprintf(name, sizeof name, "ControlSet%03u", static_cast<unsigned>(current % 1000));
  return name;
}

bool Registry::IsSystemKey(const RegKey* key) const {
  return nt_family && !loading_ && key->parent == roots_[0].get() &&
         EqualNames(key->name, "SYSTEM");
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

RegKey* Registry::Walk(RegKey* base, std::string_view subkey) const {
  RegKey* key = base;
  size_t pos = 0;
  const size_t n = subkey.size();
  while (key && pos < n) {
    size_t slash = subkey.find('\\', pos);
    if (slash == std::string::npos) slash = n;
    if (slash == pos) return nullptr;  // empty part
    const std::string_view part(subkey.data() + pos, slash - pos);
    if (IsSystemKey(key) && EqualNames(part, "CurrentControlSet")) {
      key = key->FindSubkey(CurrentControlSetName());
    } else {
      key = key->FindSubkey(part);
    }
    pos = slash + 1;
  }
  return key;
}

RegKey* Registry::AddChild(RegKey* parent, std::string_view childName) {
  RegKey::Children& children = parent->MutableSubkeys();
  // Exports list subkeys in order: a new last one needs no search.
  auto it = children.end();
  if (!children.empty() && CompareNames(children.rbegin()->get()->name, childName) < 0) {
    it = children.end();
  } else {
    it = children.lower_bound(childName);
    if (it != children.end() && EqualNames(it->get()->name, childName)) return it->get();
  }
  RegKey* raw = new RegKey(std::string(childName));
  raw->parent = parent;
  raw->serial_ = ++next_serial_;
  if (parent->access == KeyAccess::kProtected) raw->access = KeyAccess::kProtected;
  children.emplace_hint(it, raw);
  ++parent->generation;
  dirty = true;
  return raw;
}

RegKey* Registry::WalkCreate(RegKey* base, std::string_view subkey, bool* created, LONG* error) {
  *created = false;
  *error = 0;
  RegKey* key = base;
  // Check every part first: a refused name creates nothing.
  size_t depth = 0;
  for (const RegKey* k = base; k->parent; k = k->parent) ++depth;
  for (size_t p = 0; p < subkey.size();) {
    size_t slash = subkey.find('\\', p);
    if (slash == std::string::npos) slash = subkey.size();
    if (slash == p || ++depth > kMaxDepth ||
        (slash - p > kMaxKeyNameLength &&
         NameUnits(std::string_view(subkey.data() + p, slash - p)) > kMaxKeyNameLength)) {
      *error = ERROR_INVALID_PARAMETER;
      return nullptr;
    }
    p = slash + 1;
  }
  size_t pos = 0;
  const size_t n = subkey.size();
  std::string controlSet;
  while (pos < n) {
    size_t slash = subkey.find('\\', pos);
    if (slash == std::string::npos) slash = n;
    std::string_view part(subkey.data() + pos, slash - pos);
    if (IsSystemKey(key) && EqualNames(part, "CurrentControlSet")) {
      controlSet = CurrentControlSetName();
      part = controlSet;
    }
    const size_t before = key->subkeys().size();
    key = AddChild(key, part);
    *created = key->parent->subkeys().size() != before;
    pos = slash + 1;
  }
  return key;
}

void Registry::Detach(RegKey* key) {
  if (!key || !key->parent) return;
  RegKey* parent = key->parent;
  RegKey::Children& children = parent->MutableSubkeys();
  auto it = children.find(std::string_view(key->name));
  if (it == children.end()) return;
  KeyRef keep = *it;  // alive until marked
  children.erase(it);
  if (children.empty()) parent->subkeys_.reset();
  ++parent->generation;
  MarkDeleted(keep.get());
  dirty = true;
}

void Registry::SetValue(RegKey* key, std::string_view name, DWORD type, std::string_view data) {
  key->SetValue(name, type, data);
  dirty = true;
}

void Registry::SetValue(RegKey* key, RegValue value) {
  key->SetValue(std::move(value));
  dirty = true;
}

bool Registry::DeleteValue(RegKey* key, std::string_view name) {
  if (!key->DeleteValue(name)) return false;
  dirty = true;
  return true;
}

std::vector<const RegKey*> Registry::InCreationOrder(const RegKey& key) {
  std::vector<const RegKey*> order;
  order.reserve(key.subkeys().size());
  for (const KeyRef& child : key.subkeys()) order.push_back(child.get());
  std::sort(order.begin(), order.end(),
            [](const RegKey* a, const RegKey* b) { return a->serial_ < b->serial_; });
  return order;
}

const std::vector<const RegKey*>& Registry::CreationOrderOf(const RegKey& key) {
  OrderCache& c = order_cache_;
  if (c.key != &key || c.serial != key.serial_ || c.generation != key.generation) {
    c.order = InCreationOrder(key);
    c.key = &key;
    c.serial = key.serial_;
    c.generation = key.generation;
  }
  return c.order;
}

bool Registry::ListsCurrentControlSet(const RegKey* key) const {
  return IsSystemKey(key) && key->FindSubkey(CurrentControlSetName()) != nullptr;
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
  REGSAM need = sam;
  // The take-ownership privilege grants WRITE_OWNER whatever the access list says.
  if (take_ownership_enabled) need &= ~WRITE_OWNER;
  // The owner may always read and rewrite the access list.
  if (key->owned_by_administrators && administrator) need &= ~(WRITE_DAC | READ_CONTROL);
  const REGSAM writeRights =
      KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | DELETE | WRITE_DAC | WRITE_OWNER;
  if ((need & writeRights) && WritesRefused(key)) return ERROR_ACCESS_DENIED;
  if (key->access == KeyAccess::kProtected && (need & (DELETE | WRITE_DAC | WRITE_OWNER)))
    return ERROR_ACCESS_DENIED;
  return ERROR_SUCCESS;
}

void Registry::MergeInto(RegKey* from, RegKey* to) {
  for (RegValue& v : from->values) to->SetValue(std::move(v));
  from->values.clear();
  from->index_.reset();
  while (from->subkeys_ && !from->subkeys_->empty()) {
    auto it = from->subkeys_->begin();
    KeyRef child = *it;
    from->subkeys_->erase(it);
    RegKey* existing = to->FindSubkey(child->name);
    if (existing) {
      MergeInto(child.get(), existing);
    } else {
      child->parent = to;
      if (to->access == KeyAccess::kProtected) MarkProtected(child.get());
      to->MutableSubkeys().insert(child);
    }
  }
  from->subkeys_.reset();
  ++from->generation;
  ++to->generation;
}

void Registry::EndLoad() {
  loading_ = false;
  if (!nt_family) return;
  RegKey* system = roots_[0]->FindSubkey("SYSTEM");
  RegKey* ccs = system ? system->FindSubkey("CurrentControlSet") : nullptr;
  if (!ccs) return;
  KeyRef keep(ccs);
  system->subkeys_->erase(system->subkeys_->find(std::string_view("CurrentControlSet")));
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
  // The handle holds the key, so the node outlives its deletion while open.
  bool live = key->parent != nullptr;
  for (const KeyRef& r : roots_) live = live || r.get() == key;
  if (!live) return nullptr;
  KeyRef owner(key);
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
