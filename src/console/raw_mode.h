// The terminal's key mode, for the length of one key wait.
#pragma once

// While a RawMode is active, standard input's terminal hands over every key
// at once, without echo, and with Ctrl+C, Ctrl+Z, Ctrl+S and Enter as plain
// bytes. Signals that would end or stop the program first put the previous
// modes back; when the program is continued, the key mode returns.
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

  // Puts the previous modes back; false if the terminal refused them.
  bool restore();

 private:
  bool active_ = false;
};
