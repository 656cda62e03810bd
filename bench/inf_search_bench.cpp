// The OEM INF search over 2,000 files of up to 64 KB, 8- and 16-bit, the
// search text near the end of each or in none, side by side with
// `grep -F -l TEXT` over the same 8-bit files on the host (run as a process,
// wall time, C locale: bytes as bytes, as the search compares them). Then
// DeleteINF itself over the no-match files on a simulated PC, the files read
// through the Windows calls.
//
// The contents are INF-like text in which "V" starts no match attempt that
// could hide a match: the search's resume rule then finds exactly what grep
// finds, and each benchmark checks that it did.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/run_state.h"
#include "cleanup/inf_seek_and_destroy.h"
#include "cleanup/search_inf_text.h"
#include "log/run_log.h"
#include "sim/machine.h"

namespace {

namespace fs = std::filesystem;

const char kText[] = "VT TRX 5100 series";
constexpr size_t kFiles = 2000;
constexpr size_t kMaxSize = 65535;

enum Set { kEightMatch, kEightNone, kSixteenMatch, kSixteenNone, kSets };
const char* const kSetNames[kSets] = {"8-bit, match near end", "8-bit, no match",
                                      "16-bit, match near end", "16-bit, no match"};

// INF-like text of `size` bytes: lines of sections, keys and model names,
// other models of the family among them (failed attempts near the text).
std::string InfText(std::mt19937& rng, size_t size) {
  static const char* const kLines[] = {
      "[Version]\r\n",
      "Signature=\"$Windows NT$\"\r\n",
      "DriverVer=07/01/2002,1.10.0052\r\n",
      "Provider=%Vantrel%\r\n",
      "\"VT TRX 4200 series\"=VT4200.PRN,USBPRINT\\VantrelVT_TRX_4200\r\n",
      "\"VT Corvus W series\"=VTCW.PRN,DOT4PRT\\VantrelVT_Corvus_W\r\n",
      "CopyFiles=VT.Copy.Files,VT.Copy.Help\r\n",
      "[SourceDisksFiles]\r\n",
      "vtdrv.dll=1,,\r\n",
  };
  std::uniform_int_distribution<int> line(0, 8), letter(0, 25), kind(0, 3);
  std::string text;
  while (text.size() < size) {
    if (kind(rng) == 0) {
      text += kLines[line(rng)];
    } else {
      // A line of filler words without any V.
      std::string words = "; ";
      for (int i = 0; i < 40; ++i) {
        const char c = static_cast<char>('a' + letter(rng));
        words += i % 7 == 6 ? ' ' : c;
      }
      text += words + "\r\n";
    }
  }
  text.resize(size);
  return text;
}

std::string Widen(const std::string& text) {
  std::string wide = "\xFF\xFE";
  for (char c : text) {
    wide += c;
    wide += '\0';
  }
  return wide;
}

// The four sets of contents, and the 8-bit ones as host files.
struct Corpus {
  std::vector<std::string> files[kSets];  // each ends with the extra zero byte
  fs::path root;

  Corpus() {
    root = fs::temp_directory_path() / ("cvs_bench_inf_" + std::to_string(::getpid()));
    fs::create_directories(Dir(kEightMatch));
    fs::create_directories(Dir(kEightNone));
    std::mt19937 rng(5100);
    std::uniform_int_distribution<size_t> size(1024, kMaxSize);
    std::uniform_int_distribution<size_t> tail(100, 400);
    for (size_t i = 0; i < kFiles; ++i) {
      const size_t n = size(rng);
      std::string none = InfText(rng, n);
      std::string match = none;
      // After a line end: no attempt that started before can reach into it.
      const std::string planted = std::string("\r\n") + kText;
      match.replace(n - tail(rng), planted.size(), planted);
      const std::string wideNone = Widen(none.substr(0, n / 2 - 1));
      const std::string wideMatch = Widen(match.substr(n - n / 2 + 1));
      const std::string name = "OEM" + std::to_string(i) + ".INF";
      std::ofstream(Dir(kEightMatch) / name, std::ios::binary) << match;
      std::ofstream(Dir(kEightNone) / name, std::ios::binary) << none;
      files[kEightMatch].push_back(match + '\0');
      files[kEightNone].push_back(none + '\0');
      files[kSixteenMatch].push_back(wideMatch + '\0');
      files[kSixteenNone].push_back(wideNone + '\0');
    }
  }
  ~Corpus() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
  // The 8-bit sets on the host; the no-match one doubles as the simulated
  // PC's INF directory.
  fs::path Dir(int set) const {
    return set == kEightNone ? root / "C" / "WINDOWS" / "INF" : root / "match";
  }
  size_t Bytes(int set) const {
    size_t total = 0;
    for (const std::string& f : files[set]) total += f.size() - 1;
    return total;
  }
};

Corpus& TheCorpus() {
  static Corpus corpus;
  return corpus;
}

size_t ExpectedMatches(int set) { return set == kEightMatch || set == kSixteenMatch ? kFiles : 0; }

void BM_SearchInfText(benchmark::State& state) {
  const int set = static_cast<int>(state.range(0));
  const Corpus& corpus = TheCorpus();
  size_t found = 0;
  for (auto _ : state) {
    found = 0;
    for (const std::string& f : corpus.files[set])
      found += SearchInfText(f.data(), kText, static_cast<DWORD>(f.size() - 1), 0) ? 1 : 0;
    benchmark::DoNotOptimize(found);
  }
  if (found != ExpectedMatches(set)) state.SkipWithError("the search found otherwise than planted");
  state.SetLabel(kSetNames[set]);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * corpus.Bytes(set)));
}

// `grep -F -l` over the host files of an 8-bit set: the number of files listed.
size_t RunGrep(const fs::path& dir) {
  const std::string command =
      "cd '" + dir.string() + "' && LC_ALL=C grep -F -l -- '" + kText + "' OEM*.INF";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return SIZE_MAX;
  size_t lines = 0;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe))
    if (std::strchr(buffer, '\n')) ++lines;
  pclose(pipe);
  return lines;
}

void BM_GrepFixedList(benchmark::State& state) {
  const int set = static_cast<int>(state.range(0));
  const Corpus& corpus = TheCorpus();
  size_t listed = 0;
  for (auto _ : state) listed = RunGrep(corpus.Dir(set));
  if (listed != ExpectedMatches(set)) state.SkipWithError("grep listed otherwise than planted");
  state.SetLabel(kSetNames[set]);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * corpus.Bytes(set)));
}

// DeleteINF on a simulated XP PC whose INF directory holds the 8-bit
// no-match files: every file is listed, opened, read whole and searched.
void BM_DeleteInfNoMatch(benchmark::State& state) {
  const Corpus& corpus = TheCorpus();
  sim::Machine m;
  sim::ScopedMachine scope(m);
  m.SetCodePage(1252);
  m.files.drives_root = corpus.root.string();
  m.files.drives['C'] = sim::DriveInfo{};
  fs::create_directories(corpus.root / "C" / "WINDOWS" / "TEMP");
  m.system.SetDirectory("temp", "C:\\WINDOWS\\TEMP\\");
  m.files.current_dir = "C:\\WINDOWS";
  ResetAllRunState();
  char logDir[260];
  GetRunLogDir(logDir);
  for (auto _ : state) {
    CInfSeekAndDestroy inf;
    benchmark::DoNotOptimize(inf.DeleteINF("C:\\WINDOWS\\INF", kText, 0));
  }
  if (!fs::exists(corpus.Dir(kEightNone) / "OEM0.INF")) state.SkipWithError("a file was removed");
  state.SetLabel(kSetNames[kEightNone]);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * corpus.Bytes(kEightNone)));
}

BENCHMARK(BM_SearchInfText)->DenseRange(0, kSets - 1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GrepFixedList)
    ->Arg(kEightMatch)
    ->Arg(kEightNone)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_DeleteInfNoMatch)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
