// The game's screens as a terminal in its ordinary modes receives them.
#pragma once

#include <string>

#include "pty_session.h"

namespace screens {

inline const std::string kClear = "\x1b[H\x1b[2J";

inline const std::string kMenu = onlcr(
    "\n\t\t\tZarvenhold"
    "\n\t\t\tProvided by: https://zarvenhold.example"
    "\n\t\t\t---------------------------------\n"
    "\n\t\t\t1. Read Me"
    "\n\t\t\t2. Enter Magic Word to brake the spell"
    "\n\t\t\t3. Total Entered Words"
    "\n\t\t\t4. Quit"
    "\n\t\t\t___________________________________\n"
    "\n\t\t\tPease enter a number between 1-4: ");

// Each time the menu is entered it writes one "\n" of its own first.
inline const std::string kFirstMenu = "\r\n" + kMenu;
inline const std::string kMenuAgain = kClear + kMenu;  // after a refused key
inline const std::string kMenuAfterScreen = kClear + "\r\n" + kMenu;

inline const std::string kReadMe = onlcr(
    "\n\n\tThis Spell made by Qorlath\n"
    "\n\tThis program will help you to find"
    "\n\tMagic Word to break the spell."
    "\n\tA magic word is a word that fits all"
    "\n\tcriteria belowe:"
    "\n\n\t-It Begins and Ends with the Same Letter of the alphabet\n"
    "\t-It starts with ab Upper Case Letter\n"
    "\t-It ends with a Lower Case Letter\n"
    "\t-It Contains an Odd number of Letters\n"
    "\t-It dose not Contain the letter 'D' or'd'\n");

inline const std::string kPrompt = onlcr("\n\n\tEnter a Magic Word to break the spell: ");

inline std::string totals(int entered, int correct) {
  return onlcr("\n\tThe Number of Words Entered: " + std::to_string(entered) +
               "\n\n\tThe Number of Magic Words  : " + std::to_string(correct));
}

inline std::string magic_line(const std::string& word) {
  return onlcr("\n\t-" + word + " is a magic word!");
}

// What the terminal echoes for a typed line, Enter included.
inline std::string echo(const std::string& line) { return line + "\r\n"; }

}  // namespace screens
