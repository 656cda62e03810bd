// The registry calls as the program relies on them: codes, buffers, order,
// views, deletion on NT and 9x, access refusals and faults.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "sim/machine.h"
#include "sim/registry.h"

namespace {

class RegistryApi : public ::testing::Test {
 protected:
  sim::Machine m;
  sim::ScopedMachine scope{m};
  sim::Registry& reg = m.registry;

  HKEY Open(HKEY base, const char* sub, REGSAM sam = KEY_READ, LONG expect = ERROR_SUCCESS) {
    HKEY h = nullptr;
    EXPECT_EQ(RegOpenKeyExA(base, sub, 0, sam, &h), expect) << sub;
    return h;
  }
  std::vector<std::string> Subkeys(HKEY h) {
    std::vector<std::string> names;
    char name[256];
    for (DWORD i = 0;; ++i) {
      DWORD cch = sizeof name;
      LONG rc = RegEnumKeyExA(h, i, name, &cch, nullptr, nullptr, nullptr, nullptr);
      if (rc != ERROR_SUCCESS) {
        EXPECT_EQ(rc, ERROR_NO_MORE_ITEMS);
        break;
      }
      EXPECT_EQ(cch, std::strlen(name));
      names.push_back(name);
    }
    return names;
  }
};

TEST_F(RegistryApi, QueryValueCodesAndBuffers) {
  reg.SetString("HKLM\\SOFTWARE\\Vantrel", "Path", "C:\\Program Files\\Vantrel");
  reg.SetString("HKLM\\SOFTWARE\\Vantrel", "", "default text");
  HKEY missing = Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Nobody", KEY_READ, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(missing, nullptr);
  HKEY h = Open(HKEY_LOCAL_MACHINE, "software\\VANTREL");

  char buf[64];
  std::memset(buf, 'x', sizeof buf);
  DWORD size = 10;
  DWORD type = 0;
  EXPECT_EQ(RegQueryValueExA(h, "path", nullptr, &type, reinterpret_cast<BYTE*>(buf), &size),
            ERROR_MORE_DATA);
  EXPECT_EQ(size, 25u);  // needed size with the terminating zero
  EXPECT_EQ(buf[0], 'x');
  EXPECT_EQ(type, REG_SZ);

  size = 0;
  EXPECT_EQ(RegQueryValueExA(h, "Path", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 25u);
  size = sizeof buf;
  EXPECT_EQ(RegQueryValueExA(h, "Path", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size),
            ERROR_SUCCESS);
  EXPECT_STREQ(buf, "C:\\Program Files\\Vantrel");
  EXPECT_EQ(size, 25u);

  size = sizeof buf;
  EXPECT_EQ(RegQueryValueExA(h, "Nope", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size),
            ERROR_FILE_NOT_FOUND);
  for (const char* def : {static_cast<const char*>(nullptr), ""}) {
    size = sizeof buf;
    EXPECT_EQ(RegQueryValueExA(h, def, nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(buf, "default text");
  }
  EXPECT_EQ(RegCloseKey(h), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(h), ERROR_INVALID_HANDLE);
  size = sizeof buf;
  EXPECT_EQ(RegQueryValueExA(h, "Path", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size),
            ERROR_INVALID_HANDLE);
  EXPECT_EQ(reg.OpenHandleCount(), 0u);
}

TEST_F(RegistryApi, EnumerationOrderAndBuffers) {
  for (const char* k : {"b", "_x", "A", "C", "aa"}) reg.Create(std::string("HKLM\\T\\") + k);
  for (const char* v : {"zeta", "Alpha", "mid"}) reg.SetDword("HKLM\\T", v, 7);
  HKEY h = Open(HKEY_LOCAL_MACHINE, "T");
  // Case ignored, upper-case order: '_' sorts after the letters.
  EXPECT_EQ(Subkeys(h), (std::vector<std::string>{"A", "aa", "b", "C", "_x"}));

  char name[4];
  std::strcpy(name, "q");
  DWORD cch = 2;  // "aa" needs 3
  EXPECT_EQ(RegEnumKeyExA(h, 1, name, &cch, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
  EXPECT_STREQ(name, "q");

  // Values come in creation order.
  std::vector<std::string> values;
  for (DWORD i = 0;; ++i) {
    char vn[32];
    DWORD vcch = sizeof vn, type = 0, data = 0, cb = sizeof data;
    LONG rc = RegEnumValueA(h, i, vn, &vcch, nullptr, &type, reinterpret_cast<BYTE*>(&data), &cb);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    ASSERT_EQ(rc, ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(data, 7u);
    values.push_back(vn);
  }
  EXPECT_EQ(values, (std::vector<std::string>{"zeta", "Alpha", "mid"}));

  // Deleting while enumerating at index 0 walks the whole key.
  char sub[256];
  DWORD n = sizeof sub;
  int deleted = 0;
  while (RegEnumKeyExA(h, 0, sub, &n, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
    ASSERT_EQ(RegDeleteKeyA(h, sub), ERROR_SUCCESS);
    ++deleted;
    n = sizeof sub;
  }
  EXPECT_EQ(deleted, 5);
  RegCloseKey(h);
}

TEST_F(RegistryApi, SetValueNeedsSetRightAndMarksDirty) {
  reg.Create("HKLM\\SOFTWARE\\X");
  reg.dirty = false;
  HKEY ro = Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\X", KEY_READ);
  const BYTE data[] = "v";
  EXPECT_EQ(RegSetValueExA(ro, "n", 0, REG_SZ, data, 2), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteValueA(ro, "n"), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(reg.dirty);
  HKEY rw = Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\X", KEY_ALL_ACCESS);
  EXPECT_EQ(RegSetValueExA(rw, "n", 0, REG_SZ, data, 2), ERROR_SUCCESS);
  EXPECT_TRUE(reg.dirty);
  EXPECT_EQ(RegDeleteValueA(rw, "N"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueA(rw, "N"), ERROR_FILE_NOT_FOUND);
  RegCloseKey(ro);
  RegCloseKey(rw);
}

// Keys with many values look names up through an index: it must follow
// every change, and a value set again keeps its place and its spelling.
TEST_F(RegistryApi, ManyValuesKeepOrderAndSpelling) {
  HKEY h = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Many", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &h, nullptr),
            ERROR_SUCCESS);
  char name[8];
  for (int i = 29; i >= 0; --i) {
    std::snprintf(name, sizeof name, "v%02d", i);
    const BYTE one[] = "1";
    ASSERT_EQ(RegSetValueExA(h, name, 0, REG_SZ, one, 2), ERROR_SUCCESS);
  }
  const BYTE two[] = "22";
  EXPECT_EQ(RegSetValueExA(h, "V05", 0, REG_SZ, two, 3), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueA(h, "V10"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueA(h, "v10"), ERROR_FILE_NOT_FOUND);
  std::vector<std::string> names;
  for (DWORD i = 0;; ++i) {
    DWORD cch = sizeof name;
    if (RegEnumValueA(h, i, name, &cch, nullptr, nullptr, nullptr, nullptr) != 0) break;
    names.push_back(name);
  }
  ASSERT_EQ(names.size(), 29u);
  EXPECT_EQ(names[0], "v29");
  EXPECT_EQ(names[23], "v05");  // set again as "V05": place and spelling kept
  EXPECT_EQ(names[18], "v11");
  EXPECT_EQ(names[19], "v09");  // v10 is gone
  for (const char* n : {"V00", "v11", "V29"}) {
    EXPECT_EQ(RegQueryValueExA(h, n, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS) << n;
  }
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExA(h, "v05", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 3u);
  RegCloseKey(h);
}

TEST_F(RegistryApi, DeletingManyValuesKeepsEveryOtherFound) {
  HKEY h = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Many", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &h, nullptr),
            ERROR_SUCCESS);
  // Names out of their sorted order, so positions and name order differ.
  std::set<int> present;
  for (int i = 0; i < 40; ++i) {
    const int n = (i * 17) % 40;
    const std::string name = "Val" + std::to_string(n);
    ASSERT_EQ(RegSetValueExA(h, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2),
              ERROR_SUCCESS);
    present.insert(n);
  }
  const auto checkAll = [&](const std::string& after) {
    for (int n = 0; n < 40; ++n) {
      const std::string name = "VAL" + std::to_string(n);
      const LONG want = present.count(n) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
      ASSERT_EQ(RegQueryValueExA(h, name.c_str(), nullptr, nullptr, nullptr, nullptr), want)
          << name << " after " << after;
    }
  };
  // Down past the size where the key keeps a name index, then up again.
  for (int n : {3, 39, 0, 20, 21, 7, 11, 30, 31, 32, 33, 34, 35, 36, 37, 38, 1, 2, 4, 5, 6, 8}) {
    ASSERT_EQ(RegDeleteValueA(h, ("val" + std::to_string(n)).c_str()), ERROR_SUCCESS) << n;
    present.erase(n);
    checkAll("deleting " + std::to_string(n));
  }
  for (int n : {39, 3, 0}) {
    ASSERT_EQ(RegSetValueExA(h, ("Val" + std::to_string(n)).c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>("x"), 2),
              ERROR_SUCCESS);
    present.insert(n);
  }
  checkAll("adding again");
  RegCloseKey(h);
}

TEST_F(RegistryApi, CreateKeyDispositionAndLimits) {
  HKEY h = nullptr;
  DWORD disp = 0;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\New\\Deep", 0, nullptr, 0, KEY_WRITE,
                            nullptr, &h, &disp),
            ERROR_SUCCESS);
  EXPECT_EQ(disp, REG_CREATED_NEW_KEY);
  RegCloseKey(h);
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "software\\new\\DEEP", 0, nullptr, 0, KEY_WRITE,
                            nullptr, &h, &disp),
            ERROR_SUCCESS);
  EXPECT_EQ(disp, REG_OPENED_EXISTING_KEY);
  EXPECT_EQ(reg.Find("HKLM\\SOFTWARE\\New\\Deep")->name, "Deep");  // first spelling kept

  std::string longName(256, 'k');
  EXPECT_EQ(RegCreateKeyExA(h, longName.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, &disp),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(h, nullptr);
  EXPECT_EQ(reg.Find("HKLM\\SOFTWARE\\New\\Deep")->subkeys().size(), 0u);
  HKEY k = Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\New", KEY_ALL_ACCESS);
  std::string longValue(16384, 'v');
  EXPECT_EQ(RegSetValueExA(k, longValue.c_str(), 0, REG_BINARY, nullptr, 0),
            ERROR_INVALID_PARAMETER);
  RegCloseKey(k);
}

TEST_F(RegistryApi, ViewsShareTheirKeys) {
  reg.SetDword("HKLM\\SYSTEM\\Select", "Current", 2);
  reg.SetString("HKLM\\SYSTEM\\ControlSet002\\Services\\VtScan", "ImagePath", "x.sys");
  reg.SetString("HKLM\\SOFTWARE\\Classes\\.vtc", "", "VtFile");
  reg.SetString("HKEY_USERS\\.DEFAULT\\Software\\Vt", "a", "1");

  HKEY h = Open(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\VtScan");
  RegCloseKey(h);
  RegCloseKey(Open(HKEY_CLASSES_ROOT, ".VTC"));
  RegCloseKey(Open(HKEY_CURRENT_USER, "Software\\Vt"));

  // A key made through HKCC lands in the current control set.
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_CONFIG, "Software\\Vt", 0, nullptr, 0, KEY_WRITE, nullptr,
                            &h, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(h);
  EXPECT_NE(reg.Find("HKLM\\SYSTEM\\ControlSet002\\Hardware Profiles\\Current\\Software\\Vt"),
            nullptr);

  // Deleted through one view, gone through the other; an open handle sees 1018.
  HKEY viaSet = Open(HKEY_LOCAL_MACHINE, "SYSTEM\\ControlSet002\\Services\\VtScan");
  EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\VtScan"),
            ERROR_SUCCESS);
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExA(viaSet, "ImagePath", nullptr, nullptr, nullptr, &size),
            ERROR_KEY_DELETED);
  EXPECT_EQ(RegCloseKey(viaSet), ERROR_SUCCESS);
  EXPECT_EQ(SHDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\.vtc"), 0u);
  Open(HKEY_CLASSES_ROOT, ".vtc", KEY_READ, ERROR_FILE_NOT_FOUND);

  reg.current_user = "S-1-5-21-7";
  reg.Create("HKU\\S-1-5-21-7\\Software\\Mine");
  RegCloseKey(Open(HKEY_CURRENT_USER, "Software\\Mine"));
  Open(HKEY_CURRENT_USER, "Software\\Vt", KEY_READ, ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryApi, DeleteKeyOnNtAndOn9x) {
  reg.Create("HKLM\\SOFTWARE\\Vt\\Sub\\Leaf");
  EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vt"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Nope"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, ""), ERROR_ACCESS_DENIED);  // a hive stays
  EXPECT_EQ(SHDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vt"), 0u);
  EXPECT_EQ(reg.Find("HKLM\\SOFTWARE\\Vt"), nullptr);
  EXPECT_EQ(SHDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vt"), 2u);

  reg.nt_family = false;
  reg.Create("HKLM\\SOFTWARE\\Vt\\Sub\\Leaf");
  reg.administrator = false;  // 9x has no registry security
  reg.SetAccess("HKLM\\SOFTWARE\\Vt", sim::KeyAccess::kProtected);
  EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vt"), ERROR_SUCCESS);
  EXPECT_EQ(reg.Find("HKLM\\SOFTWARE\\Vt"), nullptr);
}

TEST_F(RegistryApi, AccessRefusalsOnNt) {
  reg.Create("HKLM\\SOFTWARE\\Ro\\Child");
  reg.Create("HKLM\\SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_1234\\5&1\\Device Parameters");
  reg.Create("HKLM\\SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_9999");
  reg.Create("HKU\\.DEFAULT\\Software\\Vt");
  ASSERT_TRUE(reg.SetAccess("HKLM\\SOFTWARE\\Ro", sim::KeyAccess::kReadOnly));
  ASSERT_TRUE(reg.SetAccess("HKLM\\SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_1234",
                            sim::KeyAccess::kProtected));

  // read_only: every write right refused, reading fine, children unaffected.
  for (REGSAM sam : {KEY_SET_VALUE, KEY_CREATE_SUB_KEY, KEY_WRITE, DELETE, WRITE_DAC, WRITE_OWNER,
                     KEY_ALL_ACCESS}) {
    Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Ro", sam, ERROR_ACCESS_DENIED);
  }
  RegCloseKey(Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Ro", KEY_READ));
  RegCloseKey(Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Ro\\Child", KEY_ALL_ACCESS));

  // protected subtree: reading works, deletion does not, ownership waits for the privilege.
  const char* dev = "SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_1234\\5&1";
  RegCloseKey(Open(HKEY_LOCAL_MACHINE, dev, KEY_READ));
  Open(HKEY_LOCAL_MACHINE, dev, DELETE, ERROR_ACCESS_DENIED);
  Open(HKEY_LOCAL_MACHINE, dev, KEY_ALL_ACCESS, ERROR_ACCESS_DENIED);
  Open(HKEY_LOCAL_MACHINE, dev, WRITE_OWNER, ERROR_ACCESS_DENIED);
  reg.take_ownership_enabled = true;
  RegCloseKey(Open(HKEY_LOCAL_MACHINE, dev, WRITE_OWNER));
  EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE,
                          "SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_1234\\5&1\\Device Parameters"),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(SHDeleteKeyA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Enum\\USB"),
            static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_NE(reg.Find("HKLM\\SYSTEM\\ControlSet001\\Enum\\USB\\VID_1234\\5&1\\Device Parameters"),
            nullptr);
  // The shell deletes in order and stops at the refusal: VID_1234 sorts first,
  // so its unprotected sibling VID_9999 is still there.
  EXPECT_NE(reg.Find("HKLM\\SYSTEM\\ControlSet001\\Enum\\USB\\VID_9999"), nullptr);

  // Without administrator rights every key of HKLM refuses writes; HKCU does not.
  reg.administrator = false;
  Open(HKEY_LOCAL_MACHINE, "SOFTWARE", KEY_SET_VALUE, ERROR_ACCESS_DENIED);
  const BYTE one[] = "1";
  EXPECT_EQ(RegSetValueExA(HKEY_LOCAL_MACHINE, "x", 0, REG_SZ, one, 2), ERROR_ACCESS_DENIED);
  HKEY h = nullptr;
  EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Test", 0, nullptr, 0, KEY_READ, nullptr,
                            &h, nullptr),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(reg.Find("HKLM\\SOFTWARE\\Test"), nullptr);
  RegCloseKey(Open(HKEY_CURRENT_USER, "Software\\Vt", KEY_ALL_ACCESS));
}

TEST_F(RegistryApi, FaultsNameTheHiveRootedPath) {
  reg.SetString("HKLM\\SOFTWARE\\Vt\\Sub", "Path", "x");
  m.faults.list.push_back(sim::Fault{"RegOpenKeyExA", "", "hklm\\software\\vt\\sub", "", 1011, 1});
  m.faults.list.push_back(sim::Fault{"RegQueryValueExA", "", "", "Path", 5, -1});
  m.faults.list.push_back(sim::Fault{"RegDeleteKeyA", "", "HKLM\\SOFTWARE\\Vt\\Sub", "", 33, -1});

  Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vt\\Sub", KEY_READ, 1011);
  HKEY vt = Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vt");
  HKEY sub = Open(vt, "Sub");  // the fault was used up
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExA(sub, "path", nullptr, nullptr, nullptr, &size), 5);
  // Opened under another key: the fault sees the full path.
  EXPECT_EQ(RegDeleteKeyA(vt, "Sub"), 33);
  RegCloseKey(sub);
  RegCloseKey(vt);

  // A fault may spell the hive out, use the program's "HKUS", or end in a backslash.
  reg.SetString("HKU\\.DEFAULT\\Software\\Vt", "Path", "x");
  m.faults.list.push_back(
      sim::Fault{"RegOpenKeyExA", "", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Vt\\", "", 1010, 1});
  m.faults.list.push_back(
      sim::Fault{"RegOpenKeyExA", "", "HKUS\\.DEFAULT\\Software\\Vt", "", 1009, 1});
  Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vt", KEY_READ, 1010);
  Open(HKEY_USERS, ".DEFAULT\\Software\\Vt", KEY_READ, 1009);
}

}  // namespace
