// The comparison behind lstrcmpiA: Windows' word sort for the user's locale
// with case ignored (CompareStringA, NORM_IGNORECASE), modelled for code
// page 1252 and an English user.
//
// What is modelled, level by level as Windows compares them:
//  1. letters and digits by their base: symbols (punctuation, blanks,
//     controls) sort before digits, digits before letters; accented letters
//     weigh as their base letter ("é" as "e"), and "ß", "æ", "œ" as the two
//     letters "ss", "ae", "oe" they stand for;
//  2. then accents ("e" < "é");
//  3. case is ignored;
//  4. last, hyphens and apostrophes, which word sort leaves out of the
//     first levels ("co-op" sorts beside "coop" yet differs from it).
// Equality is exact under this model; the order among symbols (by Unicode
// value) and among accents is an approximation of Windows' tables.
#pragma once

#include <string>

namespace sim {

// <0, 0, >0 as lstrcmpiA compares two code page texts.
int CompareWordSortNoCase(const std::string& a, const std::string& b);

}  // namespace sim
