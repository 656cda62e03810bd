// machine.json text of the capture: valid JSON with the image's layout, and
// texts converted from Windows' UTF-16 without loss.
#include "tools/vtcapture/json_text.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

namespace {

using vtcapture::JsonQuoted;
using vtcapture::JsonText;
using vtcapture::Utf16ToUtf8;

TEST(JsonText, NestedMembersParseBackInOrder) {
  JsonText j;
  j.BeginObject();
  j.Key("windows");
  j.String("xp");
  j.Key("drives");
  j.BeginObject();
  j.Key("C");
  j.BeginObject();
  j.Key("free_bytes");
  j.Number(5000000000ULL);
  j.EndObject();
  j.EndObject();
  j.Key("ports");
  j.BeginArray();
  j.String("LPT1:");
  j.String("DOT4_001");
  j.EndArray();
  j.Key("empty");
  j.BeginArray();
  j.EndArray();
  j.Key("none");
  j.BeginObject();
  j.EndObject();
  j.Key("dir");
  j.Null();
  j.Key("admin");
  j.Bool(false);
  j.EndObject();
  const auto parsed = nlohmann::ordered_json::parse(j.Text());
  EXPECT_EQ(parsed["drives"]["C"]["free_bytes"].get<uint64_t>(), 5000000000ULL);
  EXPECT_EQ(parsed["ports"][1], "DOT4_001");
  EXPECT_TRUE(parsed["empty"].empty());
  EXPECT_TRUE(parsed["dir"].is_null());
  EXPECT_FALSE(parsed["admin"].get<bool>());
  EXPECT_EQ(parsed.begin().key(), "windows");
  // The image's own layout: two blanks a level, one member a line.
  EXPECT_EQ(j.Text().substr(0, 20), "{\n  \"windows\": \"xp\",");
  EXPECT_NE(j.Text().find("\n  \"ports\": [\n    \"LPT1:\",\n    \"DOT4_001\"\n  ],"),
            std::string::npos);
  EXPECT_NE(j.Text().find("\"empty\": [],"), std::string::npos);
}

TEST(JsonText, EscapesWhatJsonMust) {
  const std::string raw = std::string("C:\\a \"b\"\n\t\r\x01\x1f", 14) + "\xc3\xa9";
  EXPECT_EQ(nlohmann::json::parse(JsonQuoted(raw)).get<std::string>(), raw);
  EXPECT_EQ(JsonQuoted("C:\\x"), "\"C:\\\\x\"");
  EXPECT_EQ(JsonQuoted(std::string(1, '\x7f')), "\"\x7f\"");
}

TEST(JsonText, Utf16ToUtf8CoversEveryLength) {
  EXPECT_EQ(Utf16ToUtf8(u"A"), "A");
  EXPECT_EQ(Utf16ToUtf8(u"\u00e9"), "\xc3\xa9");
  EXPECT_EQ(Utf16ToUtf8(u"\u07ff\u0800"), "\xdf\xbf\xe0\xa0\x80");
  EXPECT_EQ(Utf16ToUtf8(u"\u20ac"), "\xe2\x82\xac");  // the euro of code page 1252's 0x80
  EXPECT_EQ(Utf16ToUtf8(u"\U0001F600"), "\xf0\x9f\x98\x80");
  // A lone surrogate is no character: the replacement character stands in.
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xd800') + u"x"), "\xef\xbf\xbdx");
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xdc00')), "\xef\xbf\xbd");
}

}  // namespace
