// Finding the line of a JSON path in machine.json text, duplicate members,
// and the name suggested for a misspelt field.
#include "sim/json_path.h"

#include <gtest/gtest.h>

#include "sim/closest_name.h"

namespace {

using sim::JsonPath;

const char* kText = R"({
  "windows": "xp",
  "odd": "a } ] { [ , : \" still odd",
  "printers": [
    { "name": "A", "port": "LPT1:" },
    {
      "name": "B",
      "nested": [[1, 2], {"x": [3]}]
    }
  ],
  "files": {
    "C:\\App\\a.dll": { "in_use": true },
    "\u00e9t\u00e9": 1
  },
  "empty": {}, "after": [ ]
})";

TEST(JsonPathLine, FindsMembersAndElementsPastStringsAndNesting) {
  const JsonPath root;
  EXPECT_EQ(sim::LineOfJsonPath(kText, root), 1u);
  EXPECT_EQ(sim::LineOfJsonPath(kText, root.Key("windows")), 2u);
  EXPECT_EQ(sim::LineOfJsonPath(kText, root.Key("printers")), 4u);
  EXPECT_EQ(sim::LineOfJsonPath(kText, root.Key("printers").Index(0).Key("port")), 5u);
  EXPECT_EQ(sim::LineOfJsonPath(kText, root.Key("printers").Index(1)), 6u);
  EXPECT_EQ(sim::LineOfJsonPath(kText, root.Key("printers").Index(1).Key("name")), 7u);
  EXPECT_EQ(
      sim::LineOfJsonPath(kText, root.Key("printers").Index(1).Key("nested").Index(1).Key("x")),
      8u);
  // Keys are compared decoded, as the JSON library hands them out.
  EXPECT_EQ(sim::LineOfJsonPath(kText, root.Key("files").Key("C:\\App\\a.dll").Key("in_use")), 12u);
  EXPECT_EQ(sim::LineOfJsonPath(kText, root.Key("files").Key("\xC3\xA9t\xC3\xA9")), 13u);
  EXPECT_EQ(sim::LineOfJsonPath(kText, root.Key("after")), 15u);
}

TEST(JsonPathLine, AMissingPartNamesTheDeepestPartThatExists) {
  const JsonPath root;
  EXPECT_EQ(sim::LineOfJsonPath(kText, root.Key("printers").Index(1).Key("driver")), 6u);
  EXPECT_EQ(sim::LineOfJsonPath(kText, root.Key("printers").Index(7)), 4u);
  EXPECT_EQ(sim::LineOfJsonPath(kText, root.Key("empty").Key("x")), 15u);
  EXPECT_EQ(sim::LineOfJsonPath(kText, root.Key("nothing")), 1u);
  EXPECT_EQ(sim::LineOfJsonPath("\n\n  {\"a\": 1}", root.Key("b")), 3u);
  // Malformed text ends the search where it stopped, without reading past the end.
  EXPECT_EQ(sim::LineOfJsonPath("{\n\"a\": [1,\n\"unterminated", root.Key("a").Index(2)), 2u);
  EXPECT_EQ(sim::LineOfJsonPath("{\"a\\u12", root.Key("a")), 1u);
  EXPECT_EQ(sim::LineOfJsonPath("", root.Key("a")), 1u);
}

TEST(JsonPathLine, FindsTheFirstMemberGivenTwiceInOneObject) {
  JsonPath path;
  size_t line = 0;
  EXPECT_FALSE(sim::FindDuplicateJsonKey(kText, &path, &line));  // "name" twice, in two objects
  ASSERT_TRUE(sim::FindDuplicateJsonKey(
      "{\"a\": 1,\n \"l\": [{\"x\": 1},\n {\"x\": 2, \"\\u0078\": 3}]}", &path, &line));
  EXPECT_EQ(path.Text(), "l[1].x");
  EXPECT_EQ(line, 3u);
  EXPECT_FALSE(sim::FindDuplicateJsonKey("{\"a\": {\"b\": 1}, \"b\": 2}", &path, &line));
}

TEST(JsonPathText, PlainNamesWithDotsOtherKeysQuoted) {
  const JsonPath p = JsonPath().Key("files").Key("C:\\x y.dll").Key("in_use");
  EXPECT_EQ(p.Text(), "files[\"C:\\x y.dll\"].in_use");
  EXPECT_EQ(JsonPath().Key("drives").Key("C").Key("free_bytes").Text(), "drives.C.free_bytes");
  EXPECT_EQ(JsonPath().Key("printers").Index(0).Key("name").Text(), "printers[0].name");
}

TEST(ClosestName, SuggestsOnlyLikelySlips) {
  const std::vector<std::string> known = {"administrator", "privileges", "windows", "temp"};
  EXPECT_EQ(sim::ClosestName("adminstrator", known), "administrator");
  EXPECT_EQ(sim::ClosestName("Windows", known), "windows");
  EXPECT_EQ(sim::ClosestName("privilegs", known), "privileges");
  EXPECT_EQ(sim::ClosestName("tmp", known), "temp");
  EXPECT_EQ(sim::ClosestName("colour", known), "");
  EXPECT_EQ(sim::ClosestName("adminis", known), "");  // half the name is not a slip
  EXPECT_EQ(sim::ClosestName("x", {}), "");
  EXPECT_EQ(sim::EditDistance("kitten", "sitting"), 3u);
  EXPECT_EQ(sim::EditDistance("", "abc"), 3u);
  EXPECT_EQ(sim::EditDistance("abc", ""), 3u);
  EXPECT_EQ(sim::EditDistance("prot", "port"), 1u);  // a swap of neighbours is one slip
  EXPECT_EQ(sim::EditDistance("ab", "ba"), 1u);
}

}  // namespace
