// Plug-and-Play devices through SetupAPI, reached as the program reaches it:
// "SetupApi.dll" loaded at run time and its functions looked up by name.
// The devices differ from PC to PC (under Wine: the prefix's own virtual
// devices, to which none can be added), so the cases check the shapes of the
// answers (enumeration end, sizes, types, errors), never particular devices.
#include <cstring>
#include <string>
#include <vector>

#include "conformance/conformance.h"

namespace {

using conformance::NtFamily;
using conformance::UnderWine;

bool WindowsFourZero() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  return GetVersionExA(&info) && info.dwMajorVersion == 4 && info.dwMinorVersion == 0;
}

template <class Fn>
Fn Lookup(HMODULE lib, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(lib, name)));
}

// The library and its five functions; `ok` is false where the PC has none
// (Windows 95 and NT 4).
struct SetupApi {
  HMODULE lib = nullptr;
  SetupDiGetClassDevsFn get_class_devs = nullptr;
  SetupDiEnumDeviceInfoFn enum_device_info = nullptr;
  SetupDiGetDeviceRegistryPropertyFn get_property = nullptr;
  SetupDiCallClassInstallerFn call_class_installer = nullptr;
  SetupDiDestroyDeviceInfoListFn destroy_list = nullptr;
  bool ok = false;

  SetupApi() {
    lib = LoadLibraryA("SetupApi.dll");
    if (!lib) return;
    get_class_devs = Lookup<SetupDiGetClassDevsFn>(lib, "SetupDiGetClassDevsA");
    enum_device_info = Lookup<SetupDiEnumDeviceInfoFn>(lib, "SetupDiEnumDeviceInfo");
    get_property =
        Lookup<SetupDiGetDeviceRegistryPropertyFn>(lib, "SetupDiGetDeviceRegistryPropertyA");
    call_class_installer = Lookup<SetupDiCallClassInstallerFn>(lib, "SetupDiCallClassInstaller");
    destroy_list = Lookup<SetupDiDestroyDeviceInfoListFn>(lib, "SetupDiDestroyDeviceInfoList");
    ok = get_class_devs && enum_device_info && get_property && call_class_installer && destroy_list;
    CHECK_TRUE(ok);
  }
  ~SetupApi() {
    if (lib) FreeLibrary(lib);
  }
  SetupApi(const SetupApi&) = delete;
  SetupApi& operator=(const SetupApi&) = delete;

  HDEVINFO AllDevices() const {
    HDEVINFO set = get_class_devs(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES | DIGCF_PROFILE);
    CHECK_TRUE(set != INVALID_HANDLE_VALUE);
    return set;
  }
  // The number of devices the set enumerates; the end is checked on the way.
  DWORD Count(HDEVINFO set) const {
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof device;
    DWORD n = 0;
    while (enum_device_info(set, n, &device)) ++n;
    CHECK_ERROR(ERROR_NO_MORE_ITEMS);
    return n;
  }
  SP_DEVINFO_DATA Device(HDEVINFO set, DWORD index) const {
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof device;
    CHECK_EQ(enum_device_info(set, index, &device), TRUE);
    return device;
  }
};

}  // namespace

// LoadLibraryA of the library itself

CONFORMANCE_CASE(setupapi, LoadLibraryA_SetupApiMissingOn95AndNt4) {
  if (WindowsFourZero())
    WINE_DIFFERS(
        "Wine ships its own SetupApi.dll in every Windows mode; Windows 95 and NT 4 "
        "have none (it came with Windows 98 and 2000)");
  SetLastError(0xdeadbeef);
  HMODULE lib = LoadLibraryA("SetupApi.dll");
  if (WindowsFourZero()) {
    CHECK_TRUE(lib == nullptr);
    CHECK_ERROR(NtFamily() ? 126 : 1157);
  } else {
    CHECK_TRUE(lib != nullptr);
  }
  if (lib) FreeLibrary(lib);
}

// SetupDiGetClassDevsA, SetupDiEnumDeviceInfo

CONFORMANCE_CASE(setupapi, SetupDiGetClassDevsA_AllClassesEnumeratesToTheEnd) {
  SetupApi api;
  if (!api.ok) return;
  HDEVINFO set = api.AllDevices();
  const DWORD n = api.Count(set);
  CHECK_TRUE(n > 0);
  // Each device has its own device node.
  std::vector<DWORD> nodes;
  for (DWORD i = 0; i < n; ++i) {
    const DWORD node = api.Device(set, i).DevInst;
    for (DWORD seen : nodes) CHECK_TRUE(seen != node);
    nodes.push_back(node);
  }
  // Well past the end as well.
  SP_DEVINFO_DATA device = {};
  device.cbSize = sizeof device;
  SetLastError(0xdeadbeef);
  CHECK_EQ(api.enum_device_info(set, n + 100, &device), FALSE);
  CHECK_ERROR(ERROR_NO_MORE_ITEMS);
  CHECK_EQ(api.destroy_list(set), TRUE);
}

CONFORMANCE_CASE(setupapi, SetupDiGetClassDevsA_NoClassNeedsAllClasses) {
  SetupApi api;
  if (!api.ok) return;
  SetLastError(0xdeadbeef);
  CHECK_TRUE(api.get_class_devs(nullptr, nullptr, nullptr, DIGCF_PROFILE) == INVALID_HANDLE_VALUE);
  CHECK_ERROR(ERROR_INVALID_PARAMETER);
}

CONFORMANCE_CASE(setupapi, SetupDiGetClassDevsA_PresentIsPartOfAll) {
  SetupApi api;
  if (!api.ok) return;
  HDEVINFO all = api.AllDevices();
  HDEVINFO present =
      api.get_class_devs(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT);
  CHECK_TRUE(present != INVALID_HANDLE_VALUE);
  CHECK_TRUE(api.Count(present) <= api.Count(all));
  api.destroy_list(present);
  api.destroy_list(all);
}

CONFORMANCE_CASE(setupapi, SetupDiEnumDeviceInfo_WrongRecordSizeGives1784) {
  SetupApi api;
  if (!api.ok) return;
  HDEVINFO set = api.AllDevices();
  for (DWORD size :
       {DWORD{0}, DWORD{sizeof(SP_DEVINFO_DATA) - 4}, DWORD{sizeof(SP_DEVINFO_DATA) + 4}}) {
    SP_DEVINFO_DATA device[2] = {};
    device[0].cbSize = size;
    SetLastError(0xdeadbeef);
    CHECK_EQ(api.enum_device_info(set, 0, device), FALSE);
    CHECK_ERROR(ERROR_INVALID_USER_BUFFER);
  }
  SetLastError(0xdeadbeef);
  CHECK_EQ(api.enum_device_info(set, 0, nullptr), FALSE);
  CHECK_ERROR(ERROR_INVALID_PARAMETER);
  api.destroy_list(set);
}

CONFORMANCE_CASE(setupapi, SetupDiEnumDeviceInfo_NoSetGives6) {
  SetupApi api;
  if (!api.ok) return;
  SP_DEVINFO_DATA device = {};
  device.cbSize = sizeof device;
  for (HDEVINFO bad : {HDEVINFO(nullptr), HDEVINFO(INVALID_HANDLE_VALUE)}) {
    SetLastError(0xdeadbeef);
    CHECK_EQ(api.enum_device_info(bad, 0, &device), FALSE);
    CHECK_ERROR(ERROR_INVALID_HANDLE);
  }
}

// SetupDiGetDeviceRegistryPropertyA

CONFORMANCE_CASE(setupapi, SetupDiGetDeviceRegistryPropertyA_ShortBufferGives122AndTheSize) {
  SetupApi api;
  if (!api.ok) return;
  HDEVINFO set = api.AllDevices();
  const DWORD n = api.Count(set);
  DWORD withClass = 0;
  for (DWORD i = 0; i < n; ++i) {
    SP_DEVINFO_DATA device = api.Device(set, i);
    DWORD type = 0xdeadbeef;
    DWORD needed = 0xdeadbeef;
    SetLastError(0xdeadbeef);
    if (api.get_property(set, &device, SPDRP_CLASS, &type, nullptr, 0, &needed)) {
      CHECK_TRUE(false);
      continue;
    }
    if (GetLastError() == static_cast<DWORD>(ERROR_INVALID_DATA)) continue;
    CHECK_ERROR(ERROR_INSUFFICIENT_BUFFER);
    CHECK_TRUE(needed >= 2 && needed < 512);
    ++withClass;
    // One byte short: untouched.
    std::string buf(needed, 'x');
    SetLastError(0xdeadbeef);
    CHECK_EQ(api.get_property(set, &device, SPDRP_CLASS, &type, reinterpret_cast<BYTE*>(&buf[0]),
                              needed - 1, &needed),
             FALSE);
    CHECK_ERROR(ERROR_INSUFFICIENT_BUFFER);
    CHECK_EQ(buf, std::string(needed, 'x'));
    // Exactly the size: the class name and its zero.
    DWORD got = 0;
    CHECK_EQ(api.get_property(set, &device, SPDRP_CLASS, &type, reinterpret_cast<BYTE*>(&buf[0]),
                              needed, &got),
             TRUE);
    CHECK_EQ(type, REG_SZ);
    CHECK_EQ(got, needed);
    CHECK_EQ(std::strlen(buf.c_str()) + 1, needed);
  }
  CHECK_TRUE(withClass > 0);
  api.destroy_list(set);
}

CONFORMANCE_CASE(setupapi, SetupDiGetDeviceRegistryPropertyA_HardwareIdsAreAMultiString) {
  WINE_DIFFERS(
      "Wine 8 gives its root-enumerated devices (root\\winebus) the size of the "
      "wide list, 28 for 14 bytes of names; measured");
  SetupApi api;
  if (!api.ok) return;
  HDEVINFO set = api.AllDevices();
  const DWORD n = api.Count(set);
  DWORD withIds = 0;
  for (DWORD i = 0; i < n; ++i) {
    SP_DEVINFO_DATA device = api.Device(set, i);
    BYTE buf[512];
    std::memset(buf, 'x', sizeof buf);
    DWORD type = 0;
    DWORD needed = 0;
    SetLastError(0xdeadbeef);
    if (!api.get_property(set, &device, SPDRP_HARDWAREID, &type, buf, sizeof buf, &needed)) {
      CHECK_ERROR(ERROR_INVALID_DATA);
      continue;
    }
    ++withIds;
    CHECK_EQ(type, REG_MULTI_SZ);
    CHECK_TRUE(needed >= 3 && needed <= sizeof buf);
    // A list of names, each with its zero, and one more zero at the end:
    // the size counts exactly those bytes.
    CHECK_TRUE(buf[0] != 0);
    size_t end = 1;
    while (end < sizeof buf && !(buf[end - 1] == 0 && buf[end] == 0)) ++end;
    CHECK_EQ(end + 1, needed);
  }
  CHECK_TRUE(withIds > 0);
  api.destroy_list(set);
}

CONFORMANCE_CASE(setupapi, SetupDiGetDeviceRegistryPropertyA_MissingPropertyGives13) {
  SetupApi api;
  if (!api.ok) return;
  HDEVINFO set = api.AllDevices();
  SP_DEVINFO_DATA device = api.Device(set, 0);
  BYTE buf[512];
  DWORD needed = 0;
  // Lower filter drivers: none of the PC's plain devices has one.
  const DWORD kLowerFilters = 0x12;
  SetLastError(0xdeadbeef);
  CHECK_EQ(api.get_property(set, &device, kLowerFilters, nullptr, buf, sizeof buf, &needed), FALSE);
  CHECK_ERROR(ERROR_INVALID_DATA);
  api.destroy_list(set);
}

CONFORMANCE_CASE(setupapi, SetupDiGetDeviceRegistryPropertyA_BadArgumentsAreRefused) {
  SetupApi api;
  if (!api.ok) return;
  HDEVINFO set = api.AllDevices();
  SP_DEVINFO_DATA device = api.Device(set, 0);
  BYTE buf[64];
  SetLastError(0xdeadbeef);
  CHECK_EQ(api.get_property(nullptr, &device, SPDRP_CLASS, nullptr, buf, sizeof buf, nullptr),
           FALSE);
  CHECK_ERROR(ERROR_INVALID_HANDLE);
  SetLastError(0xdeadbeef);
  CHECK_EQ(api.get_property(set, nullptr, SPDRP_CLASS, nullptr, buf, sizeof buf, nullptr), FALSE);
  CHECK_ERROR(ERROR_INVALID_PARAMETER);
  api.destroy_list(set);
}

CONFORMANCE_CASE(setupapi, SetupDiGetDeviceRegistryPropertyA_UnknownPropertyGivesInvalidProperty) {
  WINE_DIFFERS(
      "Wine fails without setting a last error; dlls/setupapi/tests/devinst.c "
      "test_registry_property_a marks ERROR_INVALID_REG_PROPERTY todo_wine");
  SetupApi api;
  if (!api.ok) return;
  HDEVINFO set = api.AllDevices();
  SP_DEVINFO_DATA device = api.Device(set, 0);
  SetLastError(0xdeadbeef);
  CHECK_EQ(api.get_property(set, &device, 0xFFFFFFFF, nullptr, nullptr, 0, nullptr), FALSE);
  CHECK_ERROR(ERROR_INVALID_REG_PROPERTY);
  api.destroy_list(set);
}

// SetupDiCallClassInstaller

CONFORMANCE_CASE(setupapi, SetupDiCallClassInstaller_RemoveTakesTheDeviceOffThePc) {
  // Under Wine the only devices are the prefix's own, and removing one would
  // change the prefix for every later case: the removal runs on the
  // simulated PC only.
  if (UnderWine()) return;
  SetupApi api;
  if (!api.ok) return;
  HDEVINFO set = api.AllDevices();
  const DWORD before = api.Count(set);
  SP_DEVINFO_DATA device = api.Device(set, 0);
  SetLastError(0xdeadbeef);
  CHECK_EQ(api.call_class_installer(DIF_REMOVE, set, &device), TRUE);
  // The set keeps its record (the indices do not move), but the device is gone.
  CHECK_EQ(api.Count(set), before);
  CHECK_EQ(api.Device(set, 0).DevInst, device.DevInst);
  BYTE buf[512];
  SetLastError(0xdeadbeef);
  CHECK_EQ(api.get_property(set, &device, SPDRP_CLASS, nullptr, buf, sizeof buf, nullptr), FALSE);
  CHECK_ERROR(ERROR_NO_SUCH_DEVINST);
  SetLastError(0xdeadbeef);
  CHECK_EQ(api.call_class_installer(DIF_REMOVE, set, &device), FALSE);
  CHECK_ERROR(ERROR_NO_SUCH_DEVINST);
  // A new set no longer has it.
  HDEVINFO after = api.AllDevices();
  CHECK_EQ(api.Count(after), before - 1);
  api.destroy_list(after);
  api.destroy_list(set);
}

CONFORMANCE_CASE(setupapi, SetupDiCallClassInstaller_NoSetGives6) {
  SetupApi api;
  if (!api.ok) return;
  SP_DEVINFO_DATA device = {};
  device.cbSize = sizeof device;
  SetLastError(0xdeadbeef);
  CHECK_EQ(api.call_class_installer(DIF_REMOVE, INVALID_HANDLE_VALUE, &device), FALSE);
  CHECK_ERROR(ERROR_INVALID_HANDLE);
}

// SetupDiDestroyDeviceInfoList

CONFORMANCE_CASE(setupapi, SetupDiDestroyDeviceInfoList_InvalidHandleGives6) {
  SetupApi api;
  if (!api.ok) return;
  HDEVINFO set = api.AllDevices();
  CHECK_EQ(api.destroy_list(set), TRUE);
  SetLastError(0xdeadbeef);
  CHECK_EQ(api.destroy_list(INVALID_HANDLE_VALUE), FALSE);
  CHECK_ERROR(ERROR_INVALID_HANDLE);
}
