// Enumerating subkeys and values: order, the end, short buffers.
#include <cstring>
#include <string>
#include <vector>

#include "conformance/conformance.h"
#include "conformance/registry_helpers.h"

using namespace conformance;

namespace {

constexpr char kWineSortsValues[] =
    "Wine lists values sorted by name, Windows in creation order; wine-notes.md, measured on this "
    "project";

BYTE* Bytes(char* p) { return reinterpret_cast<BYTE*>(p); }

// A key holding the value "Test" = "foobar" (7 bytes with the zero).
HKEY FoobarKey() {
  HKEY key = CreateScratchKey("");
  SetText(key, "Test", "foobar");
  return key;
}

// ASCII names in NT's order: compared after upper-casing.
bool SortedAsNt(const std::vector<std::string>& names) {
  auto upper = [](std::string s) {
    for (char& c : s)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
  };
  for (size_t i = 1; i < names.size(); ++i)
    if (upper(names[i - 1]) >= upper(names[i])) return false;
  return true;
}

}  // namespace

CONFORMANCE_CASE(registry, RegEnumKeyExA_SortedOnNtInCreationOrderOn9x) {
  WineDiffersOn9x(
      "Wine lists subkeys sorted in 98 mode too; wine-notes.md, measured on this project");
  for (const char* name : {"b", "C", "a"}) MakeScratchKey(std::string("Order\\") + name);
  HKEY key = CreateScratchKey("Order");
  CHECK_STR(Joined(SubkeyNames(key)), NtFamily() ? "a,b,C" : "b,C,a");
  RegCloseKey(key);
}

CONFORMANCE_CASE(registry, RegEnumKeyExA_PastTheEndGives259) {
  MakeScratchKey("End\\Only");
  HKEY key = CreateScratchKey("End");
  char name[32];
  DWORD size = sizeof name;
  CHECK_EQ(RegEnumKeyExA(key, 1, name, &size, nullptr, nullptr, nullptr, nullptr),
           ERROR_NO_MORE_ITEMS);
  size = sizeof name;
  CHECK_EQ(RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  CHECK_STR(name, "Only");
  CHECK_EQ(size, 4u);
  RegCloseKey(key);
}

CONFORMANCE_CASE(registry, RegEnumKeyExA_NameBufferOneShort) {
  MakeScratchKey("Short\\Four");
  HKEY key = CreateScratchKey("Short");
  char name[8] = "xxxxxxx";
  DWORD size = 4;  // "Four" needs 5 with its zero
  CHECK_EQ(RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
  size = 5;
  CHECK_EQ(RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  CHECK_STR(name, "Four");
  CHECK_EQ(size, 4u);
  RegCloseKey(key);
}

CONFORMANCE_CASE(registry, RegEnumKeyExA_DeletingAtIndexZeroEmptiesTheKey) {
  for (const char* name : {"k1", "k2", "k3"}) MakeScratchKey(std::string("Drain\\") + name);
  HKEY key = CreateScratchKey("Drain");
  int deleted = 0;
  char name[32];
  DWORD size = sizeof name;
  while (RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
         deleted < 10) {
    CHECK_EQ(RegDeleteKeyA(key, name), ERROR_SUCCESS);
    ++deleted;
    size = sizeof name;
  }
  CHECK_EQ(deleted, 3);
  RegCloseKey(key);
}

CONFORMANCE_CASE(registry, RegEnumKeyExA_ListsCurrentControlSetUnderSystem) {
  // On NT HKLM\SYSTEM\CurrentControlSet is a link that enumerates with the
  // real keys; on 9x it is a key of its own.
  const char kMade[] = "SYSTEM\\CurrentControlSet\\Services\\CvsConformance";
  HKEY made = nullptr;
  CHECK_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kMade, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &made,
                           nullptr),
           ERROR_SUCCESS);
  if (made) RegCloseKey(made);
  HKEY system = nullptr;
  CHECK_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM", 0, KEY_READ, &system), ERROR_SUCCESS);
  const std::vector<std::string> names = SubkeyNames(system);
  int links = 0;
  for (const std::string& n : names) links += n == "CurrentControlSet" ? 1 : 0;
  CHECK_EQ(links, 1);
  if (NtFamily()) CHECK_TRUE(SortedAsNt(names));
  RegCloseKey(system);
  CHECK_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, kMade), ERROR_SUCCESS);
}

CONFORMANCE_CASE(registry, RegEnumKeyExA_ClosedHandle) {
  WineDiffersOn9x(kWineBadKey);
  char name[32];
  DWORD size = sizeof name;
  CHECK_EQ(RegEnumKeyExA(ClosedHandle(), 0, name, &size, nullptr, nullptr, nullptr, nullptr),
           InvalidHandleError());
}

CONFORMANCE_CASE(registry, RegEnumValueA_CreationOrder) {
  WINE_DIFFERS(kWineSortsValues);
  HKEY key = CreateScratchKey("");
  for (const char* name : {"zeta", "Alpha", "", "mid"}) SetDword(key, name, 1);
  CHECK_STR(Joined(ValueNames(key)), "zeta,Alpha,,mid");
  RegCloseKey(key);
}

CONFORMANCE_CASE(registry, RegEnumValueA_PastTheEndGives259) {
  HKEY key = FoobarKey();
  char name[32];
  DWORD size = sizeof name;
  CHECK_EQ(RegEnumValueA(key, 1, name, &size, nullptr, nullptr, nullptr, nullptr),
           ERROR_NO_MORE_ITEMS);
  RegCloseKey(key);
}

CONFORMANCE_CASE(registry, RegEnumValueA_DataBufferShort) {
  // dlls/advapi32/tests/registry.c test_enum_value "overflow data".
  HKEY key = FoobarKey();
  char name[20] = "xxxxxxxxxx";
  char data[20] = "xxxxxxxxxx";
  DWORD nameSize = 20;
  DWORD dataSize = 2;
  DWORD type = 1234;
  CHECK_EQ(RegEnumValueA(key, 0, name, &nameSize, nullptr, &type, Bytes(data), &dataSize),
           ERROR_MORE_DATA);
  CHECK_EQ(nameSize, 20u);
  CHECK_EQ(dataSize, 7u);
  CHECK_EQ(type, static_cast<DWORD>(REG_SZ));
  CHECK_STR(name, "xxxxxxxxxx");
  CHECK_STR(data, "xxxxxxxxxx");
  RegCloseKey(key);
}

CONFORMANCE_CASE(registry, RegEnumValueA_NameBufferShort) {
  // test_enum_value "overflow name" and "overflow both name and data".
  HKEY key = FoobarKey();
  char name[20] = "xxxxxxxxxx";
  char data[20] = "xxxxxxxxxx";
  for (DWORD dataRoom : {20u, 2u}) {
    DWORD nameSize = 3;
    DWORD dataSize = dataRoom;
    DWORD type = 1234;
    CHECK_EQ(RegEnumValueA(key, 0, name, &nameSize, nullptr, &type, Bytes(data), &dataSize),
             ERROR_MORE_DATA);
    CHECK_EQ(nameSize, 3u);
    CHECK_EQ(dataSize, 7u);
    CHECK_EQ(type, static_cast<DWORD>(REG_SZ));
  }
  DWORD none = 0;
  DWORD dataSize = sizeof data;
  CHECK_EQ(RegEnumValueA(key, 0, name, &none, nullptr, nullptr, Bytes(data), &dataSize),
           ERROR_MORE_DATA);
  CHECK_EQ(none, 0u);
  RegCloseKey(key);
}

CONFORMANCE_CASE(registry, RegEnumValueA_NullDataGivesTheSize) {
  HKEY key = FoobarKey();
  char name[20];
  DWORD nameSize = sizeof name;
  DWORD dataSize = 0;
  DWORD type = 0;
  CHECK_EQ(RegEnumValueA(key, 0, name, &nameSize, nullptr, &type, nullptr, &dataSize),
           ERROR_SUCCESS);
  CHECK_STR(name, "Test");
  CHECK_EQ(nameSize, 4u);
  CHECK_EQ(dataSize, 7u);
  CHECK_EQ(type, static_cast<DWORD>(REG_SZ));
  RegCloseKey(key);
}

CONFORMANCE_CASE(registry, RegEnumValueA_TypesAndSizes) {
  HKEY key = CreateScratchKey("");
  const BYTE bin[3] = {1, 2, 3};
  SetBytes(key, "bin", REG_BINARY, bin, sizeof bin);
  SetDword(key, "dw", 9);
  SetBytes(key, "multi", REG_MULTI_SZ, "a\0bc\0", 6);
  SetText(key, "exp", "%TEMP%", REG_EXPAND_SZ);
  // By name: the order is checked in RegEnumValueA_CreationOrder.
  std::string seen;
  for (DWORD i = 0; i < 4; ++i) {
    char name[20] = "";
    char data[20];
    DWORD nameSize = sizeof name;
    DWORD dataSize = sizeof data;
    DWORD type = 0;
    CHECK_EQ(RegEnumValueA(key, i, name, &nameSize, nullptr, &type, Bytes(data), &dataSize),
             ERROR_SUCCESS);
    seen += std::string(name) + ":" + std::to_string(type) + "/" + std::to_string(dataSize) + " ";
  }
  for (const char* want : {"bin:3/3 ", "dw:4/4 ", "multi:7/6 ", "exp:2/7 "})
    CHECK_TRUE(seen.find(want) != std::string::npos);
  RegCloseKey(key);
}

CONFORMANCE_CASE(registry, RegEnumValueA_UnterminatedStringGetsAZeroWhenThereIsRoom) {
  // test_string_termination (NT). On 9x REG_SZ is stored with its zero.
  HKEY key = CreateScratchKey("");
  const char text[] = "FullString";
  const DWORD stored = NtFamily() ? sizeof text - 2 : sizeof text;
  SetBytes(key, "s", REG_SZ, text, sizeof text - 2);
  BYTE buffer[16];
  std::memset(buffer, 0xBD, sizeof buffer);
  char name[16];
  DWORD nameSize = sizeof name;
  DWORD size = sizeof buffer;
  CHECK_EQ(RegEnumValueA(key, 0, name, &nameSize, nullptr, nullptr, buffer, &size), ERROR_SUCCESS);
  CHECK_EQ(size, stored);
  CHECK_EQ(buffer[stored], NtFamily() ? 0 : 0xBD);
  RegCloseKey(key);
}

CONFORMANCE_CASE(registry, RegEnumValueA_ClosedHandle) {
  WineDiffersOn9x(kWineBadKey);
  char name[32];
  DWORD size = sizeof name;
  CHECK_EQ(RegEnumValueA(ClosedHandle(), 0, name, &size, nullptr, nullptr, nullptr, nullptr),
           InvalidHandleError());
}
