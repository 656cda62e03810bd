// The state of an image as a preview compares it.
#include "tools/vtsim/preview_snapshot.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "sim/text.h"

namespace vtsim {

namespace {

namespace fs = std::filesystem;

std::string DataText(const sim::RegValue& value) {
  const std::string data(value.data());
  if (value.type == REG_SZ || value.type == REG_EXPAND_SZ) {
    std::string text = data.substr(0, data.find('\0'));
    return "\"" + sim::AnsiToUtf8(text) + "\"";
  }
  if (value.type == REG_MULTI_SZ) {
    // The texts one after another; the list ends at an empty one.
    std::string out;
    size_t from = 0;
    while (from < data.size() && data[from] != '\0') {
      size_t end = data.find('\0', from);
      if (end == std::string::npos) end = data.size();
      out += (out.empty() ? "\"" : ", \"") + sim::AnsiToUtf8(data.substr(from, end - from)) + "\"";
      from = end + 1;
    }
    return "[" + out + "]";
  }
  std::string out = "hex(" + std::to_string(value.type) + "):";
  for (size_t i = 0; i < data.size(); ++i) {
    char byte[4];
    std::snprintf(byte, sizeof byte, "%02x", static_cast<unsigned char>(data[i]));
    out += (i ? "," : "") + std::string(byte);
  }
  return out;
}

RegistryValueText ValueText(const sim::RegValue& value) {
  RegistryValueText text;
  text.name = value.name().empty() ? "(default)" : sim::AnsiToUtf8(std::string(value.name()));
  const std::string data(value.data());
  if (value.type == REG_DWORD && data.size() == 4) {
    text.is_dword = true;
    for (int i = 3; i >= 0; --i)
      text.dword = (text.dword << 8) | static_cast<unsigned char>(data[static_cast<size_t>(i)]);
    text.data = std::to_string(text.dword);
  } else {
    text.data = DataText(value);
  }
  return text;
}

void AddKeys(const sim::RegKey& key, const std::string& path, ImageSnapshot& out) {
  RegistryKeyState state;
  state.path = path;
  for (const sim::RegValue& value : key.values) state.values.push_back(ValueText(value));
  out.key_index[UpperPath(path)] = out.keys.size();
  out.keys.push_back(std::move(state));
  for (const sim::KeyRef& child : key.subkeys())
    AddKeys(*child, path + "\\" + sim::AnsiToUtf8(child->name), out);
}

void AddRoot(sim::Machine& machine, HKEY hive, const std::string& code, ImageSnapshot& out) {
  const sim::RegKey* root = machine.registry.Predefined(hive, false);
  if (!root) return;
  for (const sim::KeyRef& child : root->subkeys())
    AddKeys(*child, code + "\\" + sim::AnsiToUtf8(child->name), out);
}

void AddFiles(const std::string& imageDir, ImageSnapshot& out) {
  const fs::path drives = fs::path(imageDir) / "drives";
  std::error_code ec;
  for (fs::directory_iterator d(drives, ec), end; !ec && d != end; d.increment(ec)) {
    if (!d->is_directory()) continue;
    const std::string root = d->path().filename().string() + ":";
    for (fs::recursive_directory_iterator it(d->path(), ec), stop; !ec && it != stop;
         it.increment(ec)) {
      std::string windows = root;
      for (const fs::path& part : fs::relative(it->path(), d->path()))
        windows += "\\" + part.string();
      if (it->is_directory()) windows += "\\";
      out.files[UpperPath(windows)] = windows;
    }
  }
}

}  // namespace

std::string HostPath(const std::string& image, const std::string& windows) {
  std::filesystem::path p = std::filesystem::path(image) / "drives" / windows.substr(0, 1);
  size_t from = 3;
  while (from < windows.size()) {
    size_t end = windows.find('\\', from);
    if (end == std::string::npos) end = windows.size();
    if (end > from) p /= windows.substr(from, end - from);
    from = end + 1;
  }
  return p.string();
}

std::string ReadHostFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string UpperPath(const std::string& path) {
  std::string upper = path;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

ImageSnapshot TakeSnapshot(sim::Machine& machine) {
  ImageSnapshot snapshot;
  AddRoot(machine, HKEY_LOCAL_MACHINE, "HKLM", snapshot);
  AddRoot(machine, HKEY_USERS, "HKU", snapshot);
  AddFiles(machine.image_dir, snapshot);
  snapshot.machine = machine.json;
  return snapshot;
}

}  // namespace vtsim
