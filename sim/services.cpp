#include "sim/services.h"

#include "sim/machine.h"

namespace sim {

using Json = nlohmann::ordered_json;

namespace {

std::string EntryName(const Json& entry) {
  return entry.contains("name") && entry["name"].is_string()
             ? Utf8ToAnsi(entry["name"].get<std::string>())
             : std::string();
}

}  // namespace

Json* ServiceManager::Find(Machine& m, const std::string& name) const {
  if (!m.json.contains("services") || !m.json["services"].is_array()) return nullptr;
  for (Json& entry : m.json["services"])
    if (EqualNoCase(EntryName(entry), name)) return &entry;
  return nullptr;
}

Json& ServiceManager::Add(Machine& m, Json entry) {
  if (!m.json.contains("services") || !m.json["services"].is_array())
    m.json["services"] = Json::array();
  m.json["services"].push_back(std::move(entry));
  return m.json["services"].back();
}

SC_HANDLE ServiceManager::Open(ServiceHandle h) {
  const uintptr_t value = next_;
  next_ += 4;
  handles_[value] = std::move(h);
  return reinterpret_cast<SC_HANDLE>(value);
}

ServiceHandle* ServiceManager::Get(SC_HANDLE h) {
  auto it = handles_.find(reinterpret_cast<uintptr_t>(h));
  return it == handles_.end() ? nullptr : &it->second;
}

bool ServiceManager::Close(Machine& m, SC_HANDLE h) {
  if (handles_.erase(reinterpret_cast<uintptr_t>(h)) == 0) return false;
  Settle(m);
  return true;
}

DWORD ServiceManager::State(const Json& entry) {
  const std::string state = entry.contains("state") && entry["state"].is_string()
                                ? entry["state"].get<std::string>()
                                : "running";
  if (state == "stopped") return SERVICE_STOPPED;
  if (state == "paused") return SERVICE_PAUSED;
  if (state == "stop_pending") return SERVICE_STOP_PENDING;
  return SERVICE_RUNNING;
}

bool ServiceManager::Marked(const std::string& name) const {
  auto it = runtime_.find(name);
  return it != runtime_.end() && it->second.marked;
}

bool ServiceManager::HasHandles(const std::string& name) const {
  for (const auto& [value, h] : handles_)
    if (!h.manager && EqualNoCase(h.name, name)) return true;
  return false;
}

void ServiceManager::Settle(Machine& m) {
  for (auto it = runtime_.begin(); it != runtime_.end();) {
    Runtime& r = it->second;
    Json* entry = Find(m, it->first);
    if (!entry) {
      it = runtime_.erase(it);
      continue;
    }
    if (r.stops_at_ms && m.system.elapsed_ms >= *r.stops_at_ms) {
      (*entry)["state"] = "stopped";
      r.stops_at_ms.reset();
    }
    // Windows removes a marked service once it has stopped and its last
    // handle is closed; a service that keeps running stays until then.
    if (r.marked && State(*entry) == SERVICE_STOPPED && !HasHandles(it->first)) {
      Json& list = m.json["services"];
      for (size_t i = 0; i < list.size(); ++i) {
        if (&list[i] == entry) {
          list.erase(i);
          break;
        }
      }
      it = runtime_.erase(it);
      continue;
    }
    ++it;
  }
}

}  // namespace sim
