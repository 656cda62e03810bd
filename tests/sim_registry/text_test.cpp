// Code page 1252 texts: case folding as CharUpperA, conversions to and from
// UTF-8 and UTF-16 with '?' for what the code page lacks.
#include "sim/text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Text, FoldsCaseAsCodePage1252) {
  EXPECT_EQ(sim::UpperCase("abc\xe9\xff\x9a\x9c\x9e"), "ABC\xc9\x9f\x8a\x8c\x8e");
  // Sharp s, micro sign and the division sign have no upper case in 1252.
  EXPECT_EQ(sim::UpperCase("\xdf\xb5\xf7"), "\xdf\xb5\xf7");
  EXPECT_TRUE(sim::EqualNoCase("Caf\xe9", "CAF\xc9"));
  EXPECT_FALSE(sim::EqualNoCase("abc", "abcd"));
  EXPECT_LT(sim::CompareNoCase("abc", "ABD"), 0);
  EXPECT_LT(sim::CompareNoCase("Z", "_"), 0);  // compared in upper case
  EXPECT_LT(sim::CompareNoCase("ab", "AB0"), 0);
}

TEST(Text, ConvertsUtf8AndUtf16) {
  bool ok = false;
  EXPECT_EQ(sim::Utf8ToAnsi("Caf\xc3\xa9 \xe2\x82\xac", &ok), "Caf\xe9 \x80");
  EXPECT_TRUE(ok);
  EXPECT_EQ(sim::AnsiToUtf8("Caf\xe9 \x80"), "Caf\xc3\xa9 \xe2\x82\xac");
  // Characters outside the code page, malformed and truncated sequences.
  EXPECT_EQ(sim::Utf8ToAnsi("\xe4\xb8\xad|\xff|\xc3", &ok), "?|?|?");
  EXPECT_FALSE(ok);
  EXPECT_EQ(sim::Utf8ToAnsi("\xed\xa0\x80", &ok), "???");  // an encoded surrogate
  EXPECT_EQ(sim::Utf16ToAnsi(u"a\u0160\U0001F600", &ok), "a\x8a?");
  EXPECT_FALSE(ok);
  EXPECT_EQ(sim::AnsiToUtf16("\x80\x81"), std::u16string(u"\u20ac\u0081"));
  // Every byte survives the way out and back.
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  EXPECT_EQ(sim::Utf8ToAnsi(sim::AnsiToUtf8(all), &ok), all);
  EXPECT_TRUE(ok);
}

}  // namespace
