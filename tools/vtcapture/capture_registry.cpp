#include "tools/vtcapture/capture_registry.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "tools/vtcapture/out_file.h"
#include "tools/vtcapture/reg_text.h"

namespace vtcapture {
namespace {

// Past these a registry is broken: the value or key is left out rather than
// grown for ever.
constexpr size_t kMaxName = 1 << 16;
constexpr size_t kMaxData = 1 << 26;

class RegistryWalk {
 public:
  RegistryWalk(OutFile& out, Progress& progress, RegistryCaptureResult& result)
      : out_(out), progress_(progress), result_(result) {}

  // Writes the key SUBKEY of ROOT and its subtree as IMAGE_PATH; false when
  // the key is not there.
  bool Root(HKEY root, const char* subkey, const std::string& imagePath) {
    HKEY key = nullptr;
    const LONG rc = RegOpenKeyExA(root, subkey, 0, KEY_READ, &key);
    if (rc == ERROR_FILE_NOT_FOUND) return false;
    Walk(rc == ERROR_SUCCESS ? key : nullptr, imagePath);
    if (key) RegCloseKey(key);
    return true;
  }

 private:
  void Walk(HKEY key, const std::string& path) {
    out_.Write(RegKeyLines(path));
    progress_.Tick("registry keys", ++result_.keys);
    if (!key) {
      ++result_.unreadable;
      out_.Write(RegKeyEnd());
      return;
    }
    Values(key);
    out_.Write(RegKeyEnd());
    // Names first: the walk below opens further handles.
    std::vector<std::string> names;
    std::vector<char> name(256);
    for (DWORD i = 0;; ++i) {
      DWORD len = static_cast<DWORD>(name.size());
      const LONG rc = RegEnumKeyExA(key, i, name.data(), &len, nullptr, nullptr, nullptr, nullptr);
      if (rc == ERROR_MORE_DATA && name.size() < kMaxName) {
        name.resize(name.size() * 2);
        --i;
        continue;
      }
      if (rc != ERROR_SUCCESS) break;
      names.emplace_back(name.data(), len);
    }
    for (const std::string& child : names) {
      HKEY sub = nullptr;
      const LONG rc = RegOpenKeyExA(key, child.c_str(), 0, KEY_READ, &sub);
      Walk(rc == ERROR_SUCCESS ? sub : nullptr, path + "\\" + child);
      if (sub) RegCloseKey(sub);
    }
  }

  void Values(HKEY key) {
    for (DWORD i = 0;; ++i) {
      DWORD nameLen = static_cast<DWORD>(name_.size());
      DWORD dataLen = static_cast<DWORD>(data_.size());
      DWORD type = 0;
      const LONG rc = RegEnumValueA(key, i, name_.data(), &nameLen, nullptr, &type,
                                    reinterpret_cast<BYTE*>(data_.data()), &dataLen);
      if (rc == ERROR_MORE_DATA && name_.size() < kMaxName && data_.size() < kMaxData) {
        // Either buffer may be short; Windows reports the data's size, the
        // name's it may not: grow both and ask again.
        name_.resize(name_.size() * 2);
        if (dataLen > data_.size())
          data_.resize(dataLen);
        else
          data_.resize(data_.size() * 2);
        --i;
        continue;
      }
      if (rc == ERROR_MORE_DATA) continue;  // too big even so: this value is left out
      if (rc != ERROR_SUCCESS) break;
      out_.Write(RegValueLines(std::string(name_.data(), nameLen), type,
                               std::string(data_.data(), dataLen)));
    }
  }

  OutFile& out_;
  Progress& progress_;
  RegistryCaptureResult& result_;
  std::vector<char> name_ = std::vector<char>(1024);
  std::vector<char> data_ = std::vector<char>(4096);
};

// The number of the current control set from SYSTEM\Select (1 without one,
// as a registry whose CurrentControlSet is a plain key).
DWORD CurrentControlSet(bool* hasSelect) {
  *hasSelect = false;
  HKEY select = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\Select", 0, KEY_READ, &select) != ERROR_SUCCESS)
    return 1;
  DWORD current = 0;
  DWORD type = 0;
  DWORD size = sizeof(current);
  const LONG rc =
      RegQueryValueExA(select, "Current", nullptr, &type, reinterpret_cast<BYTE*>(&current), &size);
  RegCloseKey(select);
  if (rc != ERROR_SUCCESS || type != REG_DWORD || current == 0 || current > 999) return 1;
  *hasSelect = true;
  return current;
}

}  // namespace

RegistryCaptureResult CaptureRegistry(const std::string& outPath, bool ntFamily,
                                      Progress& progress) {
  RegistryCaptureResult result;
  OutFile out;
  if (!out.Open(outPath)) return result;
  out.Write(RegFileHeader());
  RegistryWalk walk(out, progress, result);
  walk.Root(HKEY_LOCAL_MACHINE, "SOFTWARE", "HKEY_LOCAL_MACHINE\\SOFTWARE");
  if (ntFamily) {
    bool hasSelect = false;
    const DWORD current = CurrentControlSet(&hasSelect);
    char set[32];
    std::snprintf(set, sizeof set, "ControlSet%03lu", static_cast<unsigned long>(current));
    walk.Root(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet",
              std::string("HKEY_LOCAL_MACHINE\\SYSTEM\\") + set);
    if (hasSelect) {
      walk.Root(HKEY_LOCAL_MACHINE, "SYSTEM\\Select", "HKEY_LOCAL_MACHINE\\SYSTEM\\Select");
    } else {
      // No control sets (a registry whose CurrentControlSet is a key of its
      // own): the image names the one written above as current.
      out.Write(RegKeyLines("HKEY_LOCAL_MACHINE\\SYSTEM\\Select"));
      const DWORD one = 1;
      out.Write(RegValueLines("Current", kRegDword,
                              std::string(reinterpret_cast<const char*>(&one), sizeof one)));
      out.Write(RegKeyEnd());
    }
  } else {
    walk.Root(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet",
              "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet");
    walk.Root(HKEY_LOCAL_MACHINE, "Enum", "HKEY_LOCAL_MACHINE\\Enum");
    walk.Root(HKEY_LOCAL_MACHINE, "Config", "HKEY_LOCAL_MACHINE\\Config");
  }
  // The user who runs the capture is the image's current user.
  walk.Root(HKEY_CURRENT_USER, "", "HKEY_USERS\\.DEFAULT");
  progress.Done("registry keys", result.keys);
  result.written = out.Close();
  return result;
}

}  // namespace vtcapture
