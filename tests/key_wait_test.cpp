// The key wait in a real pseudo-terminal: signals, hang-ups, typing ahead,
// sequences that arrive in pieces, and keys that are no key.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <csignal>
#include <string>
#include <thread>

#include "game_session.h"
#include "screens.h"

namespace {

using namespace screens;

bool in_key_mode(const termios& t) { return (t.c_lflag & (ICANON | ECHO | ISIG)) == 0; }

// The modes change in the program's own time: wait for them a little.
bool key_mode_within(const PtySession& pty, bool wanted) {
  for (int i = 0; i < 500; ++i) {
    if (in_key_mode(pty.modes()) == wanted) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return false;
}

TEST(KeyWaitSignals, EndingSignalRestoresTheModesThenEndsTheGame) {
  for (const int sig : {SIGTERM, SIGHUP, SIGINT, SIGQUIT}) {
    SCOPED_TRACE(strsignal(sig));
    GameSession game;
    ASSERT_TRUE(in_key_mode(game.pty.modes()));
    kill(game.pty.pid(), sig);
    const int status = game.pty.wait();
    ASSERT_TRUE(WIFSIGNALED(status)) << status;
    EXPECT_EQ(WTERMSIG(status), sig);
    game.expect_modes_as_before();
  }
}

TEST(KeyWaitSignals, StopRestoresTheModesAndContinueTakesKeysAgain) {
  PtySession::Options options;
  options.own_session = false;  // a process group that a stop really stops
  GameSession game(options);
  kill(game.pty.pid(), SIGTSTP);
  const int status = game.pty.wait(5000, true);
  ASSERT_TRUE(WIFSTOPPED(status)) << status;
  game.expect_modes_as_before();

  kill(game.pty.pid(), SIGCONT);
  game.expect(kClear + kFirstMenu);  // the screen, drawn again over the shell's lines
  ASSERT_TRUE(in_key_mode(game.pty.modes()));
  game.press("x", kMenuAgain);  // taken at once, not echoed
  game.quit();
}

TEST(KeyWaitSignals, StopSignalTheKernelDropsLeavesTheWaitInKeyMode) {
  // The game leads its own session, so its process group is orphaned and
  // the kernel does not stop it.
  GameSession game;
  kill(game.pty.pid(), SIGTSTP);
  kill(game.pty.pid(), SIGCONT);  // a continue that stopped nothing
  game.expect(kClear + kFirstMenu);
  ASSERT_TRUE(in_key_mode(game.pty.modes()));
  game.press("1", kClear + kReadMe);
  kill(game.pty.pid(), SIGCONT);  // the screen drawn again is the current one
  game.expect(kClear + kReadMe);
  game.back_to_menu();
  game.quit();
}

TEST(KeyWaitHangUp, ClosedTerminalEndsTheGame) {
  {
    GameSession game;
    game.pty.hang_up();
    const int status = game.pty.wait(1000);
    ASSERT_TRUE(WIFSIGNALED(status)) << status;
    EXPECT_EQ(WTERMSIG(status), SIGHUP);
  }
  {
    PtySession::Options options;
    options.ignore_hangup = true;
    GameSession game(options);
    game.pty.hang_up();
    const int status = game.pty.wait(1000);  // the read fails: no terminal
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 1);
  }
}

TEST(KeyWaitTypingAhead, BurstPlaysOutAsIfTypedSlowly) {
  GameSession game;
  game.pty.type("2Aba\rx3x4");
  game.expect(kClear + kPrompt + echo("Aba") + magic_line("Aba") + kMenuAfterScreen + kClear +
              totals(1, 1) + kMenuAfterScreen + kClear);
  EXPECT_EQ(game.pty.read_to_end(), "");
  const int status = game.pty.wait();
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);
  game.expect_modes_as_before();
}

TEST(KeyWaitSequences, SequenceArrivingInPiecesIsOneKey) {
  GameSession game;
  for (const char* piece : {"\x1b", "[1", ";", "5", "A"}) {  // Ctrl+Up
    game.pty.type(piece);
    std::this_thread::sleep_for(std::chrono::milliseconds(8));
  }
  // 0 and 141: two refused keys, and not Esc, '[', '1' (Read Me) ...
  game.expect(kMenuAgain + kMenuAgain);
  EXPECT_EQ(game.pty.read_for(150), "");
  game.quit();
}

TEST(KeyWaitSequences, UnknownSequencesGiveNoKey) {
  GameSession game;
  game.pty.type("\x1b[<0;12;3M");  // mouse report: its digits are no choice
  game.pty.type("\x1b[I");         // focus in
  game.pty.type("\x1b[200~");      // paste mark
  EXPECT_EQ(game.pty.read_for(150), "");
  // A mouse release, then 1: the key after the report is taken.
  game.press("\x1b[<0;2;1m1", kClear + kReadMe);
  game.back_to_menu();
  game.quit();
}

TEST(KeyWaitSequences, LoneEscIsAKey) {
  GameSession game;
  game.press("\x1b", kMenuAgain);
  game.press("2", kClear + kPrompt);
  game.press("Aba\r", echo("Aba") + magic_line("Aba"));
  game.press("\x1b", kMenuAfterScreen);
  game.quit();
}

TEST(KeyWaitSequences, MultiByteCharacterIsOneKeyPress) {
  GameSession game;
  game.press("1", kClear + kReadMe);
  game.press("\xc3\xa9", kMenuAfterScreen);  // é
  EXPECT_EQ(game.pty.read_for(150), "");     // no stray byte reached the menu
  game.press("3", kClear + totals(0, 0));
  game.press("\xe2\x82\xac", kMenuAfterScreen);  // €
  EXPECT_EQ(game.pty.read_for(150), "");
  game.quit();
}

TEST(KeyCodes, PrintsEachCodeUntilQ) {
  PtySession viewer(KEYCODES_EXE);
  const std::string hint = onlcr("Press keys to see their codes; q quits.\n");
  EXPECT_EQ(viewer.read(hint.size()), hint);
  ASSERT_TRUE(key_mode_within(viewer, true));
  viewer.type("a\x1b[A\x03\xc3\xa9\x1b[<0;1;1M\x1bqq");  // ..., Alt+q, q
  EXPECT_EQ(viewer.read_to_end(), onlcr("97\n0\n72\n3\n233\n0\n16\n113\n"));
  const int status = viewer.wait();
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
