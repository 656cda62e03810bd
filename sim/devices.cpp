// Plug-and-Play devices of the simulated PC, read from and removed from
// machine.json.
#include "sim/devices.h"

#include <cctype>
#include <cstdio>

#include "sim/text.h"

namespace sim {

namespace {

std::string Text(const nlohmann::ordered_json& j) {
  return j.is_string() ? Utf8ToAnsi(j.get<std::string>()) : std::string();
}

struct NamedGuid {
  const char* name;
  const char* guid;
};

// Setup classes of a Windows PC and their fixed GUIDs.
const NamedGuid kClassGuids[] = {
    {"Display", "{4d36e968-e325-11ce-bfc1-08002be10318}"},
    {"MEDIA", "{4d36e96c-e325-11ce-bfc1-08002be10318}"},
    {"Monitor", "{4d36e96e-e325-11ce-bfc1-08002be10318}"},
    {"Ports", "{4d36e978-e325-11ce-bfc1-08002be10318}"},
    {"Printer", "{4d36e979-e325-11ce-bfc1-08002be10318}"},
    {"System", "{4d36e97d-e325-11ce-bfc1-08002be10318}"},
    {"USB", "{36fc9e60-c465-11cf-8056-444553540000}"},
    {"Image", "{6bdd1fc6-810f-11d0-bec7-08002be2092f}"},
    {"HIDClass", "{745a17a0-74d3-11d0-b6fe-00a0c90f57da}"},
};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

bool ParseGuid(const std::string& text, GUID* guid) {
  // {xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}
  if (text.size() != 38 || text.front() != '{' || text.back() != '}') return false;
  std::string hex;
  for (size_t i = 1; i + 1 < text.size(); ++i) {
    const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
    if (dash != (text[i] == '-')) return false;
    if (!dash) {
      if (HexDigit(text[i]) < 0) return false;
      hex += text[i];
    }
  }
  auto bits = [&](size_t at, size_t digits) {
    unsigned long v = 0;
    for (size_t i = 0; i < digits; ++i)
      v = v * 16 + static_cast<unsigned long>(HexDigit(hex[at + i]));
    return v;
  };
  guid->Data1 = static_cast<DWORD>(bits(0, 8));
  guid->Data2 = static_cast<WORD>(bits(8, 4));
  guid->Data3 = static_cast<WORD>(bits(12, 4));
  for (size_t i = 0; i < 8; ++i) guid->Data4[i] = static_cast<BYTE>(bits(16 + 2 * i, 2));
  return true;
}

std::string GuidText(const GUID& g) {
  char out[40];
  std::snprintf(out, sizeof out, "{%08lx-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x}",
                static_cast<unsigned long>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1],
                g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
  return out;
}

bool SameGuid(const GUID& a, const GUID& b) {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
  for (int i = 0; i < 8; ++i)
    if (a.Data4[i] != b.Data4[i]) return false;
  return true;
}

bool KnownClassGuid(const std::string& className, GUID* guid) {
  for (const NamedGuid& c : kClassGuids) {
    if (EqualNoCase(className, c.name)) return ParseGuid(c.guid, guid);
  }
  return false;
}

std::vector<DeviceRecord> CurrentDevices(const Machine& m) {
  std::vector<DeviceRecord> out;
  auto list = m.json.find("devices");
  if (list == m.json.end() || !list->is_array()) return out;
  for (const auto& entry : *list) {
    DeviceRecord d;
    d.source = entry;
    d.has_class = entry.contains("class");
    if (d.has_class) d.device_class = Text(entry["class"]);
    if (entry.contains("hardware_ids")) {
      for (const auto& id : entry["hardware_ids"]) d.hardware_ids.push_back(Text(id));
    }
    d.has_description = entry.contains("description");
    if (d.has_description) d.description = Text(entry["description"]);
    if (entry.contains("class_guid"))
      d.has_class_guid = ParseGuid(Text(entry["class_guid"]), &d.class_guid);
    else if (d.has_class)
      d.has_class_guid = KnownClassGuid(d.device_class, &d.class_guid);
    d.present = !entry.contains("present") || entry["present"].get<bool>();
    // Device nodes are numbered from the root's 1 upward.
    d.dev_inst = static_cast<DWORD>(out.size() + 2);
    out.push_back(std::move(d));
  }
  return out;
}

bool RemoveDevice(Machine& m, const DeviceRecord& device) {
  auto list = m.json.find("devices");
  if (list == m.json.end() || !list->is_array()) return false;
  for (size_t i = 0; i < list->size(); ++i) {
    if ((*list)[i] != device.source) continue;
    list->erase(i);
    // Windows deletes the device's hardware key with it.
    if (device.source.contains("enum_key")) m.registry.DeleteTree(Text(device.source["enum_key"]));
    return true;
  }
  return false;
}

bool HasSetupApi(const Machine& m) {
  auto s = m.json.find("setupapi");
  if (s != m.json.end() && s->contains("present")) return (*s)["present"].get<bool>();
  const WindowsVersion& v = m.system.version;
  // Windows 95 (4.0) and NT 4 ship without it.
  return !(v.major == 4 && v.minor == 0);
}

bool HasSetupApiFunction(const Machine& m, const std::string& function) {
  auto s = m.json.find("setupapi");
  if (s == m.json.end() || !s->contains("missing")) return true;
  for (const auto& name : (*s)["missing"]) {
    if (name.is_string() && name.get<std::string>() == function) return false;
  }
  return true;
}

}  // namespace sim
