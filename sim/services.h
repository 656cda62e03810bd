// The service manager of a simulated PC (NT family). The services themselves
// are machine.json "services" entries, changed there as the run changes them;
// this class adds what lives only while the program runs: open handles,
// deletion marks and stops still pending on the simulated clock.
#pragma once

#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "platform/win32.h"
#include "sim/text.h"

namespace sim {

class Machine;

struct ServiceHandle {
  bool manager = false;  // a manager handle, else one of service `name`
  std::string name;      // code page text
  DWORD access = 0;      // granted rights, generic rights mapped
};

class ServiceManager {
 public:
  // The machine.json entry of a service (name compared without case), or nullptr.
  nlohmann::ordered_json* Find(Machine& m, const std::string& name) const;
  // Appends an entry to machine.json "services" (made when missing).
  nlohmann::ordered_json& Add(Machine& m, nlohmann::ordered_json entry);

  SC_HANDLE Open(ServiceHandle h);
  ServiceHandle* Get(SC_HANDLE h);
  // Closes a handle; the last handle of a service marked for deletion takes
  // it along once it has stopped. False for an unknown handle.
  bool Close(Machine& m, SC_HANDLE h);
  std::size_t OpenHandles() const { return handles_.size(); }

  // Current state (SERVICE_RUNNING …) of an entry.
  static DWORD State(const nlohmann::ordered_json& entry);
  bool Marked(const std::string& name) const;
  void Mark(const std::string& name) { runtime_[name].marked = true; }
  // A stop asked at `now_ms`: the service stops `stop_seconds` later.
  void StopAt(const std::string& name, uint64_t at_ms) { runtime_[name].stops_at_ms = at_ms; }

  // Carries out what the clock has made due: stops that have ended, and
  // deletions of marked services that have stopped and have no handle left.
  void Settle(Machine& m);

 private:
  struct Runtime {
    bool marked = false;
    std::optional<uint64_t> stops_at_ms;
  };
  bool HasHandles(const std::string& name) const;

  std::map<uintptr_t, ServiceHandle> handles_;
  std::map<std::string, Runtime, LessNoCase> runtime_;
  uintptr_t next_ = 0x7C0000;  // apart from file, registry and process handles
};

}  // namespace sim
