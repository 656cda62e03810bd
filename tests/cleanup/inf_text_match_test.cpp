// The matching rule of the OEM INF search on its own: 8- and 16-bit text,
// the resume rule, the bounds of the contents and the progress positions.
#include "cleanup/inf_text_match.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct Outcome {
  bool found = false;
  std::vector<size_t> progress;
};

void Record(void* context, size_t position) {
  static_cast<std::vector<size_t>*>(context)->push_back(position);
}

// Searches a heap copy of exactly n + 1 bytes, the last one zero, so that a
// read past the contents is caught by the address sanitizer.
Outcome Search(const std::string& contents, const char* text) {
  std::unique_ptr<char[]> buffer(new char[contents.size() + 1]);
  std::copy(contents.begin(), contents.end(), buffer.get());
  buffer[contents.size()] = '\0';
  Outcome out;
  out.found = MatchInfText(buffer.get(), text, contents.size(), Record, &out.progress);
  return out;
}

bool Found(const std::string& contents, const char* text) { return Search(contents, text).found; }

// 8-bit text as 16-bit: each character followed by a zero byte.
std::string Wide(const std::string& text) {
  std::string wide;
  for (char c : text) {
    wide += c;
    wide += '\0';
  }
  return wide;
}

TEST(InfTextMatch, ResumesAfterTheByteThatDiffered) {
  // The attempt at the first a fails at the second a; the scan resumes
  // after it, so the match that starts there is not seen.
  EXPECT_FALSE(Found("aab", "ab"));
  EXPECT_TRUE(Found("xab", "ab"));
  EXPECT_FALSE(Found("VT VT TRX 5100 series", "VT TRX"));
  EXPECT_TRUE(Found("VT XVT TRX 5100 series", "VT TRX"));
}

TEST(InfTextMatch, EightAndSixteenBitContentsBothMatch) {
  const std::string inf = "[Strings]\r\nModel=\"VT TRX 5100 series\"\r\n";
  EXPECT_TRUE(Found(inf, "VT TRX 5100 series"));
  EXPECT_TRUE(Found("\xFF\xFE" + Wide(inf), "VT TRX 5100 series"));
  EXPECT_FALSE(Found(Wide(inf), "VT TRX 5200 series"));
  // Case matters in both.
  EXPECT_FALSE(Found(inf, "vt trx 5100 series"));
  EXPECT_FALSE(Found(Wide(inf), "VT TRX 5100 SERIES"));
  // Two zero bytes between characters are not stepped over.
  EXPECT_FALSE(Found(std::string("xa\0\0b", 5), "ab"));
}

TEST(InfTextMatch, LengthsAndEnds) {
  EXPECT_TRUE(Found("ab", "ab"));
  EXPECT_TRUE(Found("xxab", "ab"));
  EXPECT_FALSE(Found("a", "ab"));    // longer than the contents
  EXPECT_FALSE(Found("xxa", "ab"));  // cut off by the end
  EXPECT_FALSE(Found("x", ""));      // an empty text identifies nothing
  EXPECT_FALSE(Found("", "a"));
}

TEST(InfTextMatch, NeverReadsPastTheContents) {
  // Each would step over the zero after the contents and read beyond it.
  EXPECT_FALSE(Found(std::string("xyz\0", 4), "q"));
  EXPECT_FALSE(Found("xyz", "q"));
  EXPECT_FALSE(Found("xa", "ab"));
  EXPECT_FALSE(Found(Wide("xa"), "ab"));
  EXPECT_TRUE(Found(Wide("ab"), "ab"));
  EXPECT_FALSE(Found(std::string("ab\0", 3), "abc"));
}

TEST(InfTextMatch, ProgressAtEveryFiftiethPositionLandedOnAndAtTheMatch) {
  std::string contents(130, 'x');
  Outcome none = Search(contents, "ab");
  EXPECT_FALSE(none.found);
  EXPECT_EQ(none.progress, (std::vector<size_t>{50, 100}));

  // A zero byte at 50 is stepped over: the scan never lands on 50.
  contents[50] = '\0';
  EXPECT_EQ(Search(contents, "ab").progress, (std::vector<size_t>{100}));

  // A match shows the position after it; a failed attempt shows nothing.
  contents = std::string(60, 'x') + "ax" + std::string(40, 'x') + "ab";
  Outcome found = Search(contents, "ab");
  EXPECT_TRUE(found.found);
  EXPECT_EQ(found.progress, (std::vector<size_t>{50, 100, 104}));

  // 16-bit text lands on every second byte.
  Outcome wide = Search(Wide(std::string(60, 'x') + "ab"), "ab");
  EXPECT_TRUE(wide.found);
  EXPECT_EQ(wide.progress, (std::vector<size_t>{50, 100, 123}));
}

}  // namespace
