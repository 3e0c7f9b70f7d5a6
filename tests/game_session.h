// The game in a pseudo-terminal, with the steps of a scripted player.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "pty_session.h"
#include "screens.h"

// The game under test: this build's, or the one ZARVENHOLD_UNDER_TEST names
// (CI points it at the program unpacked from the Debian package).
inline std::string game_program() {
  const char* path = std::getenv("ZARVENHOLD_UNDER_TEST");
  return path != nullptr && *path != '\0' ? path : ZARVENHOLD_EXE;
}

// Starts the game and reads its first menu.
class GameSession {
 public:
  explicit GameSession(const PtySession::Options& options = {}) : pty(game_program(), options) {
    expect(screens::kFirstMenu);
  }

  // The next bytes the game writes are exactly `bytes`.
  void expect(const std::string& bytes) { EXPECT_EQ(pty.read(bytes.size()), bytes); }

  void press(const std::string& keys, const std::string& then) {
    pty.type(keys);
    expect(then);
  }

  // Any key ends a screen and brings the menu back.
  void back_to_menu() { press("x", screens::kMenuAfterScreen); }

  // Quits from the menu: the clear, then nothing; exit status 0, and the
  // terminal's modes as they were before the game started.
  void quit() {
    press("4", screens::kClear);
    EXPECT_EQ(pty.read_to_end(), "");
    const int status = pty.wait();
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0);
    expect_modes_as_before();
  }

  void expect_modes_as_before() const {
    const termios now = pty.modes();
    const termios& before = pty.initial_modes();
    EXPECT_EQ(now.c_lflag, before.c_lflag);
    EXPECT_EQ(now.c_iflag, before.c_iflag);
    EXPECT_EQ(now.c_oflag, before.c_oflag);
    EXPECT_EQ(now.c_cc[VMIN], before.c_cc[VMIN]);
    EXPECT_EQ(now.c_cc[VTIME], before.c_cc[VTIME]);
  }

  PtySession pty;
};
