#include "tools/vtcapture/capture_files.h"

#include <windows.h>

#include <cstdio>

#include "tools/vtcapture/win_text.h"

namespace vtcapture {
namespace {

bool Inside(const std::string& path, const std::string& folder) {
  if (folder.empty() || path.size() < folder.size()) return false;
  if (!SameText(path.substr(0, folder.size()), folder)) return false;
  return path.size() == folder.size() || path[folder.size()] == '\\' || folder.back() == '\\';
}

bool EndsWithInf(const std::string& name) {
  return name.size() > 4 && SameText(name.substr(name.size() - 4), ".inf");
}

// Copies SOURCE to TARGET through ReadFile/WriteFile (not CopyFileA, which
// would carry the read-only attribute onto the image's host file).
bool CopyContents(const std::string& source, const std::string& target) {
  HANDLE in = CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, 0, nullptr);
  if (in == INVALID_HANDLE_VALUE) return false;
  HANDLE out = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  bool ok = out != INVALID_HANDLE_VALUE;
  char buffer[1 << 15];
  while (ok) {
    DWORD got = 0;
    if (!ReadFile(in, buffer, sizeof buffer, &got, nullptr)) ok = false;
    if (!ok || got == 0) break;
    DWORD put = 0;
    if (!WriteFile(out, buffer, got, &put, nullptr) || put != got) ok = false;
  }
  CloseHandle(in);
  if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
  return ok;
}

bool MakeEmpty(const std::string& target) {
  HANDLE out = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return false;
  CloseHandle(out);
  return true;
}

// Whether another program holds the file open (a running program, a loaded
// library): an open that shares nothing fails with a sharing violation. The
// probe reads nothing and changes nothing.
bool InUse(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    CloseHandle(h);
    return false;
  }
  return GetLastError() == ERROR_SHARING_VIOLATION;
}

class FileWalk {
 public:
  FileWalk(const FilesPlan& plan, Progress& progress, FilesCaptureResult& result)
      : plan_(plan), progress_(progress), result_(result) {}

  void Folder(const std::string& path, const std::string& target, int depth) {
    // Deep enough for any real tree; stops a loop of linked folders.
    if (depth > 64) return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string full = path + "\\" + name;
      if (Skipped(full)) continue;
      Entry(found, full, target + "\\" + name, depth);
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }

 private:
  bool Skipped(const std::string& full) const {
    for (const std::string& s : plan_.skip)
      if (SameText(full, s)) return true;
    return false;
  }

  bool WantsContents(const std::string& full, const std::string& name) const {
    std::string parent = FolderOf(full);
    if (parent.size() == 2) parent += '\\';  // a file in a drive's root
    for (const std::string& f : plan_.content_folders) {
      // Below the program's folder; only beside it when that is a drive's
      // root, which would otherwise copy the whole drive.
      if (f.size() == 3 ? SameText(parent, f) : Inside(full, f)) return true;
    }
    if (!EndsWithInf(name)) return false;
    for (const std::string& f : plan_.inf_folders)
      if (Inside(full, f)) return true;
    return false;
  }

  void Entry(const WIN32_FIND_DATAA& found, const std::string& full, const std::string& target,
             int depth) {
    const std::string name = found.cFileName;
    const bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const unsigned long long size =
        (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    char line[64];
    std::snprintf(line, sizeof line, "%08lx %llu ",
                  static_cast<unsigned long>(found.dwFileAttributes), folder ? 0ULL : size);
    result_.listing += line + AnsiToUtf8(full) + "\r\n";
    const std::string shortName = found.cAlternateFileName;
    if (!shortName.empty() && AnsiUpper(shortName) != AnsiUpper(name))
      result_.short_names.emplace_back(full, AnsiUpper(shortName));
    if (folder) {
      ++result_.folders;
      if (!CreateDirectoryA(target.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        ++result_.failures;
      Folder(full, target, depth + 1);
      return;
    }
    if (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY) result_.read_only.push_back(full);
    if (InUse(full)) result_.in_use.push_back(full);
    bool ok;
    if (WantsContents(full, name)) {
      ok = CopyContents(full, target);
      if (ok) ++result_.with_contents;
    } else {
      ok = MakeEmpty(target);
    }
    if (!ok) ++result_.failures;
    progress_.Tick("files", ++result_.files);
  }

  const FilesPlan& plan_;
  Progress& progress_;
  FilesCaptureResult& result_;
};

}  // namespace

FilesCaptureResult CaptureFiles(const FilesPlan& plan, Progress& progress) {
  FilesCaptureResult result;
  CreateDirectoryA(plan.out_dir.c_str(), nullptr);
  FileWalk walk(plan, progress, result);
  for (char letter : plan.letters) {
    const std::string root = std::string(1, letter) + ":";
    const std::string target = plan.out_dir + "\\" + letter;
    if (!CreateDirectoryA(target.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
      ++result.failures;
      continue;
    }
    walk.Folder(root, target, 0);
  }
  progress.Done("files", result.files);
  return result;
}

}  // namespace vtcapture
