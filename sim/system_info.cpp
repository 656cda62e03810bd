#include "sim/system_info.h"

#include <chrono>
#include <ctime>

#include "sim/text.h"

namespace sim {

bool VersionFromName(const std::string& name, WindowsVersion* out) {
  struct Known {
    const char* name;
    WindowsVersion v;
  };
  // 9x builds carry the version in their high word, as GetVersionExA reports them.
  static const Known kKnown[] = {
      {"95", {VER_PLATFORM_WIN32_WINDOWS, 4, 0, 0x040003B6, ""}},
      {"98", {VER_PLATFORM_WIN32_WINDOWS, 4, 10, 0x040A08AE, " A "}},
      {"me", {VER_PLATFORM_WIN32_WINDOWS, 4, 90, 0x045A0BB8, " "}},
      {"nt4", {VER_PLATFORM_WIN32_NT, 4, 0, 1381, "Service Pack 6"}},
      {"2000", {VER_PLATFORM_WIN32_NT, 5, 0, 2195, "Service Pack 4"}},
      {"xp", {VER_PLATFORM_WIN32_NT, 5, 1, 2600, "Service Pack 2"}},
  };
  for (const Known& k : kKnown) {
    if (EqualNoCase(name, k.name)) {
      if (out) *out = k.v;
      return true;
    }
  }
  return false;
}

bool SystemInfo::HasLaterShell() const {
  if (later_shell) return *later_shell;
  // Windows 95 (4.0) and NT 4 shipped with shell32 4.00 and no shlwapi.
  return !(version.major == 4 && version.minor == 0);
}

bool SystemInfo::HasDiskFreeSpaceEx() const {
  return !(version.platform == VER_PLATFORM_WIN32_WINDOWS && version.major == 4 &&
           version.minor == 0 && (version.build & 0xFFFF) < 1111);
}

const std::string* SystemInfo::Directory(const std::string& name) const {
  auto it = directories.find(name);
  if (it == directories.end() || !it->second) return nullptr;
  return &*it->second;
}

namespace {

int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int64_t* y, unsigned* m, unsigned* d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  *d = doy - (153 * mp + 2) / 5 + 1;
  *m = mp < 10 ? mp + 3 : mp - 9;
  *y = static_cast<int64_t>(yoe) + era * 400 + (*m <= 2);
}

}  // namespace

SYSTEMTIME SystemInfo::LocalTime() const {
  const SYSTEMTIME& s = start_time;
  int64_t ms = DaysFromCivil(s.wYear, s.wMonth, s.wDay) * 86400000LL + s.wHour * 3600000LL +
               s.wMinute * 60000LL + s.wSecond * 1000LL + s.wMilliseconds +
               static_cast<int64_t>(elapsed_ms);
  int64_t days = ms / 86400000LL;
  int64_t rest = ms % 86400000LL;
  if (rest < 0) {
    rest += 86400000LL;
    --days;
  }
  int64_t y;
  unsigned m, d;
  CivilFromDays(days, &y, &m, &d);
  SYSTEMTIME t{};
  t.wYear = static_cast<WORD>(y);
  t.wMonth = static_cast<WORD>(m);
  t.wDay = static_cast<WORD>(d);
  t.wDayOfWeek = static_cast<WORD>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
  t.wHour = static_cast<WORD>(rest / 3600000);
  t.wMinute = static_cast<WORD>(rest / 60000 % 60);
  t.wSecond = static_cast<WORD>(rest / 1000 % 60);
  t.wMilliseconds = static_cast<WORD>(rest % 1000);
  return t;
}

bool SystemInfo::SetStartTime(const std::string& iso) {
  // YYYY-MM-DDTHH:MM:SS with an optional .mmm (1 to 3 digits)
  auto num = [&](size_t pos, size_t len, int* out) {
    if (pos + len > iso.size()) return false;
    int v = 0;
    for (size_t i = pos; i < pos + len; ++i) {
      if (iso[i] < '0' || iso[i] > '9') return false;
      v = v * 10 + (iso[i] - '0');
    }
    *out = v;
    return true;
  };
  int y, mo, d, h, mi, s, ms = 0;
  if (iso.size() < 19 || !num(0, 4, &y) || iso[4] != '-' || !num(5, 2, &mo) || iso[7] != '-' ||
      !num(8, 2, &d) || (iso[10] != 'T' && iso[10] != ' ') || !num(11, 2, &h) || iso[13] != ':' ||
      !num(14, 2, &mi) || iso[16] != ':' || !num(17, 2, &s))
    return false;
  if (iso.size() > 19) {
    size_t digits = iso.size() - 20;
    if (iso[19] != '.' || digits < 1 || digits > 3 || !num(20, digits, &ms)) return false;
    for (size_t i = digits; i < 3; ++i) ms *= 10;
  }
  static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (y < 1601 || y > 30827 || mo < 1 || mo > 12 || d < 1 || d > kDays[mo - 1] || h > 23 ||
      mi > 59 || s > 59)
    return false;
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  if (mo == 2 && d == 29 && !leap) return false;
  start_time = SYSTEMTIME{};
  start_time.wYear = static_cast<WORD>(y);
  start_time.wMonth = static_cast<WORD>(mo);
  start_time.wDay = static_cast<WORD>(d);
  start_time.wHour = static_cast<WORD>(h);
  start_time.wMinute = static_cast<WORD>(mi);
  start_time.wSecond = static_cast<WORD>(s);
  start_time.wMilliseconds = static_cast<WORD>(ms);
  elapsed_ms = 0;
  return true;
}

void SystemInfo::SetStartTimeFromHost() {
  auto now = std::chrono::system_clock::now();
  std::time_t t = std::chrono::system_clock::to_time_t(now);
  int ms = static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
  std::tm local{};
  if (std::tm* p = std::localtime(&t)) local = *p;
  start_time = SYSTEMTIME{};
  start_time.wYear = static_cast<WORD>(local.tm_year + 1900);
  start_time.wMonth = static_cast<WORD>(local.tm_mon + 1);
  start_time.wDay = static_cast<WORD>(local.tm_mday);
  start_time.wHour = static_cast<WORD>(local.tm_hour);
  start_time.wMinute = static_cast<WORD>(local.tm_min);
  start_time.wSecond = static_cast<WORD>(local.tm_sec > 59 ? 59 : local.tm_sec);
  start_time.wMilliseconds = static_cast<WORD>(ms);
  elapsed_ms = 0;
}

bool SystemInfo::HoldsPrivilege(const std::string& name) const {
  for (const std::string& held : privileges) {
    if (EqualNoCase(held, name)) return true;
  }
  return false;
}

}  // namespace sim
