// The simulated registry: stored trees for HKEY_LOCAL_MACHINE, HKEY_USERS,
// HKEY_PERFORMANCE_DATA and HKEY_DYN_DATA; HKEY_CLASSES_ROOT,
// HKEY_CURRENT_USER, HKEY_CURRENT_CONFIG and CurrentControlSet are views of
// the keys they stand for, so a change through one is seen through the other.
//
// Names keep their case and compare without it, as NT compares them
// (sim/reg_name.h, which also keeps names the code page cannot hold).
// Subkeys enumerate sorted without case on NT and in creation order on 9x,
// values in creation order on both. Values
// are raw bytes plus type; strings are 8-bit in the code page with their
// terminating zero, as the A functions see them.
//
// Paths name a key from its hive: "HKLM\SOFTWARE\X", "HKEY_LOCAL_MACHINE\SOFTWARE\X",
// "HKCU\...", "HKU\..." (also "HKUS"), "HKCR", "HKCC", "HKPD", "HKDD" and the full names.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/win32.h"
#include "sim/reg_name.h"
#include "sim/text.h"

namespace sim {

// Per-key access (NT family only; Windows 9x has no registry security).
//  kReadOnly:  an open asking for any write right gives 5.
//  kProtected: its access list grants reading only: DELETE, KEY_ALL_ACCESS,
//              WRITE_DAC and WRITE_OWNER give 5, except that WRITE_OWNER is
//              granted while the take-ownership privilege is enabled and
//              WRITE_DAC once the Administrators group owns the key (an
//              owner may always rewrite the access list). Removing the
//              access list (SetSecurityInfo, null DACL) makes it kNormal.
//              Set on a key it covers the subtree; new subkeys inherit it.
enum class KeyAccess { kNormal, kReadOnly, kProtected };

// One value: name, type and data in a single allocation. `data` is what the
// A calls see; string data read from a Unicode registry.reg that the code
// page cannot hold also keeps its UTF-16LE bytes (`wide`), written back
// unchanged until the value is set again.
class RegValue {
 public:
  RegValue() = default;
  RegValue(std::string_view name, DWORD type, std::string_view data, std::string_view wide = {},
           bool hasWide = false);

  DWORD type = REG_NONE;
  std::string_view name() const { return {bytes_.get(), name_size_}; }  // "" is the default value
  std::string_view data() const { return {bytes_.get() + name_size_, data_size_}; }
  bool has_wide() const { return wide_size_ != kNoWide; }
  std::string_view wide() const {
    return has_wide() ? std::string_view(bytes_.get() + name_size_ + data_size_, wide_size_)
                      : std::string_view();
  }

 private:
  static constexpr uint32_t kNoWide = ~uint32_t(0);
  uint32_t name_size_ = 0;
  uint32_t data_size_ = 0;
  uint32_t wide_size_ = kNoWide;
  std::unique_ptr<char[]> bytes_;
};

class RegKey;

// A counted reference to a key: its parent's list holds one, each open
// handle another, so a deleted key lives on while a handle names it.
class KeyRef {
 public:
  KeyRef() = default;
  explicit KeyRef(RegKey* key);
  KeyRef(const KeyRef& other) : KeyRef(other.key_) {}
  KeyRef(KeyRef&& other) noexcept : key_(other.key_) { other.key_ = nullptr; }
  KeyRef& operator=(KeyRef other) noexcept {
    std::swap(key_, other.key_);
    return *this;
  }
  ~KeyRef();
  RegKey* get() const { return key_; }
  RegKey* operator->() const { return key_; }
  RegKey& operator*() const { return *key_; }
  explicit operator bool() const { return key_ != nullptr; }

 private:
  RegKey* key_ = nullptr;
};

// Subkeys in NT's order, looked up by name without a copy of it.
struct KeyNameLess {
  using is_transparent = void;
  bool operator()(const KeyRef& a, const KeyRef& b) const;
  bool operator()(const KeyRef& a, std::string_view b) const;
  bool operator()(std::string_view a, const KeyRef& b) const;
};

class RegKey {
 public:
  using Children = std::set<KeyRef, KeyNameLess>;

  explicit RegKey(std::string keyName) : name(std::move(keyName)) {}
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;

  const std::string name;    // stored form (sim/reg_name.h)
  RegKey* parent = nullptr;  // null for a hive root and for a deleted key
  std::vector<RegValue> values;
  uint64_t generation = 0;  // bumped when the subkeys change (enumeration cache)
  KeyAccess access = KeyAccess::kNormal;
  // Owner: the Administrators group, or whoever the image made it (the
  // creator, or the system for a protected key).
  bool owned_by_administrators = false;
  bool deleted = false;

  // Sorted subkeys; an empty list for a key without any.
  const Children& subkeys() const;
  RegKey* FindSubkey(std::string_view child) const;
  const RegValue* FindValue(std::string_view valueName) const;
  // Sets or replaces a value; a replaced value keeps its place in the order.
  void SetValue(RegValue value);
  void SetValue(std::string_view valueName, DWORD type, std::string_view data) {
    SetValue(RegValue(valueName, type, data));
  }
  bool DeleteValue(std::string_view valueName);
  // Rank among the keys made so far (the 9x family lists subkeys by it).
  uint32_t serial() const { return serial_; }

 private:
  friend class Registry;
  friend class KeyRef;
  Children& MutableSubkeys();
  long IndexOf(std::string_view valueName) const;
  void Reindex();

  std::unique_ptr<Children> subkeys_;  // only for keys that have subkeys
  // Positions of the values in name order; kept only for keys with many values.
  std::unique_ptr<std::vector<uint32_t>> index_;
  uint32_t refs_ = 0;
  uint32_t serial_ = 0;
};

// One open key handle.
struct OpenRegKey {
  KeyRef key;
  REGSAM access = 0;
  std::string path;  // hive-rooted path as the program named it (for faults)
  // Where the last RegEnumKeyExA stopped, so enumerating a big key is linear.
  uint64_t enum_generation = ~uint64_t(0);
  DWORD enum_index = 0;
  RegKey::Children::const_iterator enum_it;
  // The subkeys in creation order (9x family), valid for order_generation.
  uint64_t order_generation = ~uint64_t(0);
  std::vector<const RegKey*> creation_order;
};

// The form registry.reg was read in, and is written back in.
enum class RegFileFormat {
  kRegedit4,  // "REGEDIT4", 8-bit in the code page
  kUnicode,   // "Windows Registry Editor Version 5.00", UTF-16LE with BOM
};

class Registry {
 public:
  Registry();
  ~Registry();
  Registry(const Registry&) = delete;
  Registry& operator=(const Registry&) = delete;

  std::string current_user = ".DEFAULT";  // HKCU = HKEY_USERS\<current_user>
  bool nt_family = true;                  // set by the loader before reading registry.reg
  bool administrator = true;              // false: every key of HKLM refuses write opens (NT)
  bool dirty = false;                     // set by every change; the image is saved only then
  // Hook for key ownership: while true (the take-ownership privilege is
  // enabled) a protected key grants WRITE_OWNER.
  bool take_ownership_enabled = false;
  RegFileFormat file_format = RegFileFormat::kRegedit4;  // set by ReadRegFile
  size_t file_size = 0;  // bytes of the registry.reg read last: the writer's first guess

  // --- Keys by path (tests, image loader, installer) ---
  RegKey* Find(const std::string& path) const;
  // Creates the key and any missing parents; nullptr for an unknown hive or a
  // bad name (empty part, part longer than 255).
  RegKey* Create(const std::string& path);
  // Deletes the key with its subtree; false when missing or a hive root.
  bool DeleteTree(const std::string& path);
  bool SetValue(const std::string& path, const std::string& name, DWORD type,
                const std::string& data);
  bool SetString(const std::string& path, const std::string& name, const std::string& text,
                 DWORD type = REG_SZ);
  bool SetDword(const std::string& path, const std::string& name, DWORD value);
  const RegValue* GetValue(const std::string& path, const std::string& name) const;
  // kProtected marks the key and its existing subtree; false when the key is missing.
  bool SetAccess(const std::string& path, KeyAccess access);
  void Clear();

  // --- Building blocks of the registry calls ---
  // The key a predefined handle stands for (views resolved). With `create`
  // a missing view target (HKLM\SOFTWARE\Classes ...) is created.
  RegKey* Predefined(HKEY hive, bool create);
  static bool IsPredefined(HKEY hive);
  // Hive code of a predefined handle ("HKLM", "HKCR", ... "HKU"), or "".
  static const char* HiveCode(HKEY hive);
  // Walks a backslash-separated subkey path from `base`, resolving
  // CurrentControlSet; nullptr when a key is missing. A trailing backslash
  // is ignored; an empty part is not found.
  RegKey* Walk(RegKey* base, std::string_view subkey) const;
  // As Walk, creating what is missing (`created` set when the last key is new).
  // Returns nullptr with *error set (87 for a name too long or an empty part).
  RegKey* WalkCreate(RegKey* base, std::string_view subkey, bool* created, LONG* error);
  // Creates one subkey (inheriting kProtected) or returns the existing one.
  RegKey* AddChild(RegKey* parent, std::string_view childName);
  // Detaches a key and its subtree; handles to any of them then give 1018.
  void Detach(RegKey* key);
  void SetValue(RegKey* key, std::string_view name, DWORD type, std::string_view data);
  void SetValue(RegKey* key, RegValue value);
  bool DeleteValue(RegKey* key, std::string_view name);

  // Subkeys in the order RegEnumKeyExA lists them on the 9x family.
  static std::vector<const RegKey*> InCreationOrder(const RegKey& key);
  // The same for a key enumerated through a predefined handle, kept while
  // the key's subkeys do not change (one key at a time).
  const std::vector<const RegKey*>& CreationOrderOf(const RegKey& key);
  // True when RegEnumKeyExA on `key` also lists the CurrentControlSet link
  // (HKLM\SYSTEM on NT, while the control set it names exists).
  bool ListsCurrentControlSet(const RegKey* key) const;

  bool InLocalMachine(const RegKey* key) const;
  // 0, or 5 when this open of `key` with `sam` is refused (NT family only).
  LONG CheckOpenAccess(const RegKey* key, REGSAM sam) const;
  // True when writes to `key` are refused (read-only, or HKLM without rights).
  bool WritesRefused(const RegKey* key) const;

  // --- Handles (small integers, never predefined, never reused) ---
  HKEY AddHandle(RegKey* key, REGSAM access, const std::string& path);
  OpenRegKey* Handle(HKEY h);
  bool CloseHandle(HKEY h);
  size_t OpenHandleCount() const { return handles_.size(); }

  // Stored roots, in the order they are written to registry.reg.
  const RegKey* Root(int i) const { return i >= 0 && i < 4 ? roots_[i].get() : nullptr; }

  // While a file is loaded CurrentControlSet is kept as a key of its own;
  // EndLoad moves it into the control set HKLM\SYSTEM\Select "Current"
  // names, which the file may list after it.
  void BeginLoad() { loading_ = true; }
  void EndLoad();

  // Splits "HKLM\A\B" into the predefined handle and "A\B"; false for an unknown hive.
  static bool SplitPath(const std::string& path, HKEY* hive, std::string* subkey);

 private:
  // The name of control set HKLM\SYSTEM\CurrentControlSet stands for.
  std::string CurrentControlSetName() const;
  bool IsSystemKey(const RegKey* key) const;

  void MergeInto(RegKey* from, RegKey* to);

  bool loading_ = false;
  uint32_t next_serial_ = 0;
  struct OrderCache {
    const RegKey* key = nullptr;
    uint32_t serial = 0;  // with the pointer: a key freed and another made there differ
    uint64_t generation = 0;
    std::vector<const RegKey*> order;
  } order_cache_;
  KeyRef roots_[4];  // HKLM, HKU, HKPD, HKDD
  std::map<uintptr_t, OpenRegKey> handles_;
  uintptr_t next_handle_ = 0;
};

}  // namespace sim
