// Plug-and-Play devices through SetupAPI and the installer's products, both
// loaded at run time: Windows 95 and NT 4 ship without SetupAPI, and the
// installer is not on every PC.
#include <windows.h>
// After windows.h, whose types it uses.
#include <setupapi.h>

#include <vector>

#include "tools/vtcapture/machine_parts.h"
#include "tools/vtcapture/win_text.h"

namespace vtcapture {
namespace {

template <typename F>
F Find(HMODULE module, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

using GetClassDevs = HDEVINFO(WINAPI*)(const GUID*, PCSTR, HWND, DWORD);
using EnumInfo = BOOL(WINAPI*)(HDEVINFO, DWORD, PSP_DEVINFO_DATA);
using GetProperty = BOOL(WINAPI*)(HDEVINFO, PSP_DEVINFO_DATA, DWORD, PDWORD, PBYTE, DWORD, PDWORD);
using GetInstanceId = BOOL(WINAPI*)(HDEVINFO, PSP_DEVINFO_DATA, PSTR, DWORD, PDWORD);
using DestroyList = BOOL(WINAPI*)(HDEVINFO);

// A registry property of a device as its bytes; empty when it has none.
std::string Property(GetProperty get, HDEVINFO set, SP_DEVINFO_DATA* data, DWORD property) {
  DWORD size = 0;
  DWORD type = 0;
  get(set, data, property, &type, nullptr, 0, &size);
  if (size == 0) return std::string();
  std::vector<BYTE> buffer(size + 2);
  if (!get(set, data, property, &type, buffer.data(), size, &size)) return std::string();
  return std::string(reinterpret_cast<const char*>(buffer.data()), size);
}

std::string FirstString(const std::string& bytes) { return std::string(bytes.c_str()); }

// Where the device's hardware key is: the family's Enum key, or the other one
// where the registry keeps it there (Wine in a 9x mode); null when neither
// has it.
const char* EnumKey(const Version& version, const char* id) {
  const char* nt = "HKLM\\SYSTEM\\CurrentControlSet\\Enum\\";
  const char* nine = "HKLM\\Enum\\";
  for (const char* base : {version.nt_family() ? nt : nine, version.nt_family() ? nine : nt}) {
    HKEY key = nullptr;
    const std::string path = std::string(base + 5) + id;  // below HKLM
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
      RegCloseKey(key);
      return base;
    }
  }
  return nullptr;
}

}  // namespace

void WriteDevices(JsonText& json, const Version& version) {
  HMODULE setupapi = LoadLibraryA("setupapi.dll");
  const auto getClassDevs =
      setupapi ? Find<GetClassDevs>(setupapi, "SetupDiGetClassDevsA") : nullptr;
  const auto enumInfo = setupapi ? Find<EnumInfo>(setupapi, "SetupDiEnumDeviceInfo") : nullptr;
  const auto getProperty =
      setupapi ? Find<GetProperty>(setupapi, "SetupDiGetDeviceRegistryPropertyA") : nullptr;
  const auto getInstanceId =
      setupapi ? Find<GetInstanceId>(setupapi, "SetupDiGetDeviceInstanceIdA") : nullptr;
  const auto destroy =
      setupapi ? Find<DestroyList>(setupapi, "SetupDiDestroyDeviceInfoList") : nullptr;
  json.Key("setupapi");
  json.BeginObject();
  json.Key("present");
  json.Bool(setupapi != nullptr);
  json.EndObject();
  json.Key("devices");
  json.BeginArray();
  if (getClassDevs && enumInfo && getProperty && destroy) {
    HDEVINFO set = getClassDevs(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES);
    if (set != INVALID_HANDLE_VALUE) {
      SP_DEVINFO_DATA data;
      for (DWORD i = 0;; ++i) {
        ZeroMemory(&data, sizeof data);
        data.cbSize = sizeof data;
        if (!enumInfo(set, i, &data)) break;
        json.BeginObject();
        const std::string cls = FirstString(Property(getProperty, set, &data, SPDRP_CLASS));
        if (!cls.empty()) {
          json.Key("class");
          json.String(AnsiToUtf8(cls));
        }
        json.Key("hardware_ids");
        json.BeginArray();
        const std::string ids = Property(getProperty, set, &data, SPDRP_HARDWAREID);
        for (size_t at = 0; at < ids.size() && ids[at] != '\0';) {
          const std::string id(ids.c_str() + at);
          json.String(AnsiToUtf8(id));
          at += id.size() + 1;
        }
        json.EndArray();
        const std::string desc = FirstString(Property(getProperty, set, &data, SPDRP_DEVICEDESC));
        if (!desc.empty()) {
          json.Key("description");
          json.String(AnsiToUtf8(desc));
        }
        const std::string guid = FirstString(Property(getProperty, set, &data, SPDRP_CLASSGUID));
        if (!guid.empty()) {
          json.Key("class_guid");
          json.String(AnsiToUtf8(guid));
        }
        char id[512];
        DWORD size = 0;
        if (getInstanceId && getInstanceId(set, &data, id, sizeof id, &size)) {
          if (const char* key = EnumKey(version, id)) {
            json.Key("enum_key");
            json.String(AnsiToUtf8(key + std::string(id)));
          }
        }
        json.EndObject();
      }
      destroy(set);
    }
  }
  json.EndArray();
}

void WriteInstallerProducts(JsonText& json) {
  using EnumProducts = UINT(WINAPI*)(DWORD, LPSTR);
  HMODULE msi = LoadLibraryA("msi.dll");
  const auto enumProducts = msi ? Find<EnumProducts>(msi, "MsiEnumProductsA") : nullptr;
  json.Key("installer_products");
  json.BeginArray();
  if (enumProducts) {
    char code[39];
    for (DWORD i = 0; enumProducts(i, code) == ERROR_SUCCESS; ++i) {
      json.BeginObject();
      json.Key("code");
      json.String(code);
      json.EndObject();
    }
  }
  json.EndArray();
}

}  // namespace vtcapture
