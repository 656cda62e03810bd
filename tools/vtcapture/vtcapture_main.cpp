// vtcapture [OUTDIR]: writes an image of the PC it runs on (machine.json,
// registry.reg, drives/) for the simulated PC. It changes nothing on the PC:
// keys are opened for reading only and nothing is written outside OUTDIR.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "tools/vtcapture/capture_files.h"
#include "tools/vtcapture/capture_registry.h"
#include "tools/vtcapture/json_text.h"
#include "tools/vtcapture/machine_parts.h"
#include "tools/vtcapture/out_file.h"
#include "tools/vtcapture/progress.h"
#include "tools/vtcapture/win_text.h"

namespace vtcapture {
namespace {

// Creates PATH and the folders above it.
bool MakeFolders(const std::string& path) {
  for (size_t at = 3; at <= path.size(); ++at) {
    if (at < path.size() && path[at] != '\\') continue;
    const std::string part = path.substr(0, at);
    if (!CreateDirectoryA(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
      return false;
  }
  return true;
}

bool IsEmptyFolder(const std::string& path) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return true;
  bool empty = true;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") empty = false;
  } while (empty && FindNextFileA(search, &found));
  FindClose(search);
  return empty;
}

std::string FullPath(const std::string& path) {
  char buffer[MAX_PATH + 1];
  char* part = nullptr;
  const DWORD n = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, &part);
  std::string full = n > 0 && n < sizeof buffer ? std::string(buffer, n) : path;
  while (full.size() > 3 && full.back() == '\\') full.pop_back();
  return full;
}

// "files": the read-only files and those another program holds open.
void WriteFileFlags(JsonText& json, const FilesCaptureResult& files) {
  std::vector<std::string> readOnly = files.read_only, inUse = files.in_use;
  std::sort(readOnly.begin(), readOnly.end());
  std::sort(inUse.begin(), inUse.end());
  std::vector<std::string> paths = readOnly;
  paths.insert(paths.end(), inUse.begin(), inUse.end());
  std::sort(paths.begin(), paths.end());
  paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
  json.Key("files");
  json.BeginObject();
  for (const std::string& path : paths) {
    json.Key(AnsiToUtf8(path));
    json.BeginObject();
    if (std::binary_search(readOnly.begin(), readOnly.end(), path)) {
      json.Key("read_only");
      json.Bool(true);
    }
    if (std::binary_search(inUse.begin(), inUse.end(), path)) {
      json.Key("in_use");
      json.Bool(true);
    }
    json.EndObject();
  }
  json.EndObject();
}

int Run(int argc, char** argv) {
  if (argc > 2 || (argc == 2 && (std::string(argv[1]) == "/?" || std::string(argv[1]) == "-h"))) {
    std::printf("usage: vtcapture [OUTDIR]   (default: .\\image)\n");
    return 2;
  }
  // No "insert a disk" box for an empty floppy or CD drive.
  using ErrorMode = UINT(WINAPI*)(UINT);
  if (const auto setMode = reinterpret_cast<ErrorMode>(reinterpret_cast<void (*)()>(
          GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetErrorMode"))))
    setMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);

  const std::string out = FullPath(argc == 2 ? argv[1] : "image");
  if (out.size() < 3 || out[1] != ':') {
    std::fprintf(stderr, "vtcapture: %s: give OUTDIR on a drive letter\n", out.c_str());
    return 2;
  }
  if (!MakeFolders(out) || !IsEmptyFolder(out)) {
    std::fprintf(stderr, "vtcapture: %s: cannot be created, or is not empty\n", out.c_str());
    return 2;
  }
  char exe[MAX_PATH + 1];
  const DWORD exeLen = GetModuleFileNameA(nullptr, exe, sizeof exe);
  const std::string exePath(exe, exeLen < sizeof exe ? exeLen : 0);
  std::string current = FolderOf(exePath);
  if (current.size() == 2) current += '\\';  // a drive's root keeps its backslash

  Progress progress;
  const Version version = WindowsVersion();
  const RegistryCaptureResult reg =
      CaptureRegistry(out + "\\registry.reg", version.nt_family(), progress);
  if (!reg.written) {
    std::fprintf(stderr, "vtcapture: %s\\registry.reg: cannot be written\n", out.c_str());
    return 2;
  }
  if (reg.unreadable)
    progress.Note(std::to_string(reg.unreadable) + " keys refused reading: kept without values");

  char windows[MAX_PATH + 1];
  const UINT winLen = GetWindowsDirectoryA(windows, sizeof windows);
  const char windowsDrive = winLen ? AnsiUpper(std::string(1, windows[0]))[0] : 'C';
  const char outDrive = AnsiUpper(out.substr(0, 1))[0];
  // The drive that takes the image (a technician's stick) is not part of the
  // PC, unless it is the Windows drive itself.
  const char leftOut = outDrive == windowsDrive ? '\0' : outDrive;

  JsonText json;
  json.BeginObject();
  WriteSystem(json, version);
  WriteDirectories(json, current);
  const std::vector<char> fixed = WriteDrives(json, leftOut);
  WriteUser(json, version);
  progress.Note("spooler, services, devices, installer");
  WriteSpooler(json);
  WriteServices(json, version);
  WriteDevices(json, version);
  WriteInstallerProducts(json);

  FilesPlan plan;
  plan.out_dir = out + "\\drives";
  plan.letters = fixed;
  plan.skip = {out, exePath};
  plan.content_folders = {current};
  if (winLen && winLen < sizeof windows)
    plan.inf_folders = {std::string(windows, winLen) + "\\INF"};
  const FilesCaptureResult files = CaptureFiles(plan, progress);

  WriteFileFlags(json, files);
  json.Key("short_names");
  json.BeginObject();
  for (const auto& [path, shortName] : files.short_names) {
    json.Key(AnsiToUtf8(path));
    json.String(AnsiToUtf8(shortName));
  }
  json.EndObject();
  json.EndObject();

  bool ok = WriteWholeFile(out + "\\machine.json", json.Text());
  ok = WriteWholeFile(out + "\\capture-files.txt", files.listing) && ok;
  std::printf("vtcapture: %lu keys, %lu folders, %lu files (%lu with contents) in %s\n", reg.keys,
              files.folders, files.files, files.with_contents, out.c_str());
  if (files.failures) {
    std::fprintf(stderr, "vtcapture: %lu files or folders could not be written\n", files.failures);
    return 1;
  }
  if (!ok) {
    std::fprintf(stderr, "vtcapture: %s: machine.json or capture-files.txt not written\n",
                 out.c_str());
    return 2;
  }
  return 0;
}

}  // namespace
}  // namespace vtcapture

int main(int argc, char** argv) { return vtcapture::Run(argc, argv); }
