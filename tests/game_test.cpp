// The whole game in a real pseudo-terminal: keys typed, exact bytes read back.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "game_session.h"
#include "magic_word.h"
#include "pty_session.h"

namespace {

using namespace screens;

struct Game : testing::Test, GameSession {};

TEST_F(Game, RefusedKeysRedrawTheMenuWithoutItsLeadingLine) {
  press("x", kMenuAgain);
  press("\x03", kMenuAgain);  // Ctrl+C is a key here, code 3
  press("\r", kMenuAgain);
  press("\x1b", kMenuAgain);  // a lone Esc, decided after its short wait
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
  EXPECT_EQ(pty.read_for(150), "");  // and then it waits
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
  back_to_menu();
  press("2", kClear + kPrompt);
  press("abc\r", echo("abc") + onlcr(verdict("abc")));
  back_to_menu();
  press("2", kClear + kPrompt);
  press("  ABA  \r", echo("  ABA  ") + onlcr(verdict("ABA")));
  back_to_menu();
  press("3", kClear + totals(3, 1));
  back_to_menu();
  quit();
}

TEST_F(Game, RestOfATypedLineIsTheNextWord) {
  press("2", kClear + kPrompt);
  press("Aba Dad\r", echo("Aba Dad") + magic_line("Aba"));
  // The screen's wait takes a key of its own, not the rest of the line.
  back_to_menu();
  // The next word is tested at once, without typing.
  press("2", kClear + kPrompt + onlcr(verdict("Dad")));
  back_to_menu();
  // The line is used up: now the word read waits for typing.
  press("2", kClear + kPrompt);
  EXPECT_EQ(pty.read_for(150), "");
  press("Xyx\r", echo("Xyx") + magic_line("Xyx"));
  back_to_menu();
  press("3", kClear + totals(3, 2));
  back_to_menu();
  quit();
}

TEST_F(Game, LongWordIsHeldWhole) {
  const std::string word = "A" + std::string(40, 'b') + "Cca";  // 44 characters
  const std::string magic = "Q" + std::string(39, 'z') + "q";   // 41 characters
  press("2", kClear + kPrompt);
  press(word + "\r", echo(word) + onlcr(verdict(word)));
  back_to_menu();
  press("2", kClear + kPrompt);
  EXPECT_EQ(pty.read_for(150), "");  // nothing of the long word was left over
  press(magic + "\r", echo(magic) + magic_line(magic));
  back_to_menu();
  press("3", kClear + totals(2, 1));
  back_to_menu();
  quit();
}

TEST_F(Game, EndOfInputIsAnEmptyWordAndNotFinal) {
  press("2", kClear + kPrompt);
  press("\x04", onlcr(verdict("")));  // Ctrl+D: the empty word
  back_to_menu();
  press("2", kClear + kPrompt);
  EXPECT_EQ(pty.read_for(150), "");  // waits for typing again
  press("Aba\r", echo("Aba") + magic_line("Aba"));
  back_to_menu();
  press("3", kClear + totals(2, 1));
  back_to_menu();
  quit();
}

TEST_F(Game, CtrlCWhileTypingAWordEndsTheGame) {
  press("2", kClear + kPrompt);
  pty.type("Ab\x03");
  const int status = pty.wait();
  ASSERT_TRUE(WIFSIGNALED(status)) << status;
  EXPECT_EQ(WTERMSIG(status), SIGINT);
  expect_modes_as_before();
}

TEST(GameWithoutTerminal, ShowsTheMenuThenSaysWhyAndEnds) {
  FILE* game = popen((game_program() + " </dev/null 2>&1").c_str(), "r");
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
