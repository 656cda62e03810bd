#include "sim/processes.h"

#include "sim/host_files.h"
#include "sim/machine.h"
#include "sim/transcript.h"

namespace sim {

using Json = nlohmann::ordered_json;

namespace {

const char kUninstallKey[] = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// Blank-separated words; double quotes group and are dropped.
std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false, any = false;
  for (char c : text) {
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (any) words.push_back(word);
      word.clear();
      any = false;
    } else {
      word += c;
      any = true;
    }
  }
  if (any) words.push_back(word);
  return words;
}

Json* FindProduct(Machine& m, const std::string& code, size_t* index) {
  if (!m.json.contains("installer_products") || !m.json["installer_products"].is_array())
    return nullptr;
  Json& list = m.json["installer_products"];
  for (size_t i = 0; i < list.size(); ++i) {
    const Json& p = list[i];
    if (p.contains("code") && p["code"].is_string() &&
        EqualNoCase(Utf8ToAnsi(p["code"].get<std::string>()), code)) {
      *index = i;
      return &list[i];
    }
  }
  return nullptr;
}

DWORD Field(const Json& entry, const char* name, DWORD fallback) {
  return entry.contains(name) && entry[name].is_number_integer() ? entry[name].get<DWORD>()
                                                                 : fallback;
}

// An installer that ends with one of these has done its work; any other
// code means it failed and rolled its changes back.
bool Succeeded(DWORD code) { return code == 0 || code == 1641 || code == 3010; }

void RemoveHostTree(const HostFiles& host, const std::string& path) {
  std::vector<HostEntry> entries;
  if (host.List(path, &entries)) {
    for (const HostEntry& e : entries) {
      const std::string child = path + "/" + e.name;
      if (e.stat.kind == HostKind::kFolder)
        RemoveHostTree(host, child);
      else
        host.RemoveFile(child);
    }
    host.RemoveFolder(path);
  }
}

// A registry key (hive-rooted) or a file or folder, as the installer
// removes it: whole, whatever flags it carries.
void RemoveItem(Machine& m, const std::string& item) {
  HKEY hive = nullptr;
  std::string subkey;
  if (Registry::SplitPath(item, &hive, &subkey)) {
    m.registry.DeleteTree(item);
    return;
  }
  PathLookup p = m.files.Lookup(item);
  if (p.error || !p.exists || p.root) return;
  const HostFiles host = m.files.Host();
  if (p.directory)
    RemoveHostTree(host, p.host);
  else
    host.RemoveFile(p.host);
  m.files.Forget(p.full);
}

}  // namespace

InstallerRequest ParseInstallerCommand(const std::string& arguments) {
  InstallerRequest r;
  const std::vector<std::string> words = Words(arguments);
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& w = words[i];
    if (w.size() < 2 || (w[0] != '/' && w[0] != '-')) continue;
    std::string rest;
    if (w[1] == 'x' || w[1] == 'X') {
      rest = w.substr(2);
    } else if (EqualNoCase(w.substr(1), "uninstall")) {
      rest = "";
    } else {
      continue;
    }
    if (rest.empty() && i + 1 < words.size()) rest = words[i + 1];
    r.valid = !rest.empty() && rest[0] != '/' && rest[0] != '-';
    if (r.valid) r.product = rest;
    return r;
  }
  return r;
}

std::shared_ptr<Process> Processes::StartInstaller(Machine& m, const std::string& commandLine,
                                                   const std::string& arguments) {
  auto p = std::make_shared<Process>();
  p->command_line = commandLine;
  p->ends_at_ms = m.system.elapsed_ms;
  const InstallerRequest request = ParseInstallerCommand(arguments);
  size_t index = 0;
  Json* product = request.valid ? FindProduct(m, request.product, &index) : nullptr;
  bool busy = false;
  for (const auto& other : all_) busy = busy || (!other->ended && !other->product.empty());
  if (!request.valid) {
    p->exit_code = ERROR_INVALID_COMMAND_LINE;
  } else if (busy) {
    // One installation at a time: the installer service refuses a second.
    p->exit_code = ERROR_INSTALL_ALREADY_RUNNING;
  } else if (!product) {
    p->exit_code = ERROR_UNKNOWN_PRODUCT;
  } else {
    p->product = request.product;
    p->ends_at_ms += uint64_t{Field(*product, "seconds", 0)} * 1000;
    p->exit_code = Field(*product, "exit_code", 0);
  }
  p->ended = p->product.empty();
  all_.push_back(p);
  return p;
}

void Processes::Settle(Machine& m) {
  for (;;) {
    Process* next = nullptr;
    for (const auto& p : all_)
      if (!p->ended && p->ends_at_ms <= m.system.elapsed_ms &&
          (!next || p->ends_at_ms < next->ends_at_ms))
        next = p.get();
    if (!next) return;
    End(m, *next);
  }
}

void Processes::End(Machine& m, Process& p) {
  p.ended = true;
  if (p.product.empty() || !Succeeded(p.exit_code)) return;
  size_t index = 0;
  Json* product = FindProduct(m, p.product, &index);
  if (!product) return;
  const std::string code = Utf8ToAnsi((*product)["code"].get<std::string>());
  m.registry.DeleteTree(kUninstallKey + code);
  if (product->contains("removes") && (*product)["removes"].is_array()) {
    for (const Json& item : (*product)["removes"])
      if (item.is_string()) RemoveItem(m, Utf8ToAnsi(item.get<std::string>()));
  }
  m.json["installer_products"].erase(index);
}

void Processes::Report(Machine& m, Process& p, const std::string& result) {
  if (p.reported) return;
  p.reported = true;
  m.user.Write("process", EscapeText(p.command_line) + " -> " + result);
}

}  // namespace sim
