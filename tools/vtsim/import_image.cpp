#include "tools/vtsim/import_image.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <system_error>

#include "sim/excerpt.h"
#include "sim/image.h"
#include "sim/machine.h"
#include "sim/reg_file.h"
#include "sim/registry.h"
#include "sim/text.h"
#include "tools/vtsim/import_dir_listing.h"
#include "tools/vtsim/import_directories.h"

namespace vtsim {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

// While the export is read HKEY_CURRENT_USER lands here, apart from the
// default profile HKEY_USERS\.DEFAULT (a name no SID can take).
const char kExportedUser[] = "vtsim import: HKEY_CURRENT_USER";
const char kCodePageKey[] = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage";
const char kComputerNameKey[] =
    "HKLM\\SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName";

bool ReadFile(const std::string& path, std::string* bytes, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = path + ": cannot be read";
    return false;
  }
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) {
    *error = path + ": cannot be read";
    return false;
  }
  return true;
}

// Line `n` (1-based) of an export, as text (a UTF-16 export decoded).
std::string LineOf(const std::string& bytes, size_t n) {
  std::string text = bytes;
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE)
    text = sim::Utf16LeToWtf8(bytes.data() + 2, (bytes.size() - 2) / 2);
  size_t pos = 0;
  for (size_t line = 1; line < n && pos != std::string::npos; ++line) {
    pos = text.find('\n', pos);
    if (pos != std::string::npos) ++pos;
  }
  if (pos == std::string::npos || pos > text.size()) return "";
  std::string line = text.substr(pos, text.find('\n', pos) - pos);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

// "line N: what" of the reader as "FILE:N: what: "excerpt"".
std::string RegError(const std::string& file, const std::string& bytes, const std::string& what) {
  size_t n = 0;
  size_t i = 5;
  if (what.compare(0, 5, "line ") != 0) return file + ": " + what;
  while (i < what.size() && what[i] >= '0' && what[i] <= '9') n = n * 10 + (what[i++] - '0');
  std::string rest = what.substr(what.compare(i, 2, ": ") == 0 ? i + 2 : i);
  return file + ":" + std::to_string(n) + ": " + rest + ": \"" + sim::Excerpt(LineOf(bytes, n)) +
         "\"";
}

void CopyTree(sim::Registry& reg, const sim::RegKey& from, sim::RegKey* to) {
  for (const sim::RegValue& v : from.values)
    reg.SetValue(to, sim::RegValue(v.name(), v.type, v.data(), v.wide(), v.has_wide()));
  auto copy = [&](const sim::RegKey& child) { CopyTree(reg, child, reg.AddChild(to, child.name)); };
  if (reg.nt_family) {
    for (const sim::KeyRef& child : from.subkeys()) copy(*child);
  } else {
    for (const sim::RegKey* child : sim::Registry::InCreationOrder(from)) copy(*child);
  }
}

// The image has one user, whose HKCU is HKEY_USERS\.DEFAULT: the exported
// HKEY_CURRENT_USER takes that place (the default profile it replaces is
// what new users start from, which the program never reads).
void PlaceCurrentUser(sim::Registry& reg) {
  const std::string exported = std::string("HKU\\") + kExportedUser;
  const sim::RegKey* user = reg.Find(exported);
  if (!user) return;
  reg.DeleteTree("HKU\\.DEFAULT");
  CopyTree(reg, *user, reg.Create("HKU\\.DEFAULT"));
  reg.DeleteTree(exported);
}

size_t CountKeys(const sim::RegKey& key) {
  size_t n = 1;
  for (const sim::KeyRef& child : key.subkeys()) n += CountKeys(*child);
  return n;
}

bool WriteHostFile(const fs::path& path, const std::string& bytes, std::string* error) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    *error = path.string() + ": cannot be written";
    return false;
  }
  return true;
}

bool WriteDrive(const DirListing& listing, const fs::path& root, bool sized, std::string* error) {
  std::error_code ec;
  fs::create_directories(root, ec);
  for (const ListedEntry& e : listing.entries) {
    std::string rel = e.path;
    for (char& c : rel)
      if (c == '\\') c = '/';
    const fs::path host = root / fs::u8path(rel);
    if (e.directory) {
      fs::create_directory(host, ec);
    } else {
      std::ofstream(host, std::ios::binary | std::ios::trunc);
      if (sized && e.size > 0) fs::resize_file(host, e.size, ec);
    }
    if (ec || !fs::exists(host)) {
      *error = host.string() + ": cannot be made" + (ec ? " (" + ec.message() + ")" : "");
      return false;
    }
  }
  return true;
}

bool SamePath(const std::string& a, const std::string& b) {
  return sim::EqualNoCase(sim::Utf8ToAnsi(a), sim::Utf8ToAnsi(b));
}

}  // namespace

bool ImportImage(const ImportOptions& options, ImportSummary* summary, std::string* error) {
  std::string windows = options.windows;
  for (char& c : windows)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  if (windows != "95" && windows != "98" && windows != "me" && windows != "nt4" &&
      windows != "2000" && windows != "xp") {
    *error = "--windows " + options.windows + ": expected 95, 98, me, nt4, 2000 or xp";
    return false;
  }
  sim::SetCodePage(1252);

  // The registry.
  std::string bytes;
  if (!ReadFile(options.registry, &bytes, error)) return false;
  sim::Registry reg;
  reg.nt_family = !IsNineX(windows);
  reg.current_user = kExportedUser;
  std::string what;
  if (!sim::ReadRegFile(bytes, reg, &what)) {
    *error = RegError(options.registry, bytes, what);
    return false;
  }
  PlaceCurrentUser(reg);
  reg.current_user = ".DEFAULT";
  const std::string acp = RegistryText(reg, kCodePageKey, "ACP");
  if (!acp.empty() && acp != "1252") {
    *error = options.registry + ": the PC's code page is " + sim::Excerpt(acp) +
             " (Nls\\CodePage ACP); the simulated PC knows only 1252";
    return false;
  }

  // The drive.
  std::string text;
  if (!ReadFile(options.listing, &text, error)) return false;
  DirListing listing;
  ListingError bad;
  if (!ParseDirListing(text, &listing, &bad)) {
    *error = options.listing + ":" + std::to_string(bad.line) + ": " + bad.what +
             (bad.text.empty() ? "" : ": \"" + sim::Excerpt(bad.text) + "\"");
    return false;
  }
  std::string().swap(text);
  if (listing.drive != options.drive) {
    *error = options.listing + ": a listing of drive " + std::string(1, listing.drive) +
             ": where drive " + std::string(1, options.drive) + ": was given (--drive)";
    return false;
  }
  if (!options.current.empty()) {
    const std::string root = std::string(1, options.drive) + ":\\";
    bool found = SamePath(options.current, root) || SamePath(options.current, root.substr(0, 2));
    for (const ListedEntry& e : listing.entries)
      found = found || (e.directory && SamePath(options.current, root + e.path));
    if (!found) {
      *error = "--current " + sim::Excerpt(options.current) + ": no folder of the listing";
      return false;
    }
  }

  // machine.json.
  Json json = Json::object();
  json["windows"] = windows;
  json["code_page"] = 1252;
  const std::string computer = RegistryText(reg, kComputerNameKey, "ComputerName");
  if (!computer.empty()) json["computer_name"] = sim::AnsiToUtf8(computer);
  json["directories"] = ImportDirectories(reg, windows, options.drive, options.current);
  Json drive = Json::object();
  drive["type"] = "fixed";
  if (listing.has_free_bytes) {
    drive["free_bytes"] = listing.free_bytes;
    drive["total_bytes"] = listing.free_bytes + listing.file_bytes;
  }
  json["drives"][std::string(1, options.drive)] = drive;
  // The 8.3 names a 9x listing shows, where Windows would not make the same.
  Json shortNames = Json::object();
  for (const ListedEntry& e : listing.entries) {
    if (!e.short_name.empty() &&
        sim::UpperCase(sim::Utf8ToAnsi(e.path.substr(e.path.rfind('\\') + 1))) != e.short_name)
      shortNames[std::string(1, options.drive) + ":\\" + e.path] = e.short_name;
  }
  if (!shortNames.empty()) json["short_names"] = shortNames;

  // The image.
  const fs::path out = fs::u8path(options.output);
  std::error_code ec;
  if (fs::exists(out, ec) && (!fs::is_directory(out, ec) || !fs::is_empty(out, ec))) {
    *error = options.output + ": exists and is not an empty folder";
    return false;
  }
  fs::create_directories(out, ec);
  if (ec) {
    *error = options.output + ": cannot be made (" + ec.message() + ")";
    return false;
  }
  if (!WriteDrive(listing, out / "drives" / std::string(1, options.drive), options.sized, error) ||
      !WriteHostFile(out / "registry.reg", sim::WriteRegFile(reg), error) ||
      !WriteHostFile(out / "machine.json", json.dump(2) + "\n", error))
    return false;

  summary->keys = 0;
  for (int i = 0; i < 4; ++i) summary->keys += CountKeys(*reg.Root(i)) - 1;
  summary->folders = summary->files = 0;
  for (const ListedEntry& e : listing.entries) ++(e.directory ? summary->folders : summary->files);

  // The image must load as `vtsim run` loads it.
  sim::Machine check;
  std::string loadError;
  if (!sim::LoadImage(options.output, check, &loadError)) {
    *error = options.output + ": the image made does not load: " + loadError;
    return false;
  }
  return true;
}

}  // namespace vtsim
