#include "tools/vtsim/text_ui/rtf_text.h"

#include <cctype>
#include <cstring>

#include "sim/text.h"

namespace textui {

namespace {

// Destinations whose text is never shown.
const char* const kHiddenDestinations[] = {"fonttbl",    "colortbl",
                                           "stylesheet", "info",
                                           "pict",       "object",
                                           "header",     "headerl",
                                           "headerr",    "headerf",
                                           "footer",     "footerl",
                                           "footerr",    "footerf",
                                           "footnote",   "fldinst",
                                           "listtable",  "listoverridetable",
                                           "rsidtbl",    "generator",
                                           "themedata",  "colorschememapping",
                                           "datastore",  "latentstyles",
                                           "xmlnstbl",   "filetbl",
                                           "revtbl",     "bkmkstart",
                                           "bkmkend",    "nonshppict"};

// Code-page 1252 bytes of the typographic control words.
struct NamedChar {
  const char* word;
  char byte;
};
const NamedChar kNamedChars[] = {{"emdash", '\x97'},    {"endash", '\x96'}, {"bullet", '\x95'},
                                 {"lquote", '\x91'},    {"rquote", '\x92'}, {"ldblquote", '\x93'},
                                 {"rdblquote", '\x94'}, {"emspace", ' '},   {"enspace", ' '}};

struct GroupState {
  bool hidden = false;
  int unicodeSkip = 1;  // \ucN: fallback characters after each \uN
};

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class RtfReader {
 public:
  explicit RtfReader(const std::string& rtf) : in_(rtf) {}

  std::string Read() {
    while (pos_ < in_.size()) {
      const char c = in_[pos_++];
      if (c == '{') {
        stack_.push_back(state_);
        skipLeft_ = 0;
      } else if (c == '}') {
        if (!stack_.empty()) {
          state_ = stack_.back();
          stack_.pop_back();
        }
        skipLeft_ = 0;
      } else if (c == '\\') {
        ControlSequence();
      } else if (c == '\r' || c == '\n' || c == '\0') {
        // Line ends of the file are not text.
      } else {
        Emit(std::string(1, c));
      }
    }
    // The last paragraph mark is the control's end of document.
    if (out_.size() >= 2 && out_.compare(out_.size() - 2, 2, "\r\n") == 0)
      out_.resize(out_.size() - 2);
    return out_;
  }

 private:
  // Text of the current group, or one fallback character of a \uN skipped.
  void Emit(const std::string& text) {
    if (skipLeft_ > 0) {
      --skipLeft_;
      return;
    }
    if (!state_.hidden) out_ += text;
  }

  void ControlSequence() {
    if (pos_ >= in_.size()) return;
    const char c = in_[pos_];
    if (std::isalpha(static_cast<unsigned char>(c))) return ControlWord();
    ++pos_;
    switch (c) {
      case '\\':
      case '{':
      case '}':
        return Emit(std::string(1, c));
      case '\'': {
        const int hi = pos_ < in_.size() ? HexValue(in_[pos_]) : -1;
        const int lo = pos_ + 1 < in_.size() ? HexValue(in_[pos_ + 1]) : -1;
        if (hi < 0 || lo < 0) return;
        pos_ += 2;
        return Emit(std::string(1, static_cast<char>(hi * 16 + lo)));
      }
      case '*':
        state_.hidden = true;  // an ignorable destination this reader does not know
        return;
      case '~':
        return Emit("\xA0");
      case '_':
        return Emit("-");
      case '\r':
      case '\n':
        return Emit("\r\n");
      default:
        return Emit("");  // \- and other symbols show nothing
    }
  }

  void ControlWord() {
    const size_t start = pos_;
    while (pos_ < in_.size() && pos_ - start < 32 &&
           std::isalpha(static_cast<unsigned char>(in_[pos_])))
      ++pos_;
    const std::string word = in_.substr(start, pos_ - start);
    bool hasParam = false;
    bool negative = false;
    long param = 0;
    if (pos_ < in_.size() && in_[pos_] == '-') {
      negative = true;
      ++pos_;
    }
    int digits = 0;
    while (pos_ < in_.size() && std::isdigit(static_cast<unsigned char>(in_[pos_]))) {
      if (digits++ < 10) param = param * 10 + (in_[pos_] - '0');
      hasParam = true;
      ++pos_;
    }
    if (negative) param = -param;
    if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;  // the delimiter
    Word(word, hasParam, param);
  }

  void Word(const std::string& word, bool hasParam, long param) {
    for (const char* hidden : kHiddenDestinations) {
      if (word == hidden) {
        state_.hidden = true;
        return;
      }
    }
    if (word == "par" || word == "line" || word == "sect" || word == "page" || word == "row") {
      return Emit("\r\n");
    }
    if (word == "tab" || word == "cell") return Emit("\t");
    if (word == "uc") {
      if (hasParam && param >= 0 && param < 100) state_.unicodeSkip = static_cast<int>(param);
      return;
    }
    if (word == "u" && hasParam) return Unicode(param);
    for (const NamedChar& named : kNamedChars) {
      if (word == named.word) return Emit(std::string(1, named.byte));
    }
    // Formatting: a skipped fallback counts it as one character.
    if (skipLeft_ > 0) --skipLeft_;
  }

  // \uN: signed 16-bit, shown as its code-page character ('?' without one).
  void Unicode(long value) {
    if (value < 0) value += 65536;
    std::string text = "?";
    if (value > 0 && value < 0x10000 && (value < 0xD800 || value > 0xDFFF)) {
      bool ok = false;
      const std::string ansi =
          sim::Utf16ToAnsi(std::u16string(1, static_cast<char16_t>(value)), &ok);
      if (ok && !ansi.empty()) text = ansi;
    }
    Emit(text);
    skipLeft_ = state_.unicodeSkip;
  }

  const std::string& in_;
  size_t pos_ = 0;
  GroupState state_;
  std::vector<GroupState> stack_;
  int skipLeft_ = 0;
  std::string out_;
};

}  // namespace

std::string RtfToText(const std::string& rtf) { return RtfReader(rtf).Read(); }

std::vector<std::string> TextLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (text[i] == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += text[i];
    }
  }
  if (!text.empty()) lines.push_back(line);
  return lines;
}

}  // namespace textui
