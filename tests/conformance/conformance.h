// Conformance cases: one Windows call in one situation each, with the answer
// Windows gives (return value, last error, output buffers and sizes). The
// same source runs on the simulated PC (ctest) and, built with MinGW as a
// console program, on Windows or under Wine, so the simulated PC's answers
// are checked facts rather than beliefs.
//
//   CONFORMANCE_CASE(registry, RegOpenKeyExA_MissingKeyGives2) {
//     HKEY key;
//     CHECK_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, Scratch::Key("nope").c_str(), 0,
//                            KEY_READ, &key), 2);
//   }
//
// A case is named after the call it is about, an underscore, and the
// situation: `conformance_sim --calls` counts the cases per call from that.
//
// A case starts from an almost empty machine: a fresh scratch folder and a
// fresh scratch key (below) that it fills through the calls themselves.
// Where the 9x and NT families answer differently the case asks NtFamily()
// and checks the answer of each. Where Wine is known to answer differently
// from Windows the case calls WINE_DIFFERS("why, and the source") first:
// under Wine a failing check then counts as a known Wine difference, and a
// case that passes anyway is a failure (the note has gone stale), as Wine's
// own todo_wine does.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>

#include "platform/win32.h"

namespace conformance {

using CaseFn = void (*)();

// Adds a case to the run (called by CONFORMANCE_CASE at start-up).
int RegisterCase(const char* family, const char* name, CaseFn fn);

// Records a failed check of the running case.
void RecordFailure(const char* file, int line, const std::string& what);

// The running case is known to differ under Wine.
void WineDiffers(const char* reason);

// Facts about the machine the cases run on.
bool NtFamily();   // Windows NT 4, 2000, XP (else 95, 98, ME)
bool UnderWine();  // a Wine prefix, not Windows or the simulated PC

// The scratch area of the running case.
struct Scratch {
  // "C:\cvsconf" joined with `name` ("" for the folder itself).
  static std::string Path(const std::string& name = "");
  // "Software\CvsConformance" (under HKEY_CURRENT_USER) joined with `name`.
  static std::string Key(const std::string& name = "");
  // Helpers that fail the case when the set-up itself fails.
  static void File(const std::string& name, const std::string& content = "");
  static void Folder(const std::string& name);
};

template <class T>
std::string Show(const T& v) {
  std::ostringstream s;
  if constexpr (std::is_pointer_v<T>) {
    s << reinterpret_cast<uintptr_t>(v);
  } else if constexpr (std::is_integral_v<T> && sizeof(T) == 1) {
    s << static_cast<int>(v);
  } else {
    s << v;
  }
  return s.str();
}
// Texts are quoted with their control bytes (the zeros of a name list ...)
// and bytes above 0x7E written as \xHH, so a failure line shows every byte.
inline std::string Show(const std::string& v) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out = "\"";
  for (char ch : v) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == '\\') {
      out += "\\\\";
    } else if (c < 0x20 || c > 0x7E) {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += ch;
    }
  }
  return out + "\"";
}
inline std::string Show(const char* v) { return v ? Show(std::string(v)) : "(null)"; }

// Integers compare by value whatever their types (LONG vs DWORD vs int).
template <class A, class B>
bool Same(const A& a, const B& b) {
  if constexpr (std::is_integral_v<A> && std::is_integral_v<B>) {
    return static_cast<int64_t>(a) == static_cast<int64_t>(b) ||
           static_cast<uint64_t>(a) == static_cast<uint64_t>(b);
  } else {
    return a == b;
  }
}

}  // namespace conformance

#define CONFORMANCE_CASE(family, name)                                          \
  static void conformance_##family##_##name();                                  \
  static const int conformance_reg_##family##_##name =                          \
      conformance::RegisterCase(#family, #name, conformance_##family##_##name); \
  static void conformance_##family##_##name()

// CHECK_EQ(actual, expected): both are evaluated once.
#define CHECK_EQ(actual, expected)                                                           \
  do {                                                                                       \
    const auto conf_a = (actual);                                                            \
    const auto conf_e = (expected);                                                          \
    if (!conformance::Same(conf_a, conf_e))                                                  \
      conformance::RecordFailure(__FILE__, __LINE__,                                         \
                                 std::string(#actual) + " is " + conformance::Show(conf_a) + \
                                     ", expected " + conformance::Show(conf_e));             \
  } while (0)

#define CHECK_STR(actual, expected) CHECK_EQ(std::string(actual), std::string(expected))

#define CHECK_TRUE(cond)                                                            \
  do {                                                                              \
    if (!(cond)) conformance::RecordFailure(__FILE__, __LINE__, #cond " is false"); \
  } while (0)

// The last error, read right after the call under test.
#define CHECK_ERROR(expected) CHECK_EQ(GetLastError(), static_cast<DWORD>(expected))

#define WINE_DIFFERS(reason) conformance::WineDiffers(reason)
