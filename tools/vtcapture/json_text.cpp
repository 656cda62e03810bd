#include "tools/vtcapture/json_text.h"

namespace vtcapture {

std::string JsonQuoted(const std::string& utf8) {
  static const char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (char c : utf8) {
    const unsigned char b = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (b < 0x20) {
          out += "\\u00";
          out += kHex[b >> 4];
          out += kHex[b & 0xF];
        } else {
          out += c;
        }
    }
  }
  out += '"';
  return out;
}

std::string Utf16ToUtf8(const std::u16string& wide) {
  std::string out;
  for (size_t i = 0; i < wide.size(); ++i) {
    uint32_t cp = wide[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
        wide[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

void JsonText::BeforeValue() {
  if (after_key_) {
    after_key_ = false;
    return;
  }
  if (levels_.empty()) return;
  if (!levels_.back().empty) out_ += ',';
  levels_.back().empty = false;
  out_ += '\n';
  out_.append(2 * levels_.size(), ' ');
}

void JsonText::Close(char bracket) {
  const bool empty = levels_.back().empty;
  levels_.pop_back();
  if (!empty) {
    out_ += '\n';
    out_.append(2 * levels_.size(), ' ');
  }
  out_ += bracket;
  if (levels_.empty()) out_ += '\n';
}

void JsonText::BeginObject() {
  BeforeValue();
  out_ += '{';
  levels_.push_back({});
}

void JsonText::EndObject() { Close('}'); }

void JsonText::BeginArray() {
  BeforeValue();
  out_ += '[';
  levels_.push_back({});
}

void JsonText::EndArray() { Close(']'); }

void JsonText::Key(const std::string& utf8) {
  BeforeValue();
  out_ += JsonQuoted(utf8);
  out_ += ": ";
  after_key_ = true;
}

void JsonText::String(const std::string& utf8) {
  BeforeValue();
  out_ += JsonQuoted(utf8);
}

void JsonText::Number(uint64_t n) {
  BeforeValue();
  out_ += std::to_string(n);
}

void JsonText::Bool(bool b) {
  BeforeValue();
  out_ += b ? "true" : "false";
}

void JsonText::Null() {
  BeforeValue();
  out_ += "null";
}

}  // namespace vtcapture
