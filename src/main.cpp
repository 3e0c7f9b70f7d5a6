// Zarvenhold: the menu loop and its screens.
#include <iostream>

#include "console/console.h"
#include "word_test.h"

namespace {

constexpr const char* kProviderAddress = "https://zarvenhold.example";

// Shows the menu until a key from 1 to 4 is pressed and returns it, or
// returns -1 when no key can be read at all.
int menu() {
  std::cout << "\n";
  for (;;) {
    std::cout << "\n\t\t\tZarvenhold"
              << "\n\t\t\tProvided by: " << kProviderAddress
              << "\n\t\t\t---------------------------------\n"
              << "\n\t\t\t1. Read Me"
              << "\n\t\t\t2. Enter Magic Word to brake the spell"
              << "\n\t\t\t3. Total Entered Words"
              << "\n\t\t\t4. Quit"
              << "\n\t\t\t___________________________________\n"
              << "\n\t\t\tPease enter a number between 1-4: ";
    const int key = getch();
    if (key == -1) return -1;
    const char Number = static_cast<char>(key);
    clrscr();
    if (Number >= '1' && Number <= '4') return Number;
  }
}

void Message() {
  std::cout << "\n\n\tThis Spell made by Qorlath\n"
            << "\n\tThis program will help you to find"
            << "\n\tMagic Word to break the spell."
            << "\n\tA magic word is a word that fits all"
            << "\n\tcriteria belowe:"
            << "\n\n\t-It Begins and Ends with the Same Letter of the alphabet\n"
            << "\t-It starts with ab Upper Case Letter\n"
            << "\t-It ends with a Lower Case Letter\n"
            << "\t-It Contains an Odd number of Letters\n"
            << "\t-It dose not Contain the letter 'D' or'd'\n";
  getch();
  clrscr();
}

void Word_entered() {
  std::cout << "\n\tThe Number of Words Entered: " << total_entered
            << "\n\n\tThe Number of Magic Words  : " << total_correct;
  getch();
  clrscr();
}

}  // namespace

int main() {
  for (;;) {
    const int choice = menu();
    switch (choice) {
      case '1': Message(); break;
      case '2': Test_word(); break;
      case '3': Word_entered(); break;
      case '4': return 0;
      default: std::cerr << "zarvenhold: no terminal to read keys from\n"; return 1;
    }
  }
}
