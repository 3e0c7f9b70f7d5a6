// Menu choice 2, the word test, and the two totals of the run.
#pragma once

#include <cstdint>

// Words read, and magic words found, since the program started.
extern std::int32_t total_entered;
extern std::int32_t total_correct;

// Asks for a word, counts it and gives its verdict.
void Test_word();
