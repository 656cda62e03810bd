// What the calls leave in registry.reg, and the order the calls list keys in
// across a save and a load: 9x creation order, the CurrentControlSet link
// that NT lists but no image holds, strings stored with the zero NT adds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/machine.h"
#include "sim/reg_file.h"
#include "sim/registry.h"

namespace {

class RegistryImage : public ::testing::Test {
 protected:
  sim::Machine m;
  sim::ScopedMachine scope{m};
  sim::Registry& reg = m.registry;

  void Use9x() {
    m.system.version.platform = VER_PLATFORM_WIN32_WINDOWS;
    reg.nt_family = false;
  }
  std::vector<std::string> Subkeys(HKEY base, const char* sub) {
    HKEY h = nullptr;
    EXPECT_EQ(RegOpenKeyExA(base, sub, 0, KEY_READ, &h), ERROR_SUCCESS) << sub;
    std::vector<std::string> names;
    char name[256];
    for (DWORD i = 0;; ++i) {
      DWORD cch = sizeof name;
      if (RegEnumKeyExA(h, i, name, &cch, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        break;
      names.push_back(name);
    }
    RegCloseKey(h);
    return names;
  }
  // The registry written and read back into a fresh one of the same family.
  void Reload() {
    const std::string text = sim::WriteRegFile(reg);
    reg.Clear();
    std::string error;
    ASSERT_TRUE(sim::ReadRegFile(text, reg, &error)) << error;
  }
};

using Names = std::vector<std::string>;

TEST_F(RegistryImage, NineXListsAndSavesSubkeysInCreationOrder) {
  Use9x();
  for (const char* k : {"zulu", "Alpha", "mike"}) reg.Create(std::string("HKLM\\Software\\") + k);
  EXPECT_EQ(Subkeys(HKEY_LOCAL_MACHINE, "Software"), (Names{"zulu", "Alpha", "mike"}));
  const std::string text = sim::WriteRegFile(reg);
  EXPECT_LT(text.find("\\zulu]"), text.find("\\Alpha]"));
  Reload();
  EXPECT_EQ(Subkeys(HKEY_LOCAL_MACHINE, "Software"), (Names{"zulu", "Alpha", "mike"}));
  // A key made later comes last, also after the next load.
  reg.Create("HKLM\\Software\\bravo");
  Reload();
  EXPECT_EQ(Subkeys(HKEY_LOCAL_MACHINE, "Software"), (Names{"zulu", "Alpha", "mike", "bravo"}));
}

TEST_F(RegistryImage, NineXEnumerationFollowsDeletionsThroughOneHandle) {
  Use9x();
  for (const char* k : {"c", "a", "b"}) reg.Create(std::string("HKLM\\T\\") + k);
  HKEY h = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "T", 0, KEY_ALL_ACCESS, &h), ERROR_SUCCESS);
  std::string order;
  char name[16];
  DWORD cch = sizeof name;
  while (RegEnumKeyExA(h, 0, name, &cch, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
    order += name;
    ASSERT_EQ(RegDeleteKeyA(h, name), ERROR_SUCCESS);
    cch = sizeof name;
  }
  EXPECT_EQ(order, "cab");
  RegCloseKey(h);
}

TEST_F(RegistryImage, NineXEnumerationThroughAPredefinedKeySeesChanges) {
  Use9x();
  reg.Create("HKLM\\b");
  reg.Create("HKLM\\a");
  reg.Create("HKU\\.DEFAULT\\y");
  auto list = [this](HKEY hive) {
    std::string out;
    char name[16];
    for (DWORD i = 0;; ++i) {
      DWORD cch = sizeof name;
      if (RegEnumKeyExA(hive, i, name, &cch, nullptr, nullptr, nullptr, nullptr)) break;
      out += name;
    }
    return out;
  };
  EXPECT_EQ(list(HKEY_LOCAL_MACHINE), "ba");
  ASSERT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "b"), ERROR_SUCCESS);
  reg.Create("HKLM\\c");
  EXPECT_EQ(list(HKEY_LOCAL_MACHINE), "ac");
  EXPECT_EQ(list(HKEY_USERS), ".DEFAULT");
  EXPECT_EQ(list(HKEY_LOCAL_MACHINE), "ac");
}

TEST_F(RegistryImage, NtListsTheControlSetLinkButNeverSavesIt) {
  reg.SetDword("HKLM\\SYSTEM\\Select", "Current", 2);
  reg.Create("HKLM\\SYSTEM\\ControlSet001\\Services");
  reg.Create("HKLM\\SYSTEM\\ControlSet002\\Services\\Vt");
  reg.Create("HKLM\\SYSTEM\\Setup");
  EXPECT_EQ(Subkeys(HKEY_LOCAL_MACHINE, "SYSTEM"),
            (Names{"ControlSet001", "ControlSet002", "CurrentControlSet", "Select", "Setup"}));
  EXPECT_EQ(Subkeys(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services"), (Names{"Vt"}));
  EXPECT_EQ(sim::WriteRegFile(reg).find("CurrentControlSet"), std::string::npos);
  // The link is listed only while the set it names exists.
  reg.DeleteTree("HKLM\\SYSTEM\\ControlSet002");
  EXPECT_EQ(Subkeys(HKEY_LOCAL_MACHINE, "SYSTEM"), (Names{"ControlSet001", "Select", "Setup"}));
}

TEST_F(RegistryImage, StringCountedWithoutItsZeroIsSavedAsText) {
  HKEY h = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vt", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &h, nullptr),
            ERROR_SUCCESS);
  const char text[] = "C:\\Vt";
  ASSERT_EQ(RegSetValueExA(h, "Dir", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), 5),
            ERROR_SUCCESS);
  const char list[] = "a\0b\0";
  ASSERT_EQ(RegSetValueExA(h, "List", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(list), 3),
            ERROR_SUCCESS);
  RegCloseKey(h);
  const std::string saved = sim::WriteRegFile(reg);
  EXPECT_NE(saved.find("\"Dir\"=\"C:\\\\Vt\"\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("\"List\"=hex(7):61,00,62,00\r\n"), std::string::npos) << saved;
}

TEST_F(RegistryImage, DefaultValueKeepsItsPlaceThroughALoad) {
  reg.SetDword("HKLM\\SOFTWARE\\Vt", "first", 1);
  reg.SetString("HKLM\\SOFTWARE\\Vt", "", "default");
  reg.SetDword("HKLM\\SOFTWARE\\Vt", "last", 2);
  Reload();
  const sim::RegKey* key = reg.Find("HKLM\\SOFTWARE\\Vt");
  ASSERT_NE(key, nullptr);
  ASSERT_EQ(key->values.size(), 3u);
  EXPECT_EQ(key->values[0].name(), "first");
  EXPECT_EQ(key->values[1].name(), "");
  EXPECT_EQ(key->values[2].name(), "last");
}

}  // namespace
