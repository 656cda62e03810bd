// The terminal's rich-text control turns RTF into the text a person reads
// and Copy takes: a few documents shaped as word processors write them.
#include "tools/vtsim/text_ui/rtf_text.h"

#include <gtest/gtest.h>

#include "support/test_machine.h"

namespace {

using textui::RtfToText;

TEST(RtfTextTest, TablesAndHiddenDestinationsShowNothing) {
  TestMachine tm;  // the code page of \u conversions
  const std::string rtf =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033"
      "{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\froman Times New Roman;}}\r\n"
      "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
      "{\\stylesheet{\\s0 Normal;}}"
      "{\\info{\\title Secret}{\\author Someone}}"
      "{\\*\\generator Riched20 5.50.99.2050;}{\\*\\unknowndest hidden words}"
      "\\viewkind4\\uc1\\pard\\cf1\\f0\\fs20 Visible\\cf0  text\\par\r\n}";
  EXPECT_EQ(RtfToText(rtf), "Visible text");
}

TEST(RtfTextTest, ParagraphsLineBreaksAndTabs) {
  EXPECT_EQ(RtfToText("{\\rtf1 One\\par Two\\line Three\\tab 4\\par\\par}"),
            "One\r\nTwo\r\nThree\t4\r\n");
  // Line ends of the file itself are no text; a control word ends at its
  // delimiting blank, which is not text either.
  EXPECT_EQ(RtfToText("{\\rtf1 A\r\nB\\b C\\b0 D}"), "ABCD");
  EXPECT_EQ(RtfToText("{\\rtf1 A\\\r\nB}"), "A\r\nB");  // backslash + line end is \par
}

TEST(RtfTextTest, EscapedCharactersAndCodePageBytes) {
  EXPECT_EQ(RtfToText("{\\rtf1 a\\\\b \\{c\\} caf\\'e9 \\'80}"), "a\\b {c} caf\xE9 \x80");
  EXPECT_EQ(RtfToText("{\\rtf1 \\ldblquote x\\rdblquote  \\emdash }"), "\x93x\x94 \x97");
  EXPECT_EQ(RtfToText("{\\rtf1 bad \\'zz end}"), "bad zz end");
}

TEST(RtfTextTest, UnicodeCharactersSkipTheirFallbackPerUc) {
  TestMachine tm;
  // \u8364 is the euro sign (0x80 in code page 1252); its fallback "?" goes.
  EXPECT_EQ(RtfToText("{\\rtf1\\uc1 \\u8364?5}"),
            "\x80"
            "5");
  EXPECT_EQ(RtfToText("{\\rtf1\\uc2 \\u233\\'e9\\'e9!}"), "\xE9!");
  EXPECT_EQ(RtfToText("{\\rtf1\\uc0 \\u233 x}"), "\xE9x");
  // Negative values are the upper half; a character the code page lacks is '?'.
  EXPECT_EQ(RtfToText("{\\rtf1\\uc1 \\u-3913?}"), "?");
  EXPECT_EQ(RtfToText("{\\rtf1\\uc1 \\u1046?.}"), "?.");
  // \uc belongs to its group: after the group one fallback character again.
  EXPECT_EQ(RtfToText("{\\rtf1{\\uc0 \\u233}\\u233 xy}"), "\xE9\xE9y");
}

TEST(RtfTextTest, MalformedInputEndsWithoutHarm) {
  EXPECT_EQ(RtfToText(""), "");
  EXPECT_EQ(RtfToText("plain words"), "plain words");
  EXPECT_EQ(RtfToText("{\\rtf1 open group"), "open group");
  EXPECT_EQ(RtfToText("}}}{\\rtf1 x}}"), "x");
  EXPECT_EQ(RtfToText("{\\rtf1 x\\"), "x");
  EXPECT_EQ(RtfToText("{\\rtf1 \\u"), "");
}

TEST(RtfTextTest, TextLinesSplitAtLineEnds) {
  EXPECT_EQ(textui::TextLines("a\r\nb\r\n\r\nc"), (std::vector<std::string>{"a", "b", "", "c"}));
  EXPECT_EQ(textui::TextLines(""), std::vector<std::string>{});
  EXPECT_EQ(textui::TextLines("a\tb"), std::vector<std::string>{"a\tb"});
}

}  // namespace
