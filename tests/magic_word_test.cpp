#include "magic_word.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Failed criteria, written as a string of their numbers in message order:
// 1 even length, 2 lower-case start, 3 upper-case end, 4 a 'd', 5 ends differ.
std::string failures(std::string_view word) {
  std::string out;
  const auto failed = failed_criteria(word);
  for (int c = 0; c < kCriteria; ++c) {
    if (failed[c]) out += static_cast<char>('1' + c);
  }
  return out;
}

struct Case {
  std::string word;
  std::string failed;
};

TEST(MagicWord, EachCriterionAlone) {
  const Case cases[] = {
      {"Aba", ""},
      {"Abba", "1"},
      {"abc", "25"},
      {"ABA", "3"},
      {"Dad", "4"},
      {"A", "3"},
      {"a", "2"},
      {"[a;", ""},       // 91 - 59 == 32: the arithmetic alone decides
      {"", "15"},        // end of input: no last character to be upper case
      {"Xyzzyx", "1"},   // long enough to show every test looks at the whole word
      {"XyzDyx", "14"},  // a 'D' in the middle
      {"Zebra", "5"},
      {"aba", "2"},  // same letter at both ends, in either case
      {"AbA", "3"},
      {"abA", "23"},  // both case tests fail; the ends are the same letter
      {"Ab1a", "1"},
      {"1b1", "5"},  // digits are neither case: only the ends test fails
      {"Ada", "4"},
      {"Abcdefghijklmnopqrsa", "14"},  // 20 characters, longer than 19
      {"Abcefghijklmnopqrstua", ""},   // 21 characters, held whole
  };
  for (const auto& c : cases) EXPECT_EQ(failures(c.word), c.failed) << "word: " << c.word;
}

TEST(MagicWord, BytesAbove127AreNeitherCase) {
  // In Latin-1, 0xE1 is 'á' and 0xC1 'Á'. Here neither has a case, so the
  // case tests pass and the ends test takes the raw codes: 0xE1 - 0xC1 is 32.
  // A locale-aware tolower would make them the same letter and differ by 0.
  EXPECT_EQ(failures("\xE1x\xC1"), "");
  EXPECT_EQ(failures("\xC1x\xE1"), "5");
  EXPECT_EQ(failures("\xC1x\xC1"), "5");
}

TEST(MagicWord, VerdictTexts) {
  EXPECT_EQ(verdict("Aba"), "\n\t-Aba is a magic word!");
  EXPECT_EQ(
      verdict("abc"),
      "\n\t-It is not a Magic Word because word Starts with Lowre Case Letter!;"
      "\n\t-It is not a Magic Word because word dose not\n\t Begin and End with the Same Letter!");
  EXPECT_EQ(
      verdict(""),
      "\n\t-It is not a Magic Word because word Contains evan Number of Letters!;"
      "\n\t-It is not a Magic Word because word dose not\n\t Begin and End with the Same Letter!");
  EXPECT_EQ(verdict("ABA"),
            "\n\t-It is not a Magic Word because word Starts with Upper Case Letter!;");
  EXPECT_EQ(verdict("Dad"),
            "\n\t-It is not a Magic Word because word Contains Letter 'D' or 'd'!;");
  EXPECT_EQ(verdict("Abba"),
            "\n\t-It is not a Magic Word because word Contains evan Number of Letters!;");
}

}  // namespace
