#include "faults/random_pc.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "oracle/allowed_set.h"
#include "oracle/image_snapshot.h"

namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool Chance(std::mt19937& rng, double p) { return std::uniform_real_distribution<>(0, 1)(rng) < p; }

template <class T>
const T& Pick(const std::vector<T>& items, std::mt19937& rng) {
  return items[std::uniform_int_distribution<size_t>(0, items.size() - 1)(rng)];
}

// registry.reg as blocks (a key's header and its values), in file order.
std::vector<std::string> Blocks(const std::string& text) {
  std::vector<std::string> blocks;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find("\r\n\r\n", at);
    if (end == std::string::npos) end = text.size();
    blocks.push_back(text.substr(at, end - at));
    at = end + 4;
  }
  return blocks;
}

std::string Header(const std::string& block) {
  if (block.empty() || block[0] != '[') return "";
  return block.substr(1, block.find(']') - 1);
}

const char* const kSuffixes[] = {"X", "2", " Old", ".bak", "_"};

// Keys of the image's file named by a key pattern without stars, in the
// form written in the file; the view keys of the NT family are left out.
bool PlainNamedKey(const oracle::AllowedSet& set, const std::string& header, bool ntFamily) {
  const std::string upper = oracle::Upper(header);
  if (ntFamily && upper.find("CURRENTCONTROLSET") != std::string::npos) return false;
  const std::vector<std::string> parts = oracle::KeyParts(header);
  for (const oracle::KeyPattern& p : set.keys) {
    if (!p.value.empty() || p.counter || p.parts.size() != parts.size()) continue;
    bool same = true;
    for (size_t i = 0; i < parts.size() && same; ++i) same = p.parts[i] == parts[i];
    if (same) return true;
  }
  return false;
}

void ChangeRegistry(const fs::path& file, const oracle::AllowedSet& set, bool ntFamily,
                    std::mt19937& rng) {
  const std::vector<std::string> blocks = Blocks(ReadText(file));
  std::string out;
  for (const std::string& block : blocks) {
    std::string kept = block;
    const std::string header = Header(block);
    const bool named = !header.empty() && PlainNamedKey(set, header, ntFamily);
    // Part of the software is missing.
    if (named && Chance(rng, 0.15)) kept = "[" + header + "]";
    out += kept + "\r\n\r\n";
    if (header.empty()) continue;
    // A foreign sibling whose name begins with a named key's.
    if (named && Chance(rng, 0.5))
      out += "[" + header +
             Pick(std::vector<std::string>(std::begin(kSuffixes), std::end(kSuffixes)), rng) +
             "]\r\n\"Foreign\"=\"keep me\"\r\n\r\n";
    // A key found by its description: a sibling whose description only begins the same.
    const size_t desc = block.find("\"DriverDesc\"=\"");
    if (desc != std::string::npos && Chance(rng, 0.6)) {
      const size_t end = block.find('"', desc + 14);
      out += "[" + header.substr(0, header.rfind('\\')) + "\\09" + std::to_string(rng() % 10) +
             "]\r\n\"DriverDesc\"=\"" + block.substr(desc + 14, end - desc - 14) +
             " Plus\"\r\n\r\n";
    }
  }
  // Shared counters at random values (1 to 4).
  std::istringstream lines(out);
  std::string text, line;
  bool counters = false;
  while (std::getline(lines, line)) {
    if (!line.empty() && line[0] == '[') counters = line.find("\\SharedDLLs]") != std::string::npos;
    const size_t d = line.find("=dword:");
    if (counters && d != std::string::npos && line.size() >= d + 15) {
      char digits[9];
      std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(1 + rng() % 4));
      line.replace(d + 7, 8, digits);
    }
    text += line + "\n";
  }
  std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
}

void ChangeFiles(const fs::path& dir, const oracle::ImageSnapshot& image,
                 const oracle::AllowedSet& set, std::mt19937& rng) {
  nlohmann::ordered_json json = nlohmann::ordered_json::parse(ReadText(dir / "machine.json"));
  for (const std::string& named : set.files) {
    auto it = image.files.find(named);
    if (it == image.files.end()) {
      it = image.files.find(named + "\\");
      if (it == image.files.end()) continue;
    }
    const fs::path host = it->second;
    if (fs::is_directory(host)) {
      // A foreign folder beside it, and a foreign file inside unless the folder is swept.
      if (Chance(rng, 0.5)) {
        fs::create_directories(host.string() + " Old");
        std::ofstream(host.string() + " Old/keep.txt") << "foreign\r\n";
      }
      continue;
    }
    if (Chance(rng, 0.15)) {  // not installed
      fs::remove(host);
      continue;
    }
    if (Chance(rng, 0.3))
      std::ofstream(host.string() + Pick(std::vector<std::string>{".keep", "X", "~"}, rng))
          << "foreign\r\n";
    if (Chance(rng, 0.15)) {
      nlohmann::ordered_json flags = nlohmann::ordered_json::object();
      if (Chance(rng, 0.7)) flags["in_use"] = true;
      if (Chance(rng, 0.5)) flags["read_only"] = true;
      if (!flags.empty()) {
        if (!json.contains("files")) json["files"] = nlohmann::ordered_json::object();
        json["files"][named] = flags;
      }
    }
  }
  std::ofstream(dir / "machine.json", std::ios::binary | std::ios::trunc) << json.dump(2) << "\n";
}

}  // namespace

void MakeRandomPc(const std::string& dir, const std::string& device, uint32_t seed) {
  std::mt19937 rng(seed);
  oracle::ImageSnapshot image;
  std::string error;
  if (!oracle::ReadSnapshot(dir, &image, &error)) return;
  const oracle::AllowedSet set = oracle::BuildAllowedSet(image, device);
  const bool ntFamily = image.windows == "nt4" || image.windows == "2000" || image.windows == "xp";
  ChangeRegistry(fs::path(dir) / "registry.reg", set, ntFamily, rng);
  ChangeFiles(fs::path(dir), image, set, rng);
}

std::vector<sim::Fault> RandomFaults(const std::vector<FaultChoice>& choices, std::mt19937& rng,
                                     int most) {
  std::vector<sim::Fault> faults;
  if (choices.empty()) return faults;
  const int n = std::uniform_int_distribution<int>(0, most)(rng);
  for (int i = 0; i < n; ++i) {
    const FaultChoice& c = Pick(choices, rng);
    sim::Fault f{c.call, "", "", "", c.code, std::uniform_int_distribution<int>(1, 3)(rng)};
    if (Chance(rng, 0.5)) f.path = c.path, f.key = c.key, f.name = c.name;
    faults.push_back(f);
  }
  return faults;
}
