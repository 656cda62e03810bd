// Reading keys of the control file as the program's reader does (the profile
// API's answer, the "NotFound" default, the buffers, the counts), reporting
// what would be missing or cut.
#pragma once

#include <string>
#include <vector>

#include "finding.h"
#include "sim/profile_file.h"

namespace vtlint {

struct TextValue {
  bool found = false;
  std::string value;  // as the program gets it: quotes stripped, cut to the buffer
  int line = 0;       // the key's line
};

struct CountValue {
  bool found = false;
  unsigned count = 0;
  int line = 0;  // the key's line, or the section's when it is missing
};

struct IniAccess {
  const std::string& shown;
  const sim::ProfileFile& ini;
  Findings& out;

  // A text key read into `size` characters (terminator included). Missing
  // (absent, or the word NotFound) is reported under missingRule at the
  // section's header, a value past the buffer under VT009.
  TextValue Text(const sim::ProfileSection& s, const char* key, size_t size,
                 const char* missingRule);
  // A count key: missing (absent, empty, 65536 or more) under missingRule, a
  // text that is no plain decimal number under VT008.
  CountValue Count(const sim::ProfileSection& s, const char* key, const char* missingRule);
  // The numbered keys base1..baseN: the first missing one under VT006, keys
  // the reader never reaches under VT007, values past 511 characters, or past
  // entryLimit when the uninstall copies them (0: none), under VT009.
  std::vector<std::string> Numbered(const sim::ProfileSection& s, const char* base,
                                    const CountValue& count, size_t entryLimit);
  // A comma list (512): missing under missingRule, pieces past entryLimit under VT009.
  void CommaList(const sim::ProfileSection& s, const char* key, size_t entryLimit,
                 const char* missingRule);
};

}  // namespace vtlint
