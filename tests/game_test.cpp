// The whole game in a real pseudo-terminal: keys typed, exact bytes read back.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "magic_word.h"
#include "pty_session.h"

namespace {

const std::string kClear = "\x1b[H\x1b[2J";

const std::string kMenu = onlcr(
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
const std::string kFirstMenu = "\r\n" + kMenu;
const std::string kMenuAgain = kClear + kMenu;          // after a refused key
const std::string kMenuAfterScreen = kClear + "\r\n" + kMenu;

const std::string kReadMe = onlcr(
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

const std::string kPrompt = onlcr("\n\n\tEnter a Magic Word to break the spell: ");

std::string totals(int entered, int correct) {
  return onlcr("\n\tThe Number of Words Entered: " + std::to_string(entered) +
               "\n\n\tThe Number of Magic Words  : " + std::to_string(correct));
}

std::string magic_line(const std::string& word) { return onlcr("\n\t-" + word + " is a magic word!"); }

// What the terminal echoes for a typed line, Enter included.
std::string echo(const std::string& line) { return line + "\r\n"; }

class Game : public testing::Test {
 protected:
  void SetUp() override { expect(kFirstMenu); }

  // The next bytes the game writes are exactly `bytes`.
  void expect(const std::string& bytes) { EXPECT_EQ(game.read(bytes.size()), bytes); }

  void press(const std::string& keys, const std::string& then) {
    game.type(keys);
    expect(then);
  }

  // Quits from the menu: the clear, then nothing; exit status 0, and the
  // terminal's modes as they were before the game started.
  void quit() {
    press("4", kClear);
    EXPECT_EQ(game.read_to_end(), "");
    const int status = game.wait();
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0);
    expect_modes_as_before();
  }

  void expect_modes_as_before() {
    const termios now = game.modes();
    const termios& before = game.initial_modes();
    EXPECT_EQ(now.c_lflag, before.c_lflag);
    EXPECT_EQ(now.c_iflag, before.c_iflag);
    EXPECT_EQ(now.c_oflag, before.c_oflag);
    EXPECT_EQ(now.c_cc[VMIN], before.c_cc[VMIN]);
    EXPECT_EQ(now.c_cc[VTIME], before.c_cc[VTIME]);
  }

  PtySession game{ZARVENHOLD_EXE};
};

TEST_F(Game, RefusedKeysRedrawTheMenuWithoutItsLeadingLine) {
  press("x", kMenuAgain);
  press("\x03", kMenuAgain);   // Ctrl+C is a key here, code 3
  press("\r", kMenuAgain);
  press("\x1b", kMenuAgain);   // a lone Esc, decided after its short wait
  press("5", kMenuAgain);
  quit();
}

TEST_F(Game, TwoCodeKeysAreTwoKeys) {
  // At the menu an arrow gives 0, then its second code: two refused keys.
  press("\x1b[A", kMenuAgain + kMenuAgain);
  // At a screen's wait the 0 ends the screen; the menu then gets the second
  // code at once and is drawn again.
  press("1", kClear + kReadMe);
  press("\x1b[6~", kMenuAfterScreen + kMenuAgain);
  EXPECT_EQ(game.read_for(150), "");  // and then it waits
  quit();
}

TEST_F(Game, ReadMeAndTotalsScreens) {
  press("1", kClear + kReadMe);
  press(" ", kMenuAfterScreen);
  press("3", kClear + totals(0, 0));
  press("\r", kMenuAfterScreen);
  quit();
}

TEST_F(Game, WordsOfEachVerdictAreCounted) {
  press("2", kClear + kPrompt);
  press("Aba\r", echo("Aba") + magic_line("Aba"));
  press("x", kMenuAfterScreen);
  press("2", kClear + kPrompt);
  press("abc\r", echo("abc") + onlcr(verdict("abc")));
  press("x", kMenuAfterScreen);
  press("2", kClear + kPrompt);
  press("  ABA  \r", echo("  ABA  ") + onlcr(verdict("ABA")));
  press("x", kMenuAfterScreen);
  press("3", kClear + totals(3, 1));
  press("x", kMenuAfterScreen);
  quit();
}

TEST_F(Game, RestOfATypedLineIsTheNextWord) {
  press("2", kClear + kPrompt);
  press("Aba Dad\r", echo("Aba Dad") + magic_line("Aba"));
  // The screen's wait takes a key of its own, not the rest of the line.
  press("x", kMenuAfterScreen);
  // The next word is tested at once, without typing.
  press("2", kClear + kPrompt + onlcr(verdict("Dad")));
  press("x", kMenuAfterScreen);
  // The line is used up: now the word read waits for typing.
  press("2", kClear + kPrompt);
  EXPECT_EQ(game.read_for(150), "");
  press("Xyx\r", echo("Xyx") + magic_line("Xyx"));
  press("x", kMenuAfterScreen);
  press("3", kClear + totals(3, 2));
  press("x", kMenuAfterScreen);
  quit();
}

TEST_F(Game, LongWordIsHeldWhole) {
  const std::string word = "A" + std::string(40, 'b') + "Cca";  // 44 characters
  const std::string magic = "Q" + std::string(39, 'z') + "q";   // 41 characters
  press("2", kClear + kPrompt);
  press(word + "\r", echo(word) + onlcr(verdict(word)));
  press("x", kMenuAfterScreen);
  press("2", kClear + kPrompt);
  EXPECT_EQ(game.read_for(150), "");  // nothing of the long word was left over
  press(magic + "\r", echo(magic) + magic_line(magic));
  press("x", kMenuAfterScreen);
  press("3", kClear + totals(2, 1));
  press("x", kMenuAfterScreen);
  quit();
}

TEST_F(Game, EndOfInputIsAnEmptyWordAndNotFinal) {
  press("2", kClear + kPrompt);
  press("\x04", onlcr(verdict("")));  // Ctrl+D: the empty word
  press("x", kMenuAfterScreen);
  press("2", kClear + kPrompt);
  EXPECT_EQ(game.read_for(150), "");  // waits for typing again
  press("Aba\r", echo("Aba") + magic_line("Aba"));
  press("x", kMenuAfterScreen);
  press("3", kClear + totals(2, 1));
  press("x", kMenuAfterScreen);
  quit();
}

TEST_F(Game, CtrlCWhileTypingAWordEndsTheGame) {
  press("2", kClear + kPrompt);
  game.type("Ab\x03");
  const int status = game.wait();
  ASSERT_TRUE(WIFSIGNALED(status)) << status;
  EXPECT_EQ(WTERMSIG(status), SIGINT);
  expect_modes_as_before();
}

TEST(GameWithoutTerminal, ShowsTheMenuThenSaysWhyAndEnds) {
  FILE* game = popen(ZARVENHOLD_EXE " </dev/null 2>&1", "r");
  ASSERT_NE(game, nullptr);
  std::string out;
  char buf[4096];
  for (std::size_t n; (n = fread(buf, 1, sizeof buf, game)) > 0;) out.append(buf, n);
  const int status = pclose(game);
  // Not a terminal: no clear, no "\r" added; the menu, then the reason.
  std::string menu = "\n" + kMenu;
  for (std::size_t at; (at = menu.find('\r')) != std::string::npos;) menu.erase(at, 1);
  EXPECT_EQ(out, menu + "zarvenhold: no terminal to read keys from\n");
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
}

}  // namespace
