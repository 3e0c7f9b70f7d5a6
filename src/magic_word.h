// The magic-word test: which of the five criteria a word fails.
#pragma once

#include <bitset>
#include <string>
#include <string_view>

// The five criteria, in the order their messages are written.
enum Criterion {
  kOddLength,      // the word has an odd number of characters
  kNotLowerFirst,  // the first character is not lower case
  kNotUpperLast,   // the last character is not upper case
  kNoD,            // no 'd' and no 'D' anywhere
  kSameEnds,       // tolower(first) - toupper(last) == 32
  kCriteria
};

// The criteria that `word` fails; none set means a magic word.
std::bitset<kCriteria> failed_criteria(std::string_view word);

// Everything written after the prompt for `word`: a message for each failed
// criterion, or the magic-word line.
std::string verdict(std::string_view word);
