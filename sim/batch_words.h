// The text rules of a batch line before a command sees it: % expansion as a
// batch file does it, cmd.exe's command separators and escapes, and the
// splitting of arguments into names. Texts are code page texts.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "sim/text.h"

namespace sim {

using BatchEnvironment = std::map<std::string, std::string, LessNoCase>;

// What the % signs of a batch line stand for.
struct PercentContext {
  const BatchEnvironment* environment = nullptr;  // undefined names expand to ""
  std::vector<std::string> arguments;             // %0 (the batch path as started), %1 ...
  bool nt = true;  // cmd.exe: %* and the :~ and := modifiers of a variable
};

// Expands every % of `line`, inside quotes too: %% is one %, %0-%9 the
// arguments, %NAME% the variable (empty when undefined), a % that opens no
// name is dropped.
std::string ExpandPercent(const std::string& line, const PercentContext& context);

// cmd.exe: one line cut into its commands at & outside quotes, with ^
// escapes outside quotes taken. A REM keeps the rest of the line. False with
// `*unsupported` naming the construct when the line holds a pipe, a
// redirection, && or || (which the simulated PC does not carry out).
bool SplitCmdCommands(const std::string& line, std::vector<std::string>* commands,
                      std::string* unsupported);

// cmd.exe: true when the line ends with a ^ outside quotes (the next line
// continues it); the ^ is removed.
bool TakeLineContinuation(std::string* line);

// Blank, tab, comma, semicolon and equals separate arguments.
bool IsArgumentDelimiter(char c);

// Arguments split at delimiters outside double quotes. `stripQuotes`
// removes the quotes ("a b"c is the one name a bc); otherwise they stay.
std::vector<std::string> SplitArguments(const std::string& text, bool stripQuotes);

// The text without its double quotes.
std::string WithoutQuotes(const std::string& text);

// The text without leading and trailing blanks and tabs.
std::string TrimBlanks(const std::string& text);

}  // namespace sim
