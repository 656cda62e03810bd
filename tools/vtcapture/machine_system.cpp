// Version, code page, directories, drives and the user.
#include <windows.h>

#include "tools/vtcapture/machine_parts.h"
#include "tools/vtcapture/win_text.h"

namespace vtcapture {
namespace {

template <typename F>
F Function(const char* module, const char* name) {
  HMODULE m = GetModuleHandleA(module);
  if (!m) m = LoadLibraryA(module);
  return m ? reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(m, name))) : nullptr;
}

const char* VersionName(const Version& v) {
  if (v.platform == 1 && v.major == 4) {
    if (v.minor == 0) return "95";
    if (v.minor == 10) return "98";
    if (v.minor == 90) return "me";
  }
  if (v.platform == 2 && v.major == 4 && v.minor == 0) return "nt4";
  if (v.platform == 2 && v.major == 5 && v.minor == 0) return "2000";
  if (v.platform == 2 && v.major == 5 && v.minor == 1) return "xp";
  return nullptr;
}

// SHGetSpecialFolderPathA's folders by the image's names (CSIDL numbers).
struct SpecialFolder {
  const char* name;
  int csidl;
};
const SpecialFolder kSpecialFolders[] = {{"desktop", 0x00},         {"programs", 0x02},
                                         {"personal", 0x05},        {"favorites", 0x06},
                                         {"startup", 0x07},         {"recent", 0x08},
                                         {"sendto", 0x09},          {"start_menu", 0x0b},
                                         {"fonts", 0x14},           {"common_start_menu", 0x16},
                                         {"common_programs", 0x17}, {"common_startup", 0x18},
                                         {"common_desktop", 0x19},  {"appdata", 0x1a},
                                         {"local_appdata", 0x1c},   {"common_appdata", 0x23},
                                         {"program_files", 0x26}};

void PathMember(JsonText& json, const char* name, const std::string& path, bool ok) {
  json.Key(name);
  if (ok)
    json.String(AnsiToUtf8(path));
  else
    json.Null();
}

}  // namespace

std::string WithTrailingBackslash(std::string path) {
  if (path.empty() || path.back() != '\\') path += '\\';
  return path;
}

Version WindowsVersion() {
  OSVERSIONINFOA info;
  ZeroMemory(&info, sizeof info);
  info.dwOSVersionInfoSize = sizeof info;
  Version v;
  if (GetVersionExA(&info)) {
    v.platform = info.dwPlatformId;
    v.major = info.dwMajorVersion;
    v.minor = info.dwMinorVersion;
  }
  return v;
}

void WriteSystem(JsonText& json, const Version& version) {
  json.Key("windows");
  if (const char* name = VersionName(version)) {
    json.String(name);
  } else {
    json.BeginObject();
    json.Key("platform");
    json.Number(version.platform);
    json.Key("major");
    json.Number(version.major);
    json.Key("minor");
    json.Number(version.minor);
    json.EndObject();
  }
  json.Key("code_page");
  json.Number(GetACP());
  char name[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD size = sizeof name;
  if (GetComputerNameA(name, &size)) {
    json.Key("computer_name");
    json.String(AnsiToUtf8(std::string(name, size)));
  }
}

void WriteDirectories(JsonText& json, const std::string& current) {
  json.Key("directories");
  json.BeginObject();
  PathMember(json, "current", current, true);
  char buffer[MAX_PATH + 1];
  DWORD n = GetTempPathA(sizeof buffer, buffer);
  PathMember(json, "temp", WithTrailingBackslash(std::string(buffer, n)),
             n > 0 && n < sizeof buffer);
  UINT u = GetWindowsDirectoryA(buffer, sizeof buffer);
  PathMember(json, "windows", std::string(buffer, u), u > 0 && u < sizeof buffer);
  u = GetSystemDirectoryA(buffer, sizeof buffer);
  PathMember(json, "system", std::string(buffer, u), u > 0 && u < sizeof buffer);
  // shell32 4.71 and later; an older shell leaves the special folders out.
  using GetFolder = BOOL(WINAPI*)(HWND, LPSTR, int, BOOL);
  const auto get = Function<GetFolder>("shell32.dll", "SHGetSpecialFolderPathA");
  if (get) {
    for (const SpecialFolder& f : kSpecialFolders) {
      buffer[0] = '\0';
      const bool ok = get(nullptr, buffer, f.csidl, FALSE) != FALSE;
      PathMember(json, f.name, buffer, ok);
    }
  }
  json.EndObject();
}

std::vector<char> WriteDrives(JsonText& json, char leftOut) {
  std::vector<char> fixed;
  using FreeSpaceEx = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
  const auto freeEx = Function<FreeSpaceEx>("kernel32.dll", "GetDiskFreeSpaceExA");
  json.Key("drives");
  json.BeginObject();
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    if (letter == leftOut) continue;
    const std::string root = std::string(1, letter) + ":\\";
    const UINT type = GetDriveTypeA(root.c_str());
    const char* name = nullptr;
    switch (type) {
      case DRIVE_REMOVABLE:
        name = "removable";
        break;
      case DRIVE_FIXED:
        name = "fixed";
        break;
      case DRIVE_REMOTE:
        name = "remote";
        break;
      case DRIVE_CDROM:
        name = "cdrom";
        break;
      case DRIVE_RAMDISK:
        name = "ramdisk";
        break;
      default:
        break;  // no such drive
    }
    if (!name) continue;
    json.Key(std::string(1, letter));
    json.BeginObject();
    json.Key("type");
    json.String(name);
    // Only fixed drives are asked: a floppy or CD drive would spin up or ask
    // for a disk.
    if (type == DRIVE_FIXED) {
      fixed.push_back(letter);
      unsigned long long free = 0;
      bool known = false;
      ULARGE_INTEGER avail, total, totalFree;
      if (freeEx && freeEx(root.c_str(), &avail, &total, &totalFree)) {
        free = avail.QuadPart;
        known = true;
      } else {
        DWORD spc, bps, freeClusters, clusters;
        if (GetDiskFreeSpaceA(root.c_str(), &spc, &bps, &freeClusters, &clusters)) {
          free = static_cast<unsigned long long>(spc) * bps * freeClusters;
          known = true;
        }
      }
      if (known) {
        json.Key("free_bytes");
        json.Number(free);
      }
    }
    json.EndObject();
  }
  json.EndObject();
  return fixed;
}

void WriteUser(JsonText& json, const Version& version) {
  json.Key("user");
  json.BeginObject();
  if (!version.nt_family()) {
    // Windows 9x has no rights to hold back.
    json.Key("administrator");
    json.Bool(true);
    json.EndObject();
    return;
  }
  using GetInfo = BOOL(WINAPI*)(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD, PDWORD);
  using Equal = BOOL(WINAPI*)(PSID, PSID);
  using PrivName = BOOL(WINAPI*)(LPCSTR, PLUID, LPSTR, LPDWORD);
  const auto getInfo = Function<GetInfo>("advapi32.dll", "GetTokenInformation");
  const auto equal = Function<Equal>("advapi32.dll", "EqualSid");
  const auto privName = Function<PrivName>("advapi32.dll", "LookupPrivilegeNameA");
  HANDLE token = nullptr;
  bool admin = false;
  std::vector<std::string> privileges;
  if (getInfo && equal && privName && OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
    SID_IDENTIFIER_AUTHORITY nt = {SECURITY_NT_AUTHORITY};
    PSID admins = nullptr;
    DWORD size = 0;
    getInfo(token, TokenGroups, nullptr, 0, &size);
    std::vector<char> groups(size + 1);
    if (size && getInfo(token, TokenGroups, groups.data(), size, &size) &&
        AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                 0, 0, 0, 0, &admins)) {
      const auto* g = reinterpret_cast<const TOKEN_GROUPS*>(groups.data());
      for (DWORD i = 0; i < g->GroupCount; ++i) {
        if ((g->Groups[i].Attributes & SE_GROUP_ENABLED) && equal(g->Groups[i].Sid, admins))
          admin = true;
      }
      FreeSid(admins);
    }
    size = 0;
    getInfo(token, TokenPrivileges, nullptr, 0, &size);
    std::vector<char> privs(size + 1);
    if (size && getInfo(token, TokenPrivileges, privs.data(), size, &size)) {
      const auto* p = reinterpret_cast<const TOKEN_PRIVILEGES*>(privs.data());
      for (DWORD i = 0; i < p->PrivilegeCount; ++i) {
        char name[128];
        DWORD len = sizeof name;
        LUID luid = p->Privileges[i].Luid;
        if (privName(nullptr, &luid, name, &len)) privileges.emplace_back(name, len);
      }
    }
    CloseHandle(token);
  }
  json.Key("administrator");
  json.Bool(admin);
  json.Key("privileges");
  json.BeginArray();
  for (const std::string& p : privileges) json.String(p);
  json.EndArray();
  json.EndObject();
}

}  // namespace vtcapture
