// The terminal's key mode, for the length of one key wait.
#pragma once

#include <termios.h>

#include <csignal>

// While a RawMode is active, standard input's terminal hands over every key
// at once, without echo, and with Ctrl+C, Ctrl+Z, Ctrl+S and Enter as plain
// bytes. The signals that would end or stop the program are held for the
// length of the wait and taken in wait(): the previous modes come back
// first, then the signal has its default effect; when the program is
// continued, the key mode returns. Outside the wait nothing is held, and the
// signals have their default effects.
// The previous modes come back exactly once: by restore() or at the end of
// the scope, whichever is first.
class RawMode {
 public:
  RawMode();
  ~RawMode();
  RawMode(const RawMode&) = delete;
  RawMode& operator=(const RawMode&) = delete;

  // False when standard input is no terminal or refused the key mode.
  bool active() const { return active_; }

  enum class Ready {
    kInput,      // standard input can be read (or reports its end)
    kTimeout,    // the time is up
    kGone,       // standard input cannot be waited for
    kContinued,  // the program was continued: the screen may need drawing again
  };

  // Waits, blocked, until standard input can be read, for at most
  // `timeout_ms` milliseconds (-1: as long as it takes).
  Ready wait(int timeout_ms);

  // Puts the previous modes back; false if the terminal refused them.
  bool restore();

 private:
  bool take_signals();
  void stop_holding();

  struct termios saved_ {};
  struct termios raw_ {};
  sigset_t mask_before_{};
  bool holding_ = false;
  bool active_ = false;
};
