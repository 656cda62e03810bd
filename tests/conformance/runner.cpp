#include "conformance/runner.h"

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "conformance/conformance.h"

namespace conformance {
namespace {

struct CaseEntry {
  const char* family;
  const char* name;
  CaseFn fn;
};

std::vector<CaseEntry>& Cases() {
  static std::vector<CaseEntry> cases;
  return cases;
}

struct Running {
  std::vector<std::string> failures;
  const char* wine_reason = nullptr;
};
Running* g_running = nullptr;

const char kScratchDir[] = "C:\\cvsconf";
const char kScratchKey[] = "Software\\CvsConformance";

// Removes a folder tree through the calls themselves (read-only flags first).
void RemoveTree(const std::string& dir) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = dir + "\\" + name;
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(path);
      else
        DeleteFileA(path.c_str());
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  SetFileAttributesA(dir.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryA(dir.c_str());
}

void RemoveKeyTree(HKEY parent, const std::string& sub) {
  HKEY key;
  if (RegOpenKeyExA(parent, sub.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
    char name[256];
    for (;;) {
      DWORD size = sizeof name;
      if (RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        break;
      const LONG before = RegDeleteKeyA(key, name);
      if (before != ERROR_SUCCESS) {
        RemoveKeyTree(key, name);
        if (RegDeleteKeyA(key, name) != ERROR_SUCCESS) break;
      }
    }
    RegCloseKey(key);
  }
  RegDeleteKeyA(parent, sub.c_str());
}

void ClearScratch() {
  RemoveTree(kScratchDir);
  RemoveKeyTree(HKEY_CURRENT_USER, kScratchKey);
}

void MakeScratch() {
  ClearScratch();
  if (!CreateDirectoryA(kScratchDir, nullptr))
    RecordFailure(__FILE__, __LINE__, "set-up: the scratch folder cannot be made");
  HKEY key;
  DWORD disposition = 0;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kScratchKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      &disposition) != ERROR_SUCCESS)
    RecordFailure(__FILE__, __LINE__, "set-up: the scratch key cannot be made");
  else
    RegCloseKey(key);
}

struct Counts {
  int passed = 0;
  int wine = 0;
  int failed = 0;
};

}  // namespace

int RegisterCase(const char* family, const char* name, CaseFn fn) {
  Cases().push_back({family, name, fn});
  return static_cast<int>(Cases().size());
}

void RecordFailure(const char* file, int line, const std::string& what) {
  if (!g_running) return;
  std::string where = file;
  const size_t slash = where.find_last_of("/\\");
  if (slash != std::string::npos) where = where.substr(slash + 1);
  g_running->failures.push_back(where + ":" + std::to_string(line) + ": " + what);
}

void WineDiffers(const char* reason) {
  if (g_running) g_running->wine_reason = reason;
}

std::string Scratch::Path(const std::string& name) {
  return name.empty() ? std::string(kScratchDir) : std::string(kScratchDir) + "\\" + name;
}

std::string Scratch::Key(const std::string& name) {
  return name.empty() ? std::string(kScratchKey) : std::string(kScratchKey) + "\\" + name;
}

void Scratch::File(const std::string& name, const std::string& content) {
  HANDLE h = CreateFileA(Path(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    RecordFailure(__FILE__, __LINE__, "set-up: cannot create " + Path(name));
    return;
  }
  DWORD written = 0;
  if (!content.empty() &&
      (!WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) ||
       written != content.size()))
    RecordFailure(__FILE__, __LINE__, "set-up: cannot write " + Path(name));
  CloseHandle(h);
}

void Scratch::Folder(const std::string& name) {
  if (!CreateDirectoryA(Path(name).c_str(), nullptr))
    RecordFailure(__FILE__, __LINE__, "set-up: cannot create the folder " + Path(name));
}

bool NtFamily() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

int RunCases(const char* label, const char* filter, const Host& host) {
  const std::string want = filter ? filter : "";
  std::map<std::string, Counts> counts;
  int ran = 0;
  for (const CaseEntry& c : Cases()) {
    const std::string full = std::string(c.family) + "." + c.name;
    if (!want.empty() && full.compare(0, want.size(), want) != 0) continue;
    ++ran;
    if (host.before_case) host.before_case();
    Running running;
    g_running = &running;
    MakeScratch();
    SetLastError(0);
    c.fn();
    ClearScratch();
    g_running = nullptr;
    if (host.after_case) host.after_case();

    Counts& n = counts[c.family];
    const bool failed = !running.failures.empty();
    if (running.wine_reason && UnderWine()) {
      if (failed) {
        ++n.wine;
        std::printf("wine  %s: known difference: %s\n", full.c_str(), running.wine_reason);
        for (const std::string& f : running.failures) std::printf("        %s\n", f.c_str());
      } else {
        ++n.failed;
        std::printf("FAIL  %s: passes under Wine, but is marked as a Wine difference (%s)\n",
                    full.c_str(), running.wine_reason);
      }
      continue;
    }
    if (failed) {
      ++n.failed;
      std::printf("FAIL  %s\n", full.c_str());
      for (const std::string& f : running.failures) std::printf("        %s\n", f.c_str());
    } else {
      ++n.passed;
    }
  }
  Counts total;
  std::printf("== %s\n", label);
  for (const auto& [family, n] : counts) {
    std::printf("%-10s %3d passed, %3d known Wine difference, %3d failed\n", family.c_str(),
                n.passed, n.wine, n.failed);
    total.passed += n.passed + n.wine;
    total.failed += n.failed;
  }
  std::printf("conformance: %d passed, %d failed\n", total.passed, total.failed);
  return total.failed == 0 && ran > 0 ? 0 : 1;
}

void PrintCalls() {
  std::map<std::pair<std::string, std::string>, int> calls;
  for (const CaseEntry& c : Cases()) {
    const std::string name = c.name;
    calls[{c.family, name.substr(0, name.find('_'))}]++;
  }
  std::printf("| family | call | cases |\n| --- | --- | --- |\n");
  for (const auto& [key, n] : calls)
    std::printf("| %s | `%s` | %d |\n", key.first.c_str(), key.second.c_str(), n);
}

}  // namespace conformance
