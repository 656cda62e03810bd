// Texts in the active code page (1252): lstrcmpiA's word sort and the case
// mappings of CharUpperA, CharUpperBuffA and CharLowerA.
#include <cstdint>
#include <cstring>
#include <string>

#include "conformance/conformance.h"

namespace {

int Sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

}  // namespace

// lstrcmpiA: CompareStringA of the user's locale with case ignored.

CONFORMANCE_CASE(text, lstrcmpiA_CaseIgnored) {
  CHECK_EQ(lstrcmpiA("Salut", "sAlUT"), 0);
  CHECK_EQ(lstrcmpiA("", ""), 0);
  CHECK_EQ(lstrcmpiA("Salut", "Salute"), -1);
  CHECK_EQ(lstrcmpiA("haha", "HOHO"), -1);
  CHECK_EQ(lstrcmpiA("\xC9T\xC9", "\xE9t\xE9"), 0);  // ÉTÉ, été
}

CONFORMANCE_CASE(text, lstrcmpiA_SharpSEqualsSs) {
  CHECK_EQ(lstrcmpiA("\xDF", "ss"), 0);  // ß
  CHECK_EQ(lstrcmpiA("Stra\xDF"
                     "e",
                     "STRASSE"),
           0);  // Straße
  CHECK_EQ(lstrcmpiA("\xDF", "s"), 1);
}

CONFORMANCE_CASE(text, lstrcmpiA_LigaturesEqualTheirLetters) {
  CHECK_EQ(lstrcmpiA("\xE6", "ae"), 0);      // æ
  CHECK_EQ(lstrcmpiA("\xC6on", "AEON"), 0);  // Æon
  CHECK_EQ(lstrcmpiA("c\x9C"
                     "ur",
                     "COEUR"),
           0);  // cœur
}

CONFORMANCE_CASE(text, lstrcmpiA_AccentsDiffer) {
  CHECK_EQ(lstrcmpiA("e", "\xE9"), -1);  // e < é
  CHECK_EQ(lstrcmpiA("\xE9", "f"), -1);  // é sorts with e, before f
  CHECK_EQ(lstrcmpiA("resume", "r\xE9sum\xE9"), -1);
}

CONFORMANCE_CASE(text, lstrcmpiA_SymbolsBeforeDigitsBeforeLetters) {
  // From dlls/kernel32/tests/locale.c (comparestringa_data), which passes on Windows.
  CHECK_EQ(lstrcmpiA("r", "\\"), 1);
  CHECK_EQ(lstrcmpiA("a", "{"), 1);
  CHECK_EQ(lstrcmpiA("_Property", "EndDialog"), -1);
  CHECK_EQ(lstrcmpiA("#", "."), -1);
  CHECK_EQ(lstrcmpiA("3.5", "4.0"), -1);
  CHECK_EQ(lstrcmpiA("9", "a"), -1);
}

CONFORMANCE_CASE(text, lstrcmpiA_HyphenAndApostropheWeighLast) {
  CHECK_EQ(lstrcmpiA("-o", "/m"), 1);  // the hyphen is passed over: "o" > "/m"
  CHECK_EQ(lstrcmpiA("'o", "-o"), -1);
  CHECK_EQ(Sign(lstrcmpiA("co-op", "coop")), 1);  // unequal all the same
  CHECK_EQ(lstrcmpiA("co-op", "coq"), -1);
  CHECK_EQ(lstrcmpiA("a-", "a"), 1);
}

// CharUpperA, CharUpperBuffA, CharLowerA

CONFORMANCE_CASE(text, CharUpperA_StringInPlace) {
  char text[] = "abc xyz 1\xE9\xFF\xDF\x9A";  // é ÿ ß š
  CHECK_TRUE(CharUpperA(text) == text);
  CHECK_STR(text, "ABC XYZ 1\xC9\x9F\xDF\x8A");  // ß has no single capital
}

CONFORMANCE_CASE(text, CharUpperA_OneCharacterByValue) {
  // A value below 0x10000 is a character, not a pointer.
  LPSTR r = CharUpperA(reinterpret_cast<LPSTR>(static_cast<uintptr_t>('q')));
  CHECK_EQ(reinterpret_cast<uintptr_t>(r), static_cast<uintptr_t>('Q'));
  r = CharUpperA(reinterpret_cast<LPSTR>(static_cast<uintptr_t>(0xE0)));  // à
  CHECK_EQ(reinterpret_cast<uintptr_t>(r), static_cast<uintptr_t>(0xC0));
}

CONFORMANCE_CASE(text, CharUpperBuffA_StopsAtTheCount) {
  char text[] = "abcdef";
  CHECK_EQ(CharUpperBuffA(text, 3), 3u);
  CHECK_STR(text, "ABCdef");
  char withZero[] = {'a', '\0', 'b', '\0'};
  CHECK_EQ(CharUpperBuffA(withZero, 3), 3u);  // past an embedded zero
  CHECK_EQ(std::memcmp(withZero, "A\0B", 4), 0);
}

CONFORMANCE_CASE(text, CharLowerA_StringInPlace) {
  char text[] = "ABC Xyz \xC9\x8A\x9F\xD7";  // É Š Ÿ ×
  CHECK_TRUE(CharLowerA(text) == text);
  CHECK_STR(text, "abc xyz \xE9\x9A\xFF\xD7");  // × is no letter
}
