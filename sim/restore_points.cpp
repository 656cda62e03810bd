#include "sim/restore_points.h"

#include <nlohmann/json.hpp>

#include "sim/machine.h"

namespace sim {

namespace {

using Json = nlohmann::ordered_json;

// Point types System Restore takes (APPLICATION_INSTALL .. BACKUP_RECOVERY).
constexpr DWORD kLastPointType = 14;

bool Flag(const Json& section, const char* name, bool absent) {
  auto it = section.find(name);
  return it == section.end() ? absent : it->get<bool>();
}

// The number the next point gets: "next_sequence", and never one already
// used by a listed point.
INT64 NextSequence(const Json& section) {
  INT64 next = 1;
  auto given = section.find("next_sequence");
  if (given != section.end()) next = given->get<INT64>();
  auto points = section.find("points");
  if (points != section.end()) {
    for (const Json& p : *points) {
      const INT64 used = p["sequence"].get<INT64>();
      if (used >= next) next = used + 1;
    }
  }
  return next;
}

RestoreAnswer Failed(DWORD status) {
  RestoreAnswer a;
  a.status = status;
  return a;
}

}  // namespace

bool HasSystemRestore(const Machine& m) {
  auto s = m.json.find("system_restore");
  if (s != m.json.end() && s->contains("present")) return (*s)["present"].get<bool>();
  const WindowsVersion& v = m.system.version;
  const bool me = v.platform == VER_PLATFORM_WIN32_WINDOWS && v.major == 4 && v.minor == 90;
  const bool xp = v.platform == VER_PLATFORM_WIN32_NT && v.major == 5 && v.minor == 1;
  return me || xp;
}

RestoreAnswer SetRestorePoint(Machine& m, DWORD eventType, DWORD pointType, INT64 sequence,
                              const std::string& description) {
  const Json none = Json::object();
  auto found = m.json.find("system_restore");
  const Json& current = found != m.json.end() ? *found : none;
  if (!Flag(current, "enabled", true)) return Failed(ERROR_SERVICE_DISABLED);

  if (eventType == BEGIN_SYSTEM_CHANGE) {
    if (pointType > kLastPointType) return Failed(ERROR_INVALID_DATA);
    Json& section = m.json["system_restore"];
    if (!section.is_object()) section = Json::object();
    const INT64 number = NextSequence(section);
    section["next_sequence"] = number + 1;
    Json point = Json::object();
    point["sequence"] = number;
    point["description"] = description;
    point["type"] = pointType;
    point["state"] = "begun";
    section["points"].push_back(point);
    RestoreAnswer a;
    a.ok = TRUE;
    a.sequence = number;
    return a;
  }
  if (eventType != END_SYSTEM_CHANGE || found == m.json.end() || !found->contains("points")) {
    return Failed(ERROR_INVALID_DATA);
  }
  Json& points = (*found)["points"];
  for (size_t i = 0; i < points.size(); ++i) {
    if (points[i]["sequence"].get<INT64>() != sequence) continue;
    if (points[i].value("state", std::string("ended")) != "begun") break;
    if (pointType == CANCELLED_OPERATION) {
      points.erase(i);
    } else {
      points[i]["state"] = "ended";
    }
    RestoreAnswer a;
    a.ok = TRUE;
    a.sequence = sequence;
    return a;
  }
  return Failed(ERROR_INVALID_DATA);
}

}  // namespace sim
