// machine.json as the image keeps it: two-blank indent, members in the order
// written, UTF-8 strings. A streaming writer: no tree is held, so a capture of
// thousands of services or short names costs no more than its text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vtcapture {

class JsonText {
 public:
  void BeginObject();
  void EndObject();
  void BeginArray();
  void EndArray();
  // A member's name inside an object; its value is the next call.
  void Key(const std::string& utf8);
  void String(const std::string& utf8);
  void Number(uint64_t n);
  void Bool(bool b);
  void Null();
  const std::string& Text() const { return out_; }

 private:
  void BeforeValue();
  void Close(char bracket);
  struct Level {
    bool empty = true;
  };
  std::string out_;
  std::vector<Level> levels_;
  bool after_key_ = false;
};

// A JSON string literal: quotes, backslashes and control bytes escaped.
std::string JsonQuoted(const std::string& utf8);

// UTF-16 text (as MultiByteToWideChar gives it) as UTF-8; an unpaired
// surrogate becomes U+FFFD.
std::string Utf16ToUtf8(const std::u16string& wide);

}  // namespace vtcapture
