#include "oracle/image_snapshot.h"

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

namespace oracle {

namespace fs = std::filesystem;

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

namespace {

bool ReadAll(const fs::path& file, std::string* out) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::ostringstream text;
  text << in.rdbuf();
  *out = text.str();
  return true;
}

// One control set stands for all: the oracle does not model which is current.
std::string NormalKey(const std::string& key) {
  std::string upper = Upper(key);
  const std::string stem = "\\SYSTEM\\CONTROLSET";
  const size_t at = upper.find(stem);
  if (at == std::string::npos) return upper;
  size_t end = at + stem.size();
  while (end < upper.size() && upper[end] >= '0' && upper[end] <= '9') ++end;
  if (end == at + stem.size() || (end < upper.size() && upper[end] != '\\')) return upper;
  return upper.replace(at, end - at, "\\SYSTEM\\CURRENTCONTROLSET");
}

// The name of a value line ("NAME"=… or @=…) and the rest after "=".
bool SplitValueLine(const std::string& line, std::string* name, std::string* data) {
  if (line.rfind("@=", 0) == 0) {
    *name = "@";
    *data = line.substr(2);
    return true;
  }
  if (line.empty() || line[0] != '"') return false;
  std::string n;
  size_t i = 1;
  for (; i < line.size() && line[i] != '"'; ++i) {
    if (line[i] == '\\' && i + 1 < line.size()) ++i;
    n += line[i];
  }
  if (i + 1 >= line.size() || line[i + 1] != '=') return false;
  *name = Upper(n);
  *data = line.substr(i + 2);
  return true;
}

void ReadRegistry(const std::string& text, ImageSnapshot* out) {
  std::istringstream in(text);
  std::string line, key, pending;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!pending.empty() || (!line.empty() && line.back() == '\\' && line[0] != '[')) {
      pending += line;
      if (!pending.empty() && pending.back() == '\\') {
        pending.pop_back();
        continue;
      }
      line = pending;
      pending.clear();
    }
    if (line.size() > 1 && line[0] == '[' && line.back() == ']') {
      key = NormalKey(line.substr(1, line.size() - 2));
      out->keys.insert(key);
      continue;
    }
    std::string name, data;
    if (!key.empty() && SplitValueLine(line, &name, &data)) out->values[{key, name}] = data;
  }
}

void ReadFiles(const fs::path& drives, ImageSnapshot* out) {
  std::error_code ec;
  for (const auto& drive : fs::directory_iterator(drives, ec)) {
    const std::string letter = Upper(drive.path().filename().string());
    for (auto it = fs::recursive_directory_iterator(drive.path(), ec);
         it != fs::recursive_directory_iterator(); it.increment(ec)) {
      std::string rel = fs::relative(it->path(), drive.path()).string();
      for (char& c : rel)
        if (c == '/') c = '\\';
      std::string path = letter + ":\\" + Upper(rel);
      if (it->is_directory()) path += "\\";
      out->files[path] = it->path().string();
    }
  }
}

std::string Field(const nlohmann::json& j, const char* name) {
  auto it = j.find(name);
  return it != j.end() && it->is_string() ? Upper(it->get<std::string>()) : std::string();
}

void ReadMachineJson(const nlohmann::json& j, ImageSnapshot* out) {
  const nlohmann::json empty = nlohmann::json::array();
  auto list = [&](const char* name) -> const nlohmann::json& {
    auto it = j.find(name);
    return it != j.end() && it->is_array() ? *it : empty;
  };
  if (j.contains("windows"))
    out->windows = j["windows"].is_string() ? j["windows"].get<std::string>() : "other";
  if (j.contains("directories") && j["directories"].is_object())
    for (const auto& [name, value] : j["directories"].items())
      if (value.is_string()) out->directories[name] = value.get<std::string>();
  for (const auto& p : list("printers"))
    out->printers.push_back(Field(p, "name") + "|" + Field(p, "driver") + "|" + Field(p, "port"));
  for (const auto& d : list("printer_drivers")) out->printer_drivers.push_back(Field(d, "name"));
  for (const auto& p : list("ports"))
    if (p.is_string()) out->ports.push_back(Upper(p.get<std::string>()));
  for (const auto& m : list("monitors"))
    if (m.is_string()) out->monitors.push_back(Upper(m.get<std::string>()));
  for (const auto& s : list("services")) out->services.push_back(Field(s, "name"));
  for (const auto& d : list("devices")) {
    std::string first;
    if (d.contains("hardware_ids") && !d["hardware_ids"].empty())
      first = Upper(d["hardware_ids"][0].get<std::string>());
    out->devices.push_back(Field(d, "class") + "|" + first);
  }
  for (const auto& p : list("installer_products")) {
    const std::string code = Field(p, "code");
    out->products.push_back(code);
    if (p.contains("removes"))
      for (const auto& r : p["removes"])
        out->product_removes[code].push_back(Upper(r.get<std::string>()));
  }
}

}  // namespace

bool ReadSnapshot(const std::string& dir, ImageSnapshot* out, std::string* error) {
  *out = ImageSnapshot();
  out->host_dir = dir;
  std::string text;
  if (!ReadAll(fs::path(dir) / "machine.json", &text))
    return *error = dir + ": no machine.json", false;
  nlohmann::json j = nlohmann::json::parse(text, nullptr, false);
  if (j.is_discarded() || !j.is_object()) return *error = dir + ": machine.json unreadable", false;
  ReadMachineJson(j, out);
  if (ReadAll(fs::path(dir) / "registry.reg", &text)) ReadRegistry(text, out);
  ReadFiles(fs::path(dir) / "drives", out);
  return true;
}

}  // namespace oracle
