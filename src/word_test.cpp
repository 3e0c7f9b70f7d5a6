#include "word_test.h"

#include <iostream>
#include <string>

#include "console/console.h"
#include "magic_word.h"

std::int32_t total_entered = 0;
std::int32_t total_correct = 0;

void Test_word() {
  std::cout << "\n\n\tEnter a Magic Word to break the spell: ";
  const std::string word = read_word();
  ++total_entered;
  const bool counts = failed_criteria(word).any();
  if (!counts) ++total_correct;
  std::cout << verdict(word);
  getch();
  clrscr();
}
