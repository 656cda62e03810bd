// Counts of the control file read as text: Windows' integer rules, except
// that a negative number is no entries.
#include "config/count_text.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT kMissing = 65536;

TEST(CountFromText, MissingOrEmptyGivesTheMissingMark) {
  EXPECT_EQ(CountFromText("", kMissing), kMissing);
  EXPECT_EQ(CountFromText("", 7), 7u);
}

TEST(CountFromText, NegativeNumbersAreNoEntries) {
  EXPECT_EQ(CountFromText("-1", kMissing), 0u);
  EXPECT_EQ(CountFromText("  -12", kMissing), 0u);
  EXPECT_EQ(CountFromText("-0x10", kMissing), 0u);
  EXPECT_EQ(CountFromText("-4294967297", kMissing), 0u);
}

TEST(CountFromText, BlanksSignAndDigitsUntilTheFirstThatIsNone) {
  EXPECT_EQ(CountFromText("3", kMissing), 3u);
  EXPECT_EQ(CountFromText(" \t 12", kMissing), 12u);
  EXPECT_EQ(CountFromText("+4", kMissing), 4u);
  EXPECT_EQ(CountFromText("42abc", kMissing), 42u);
  EXPECT_EQ(CountFromText("5 6", kMissing), 5u);
  EXPECT_EQ(CountFromText("many", kMissing), 0u);  // present, but no number: 0
  EXPECT_EQ(CountFromText("-", kMissing), 0u);
  EXPECT_EQ(CountFromText("65536", kMissing), 65536u);  // the caller's "missing"
}

TEST(CountFromText, PrefixesChooseTheBase) {
  EXPECT_EQ(CountFromText("0x1F", kMissing), 31u);
  EXPECT_EQ(CountFromText("0X10", kMissing), 16u);
  EXPECT_EQ(CountFromText("0o17", kMissing), 15u);
  EXPECT_EQ(CountFromText("0b101", kMissing), 5u);
  EXPECT_EQ(CountFromText("0b102", kMissing), 2u);  // stops at a digit of no use
  EXPECT_EQ(CountFromText("0x", kMissing), 0u);
  EXPECT_EQ(CountFromText("019", kMissing), 19u);  // a leading 0 is no prefix
  EXPECT_EQ(CountFromText("0", kMissing), 0u);
}

TEST(CountFromText, DigitsWrapAt32BitsAsWindowsDoes) {
  EXPECT_EQ(CountFromText("4294967297", kMissing), 1u);
  EXPECT_EQ(CountFromText("4294967296", kMissing), 0u);
}

}  // namespace
