#include "magic_word.h"

namespace {

// Character classes by ASCII range on the unsigned byte, never by locale:
// bytes 128 to 255 are neither upper nor lower case.
bool is_lower(unsigned char c) { return c >= 'a' && c <= 'z'; }
bool is_upper(unsigned char c) { return c >= 'A' && c <= 'Z'; }
int to_lower(unsigned char c) { return is_upper(c) ? c + 32 : c; }
int to_upper(unsigned char c) { return is_lower(c) ? c - 32 : c; }

const char* const kMessages[kCriteria] = {
    "\n\t-It is not a Magic Word because word Contains evan Number of Letters!;",
    "\n\t-It is not a Magic Word because word Starts with Lowre Case Letter!;",
    // This criterion looks at the last character; the message is worded
    // about the start all the same.
    "\n\t-It is not a Magic Word because word Starts with Upper Case Letter!;",
    "\n\t-It is not a Magic Word because word Contains Letter 'D' or 'd'!;",
    "\n\t-It is not a Magic Word because word dose not\n\t Begin and End with the Same Letter!",
};

}  // namespace

std::bitset<kCriteria> failed_criteria(std::string_view word) {
  // The empty word (end of input) has no characters: both ends read as the
  // terminating zero, so it fails only the length and same-ends criteria.
  const unsigned char n_word = word.empty() ? 0 : static_cast<unsigned char>(word.front());
  const unsigned char m_word = word.empty() ? 0 : static_cast<unsigned char>(word.back());
  std::bitset<kCriteria> failed;
  failed[kOddLength] = word.size() % 2 == 0;
  failed[kNotLowerFirst] = is_lower(n_word);
  failed[kNotUpperLast] = is_upper(m_word);
  failed[kNoD] = word.find_first_of("dD") != std::string_view::npos;
  failed[kSameEnds] = to_lower(n_word) - to_upper(m_word) != 32;
  return failed;
}

std::string verdict(std::string_view word) {
  const auto failed = failed_criteria(word);
  std::string text;
  if (failed.none()) {
    text.append("\n\t-").append(word).append(" is a magic word!");
    return text;
  }
  for (int c = 0; c < kCriteria; ++c) {
    if (failed[c]) text += kMessages[c];
  }
  return text;
}
