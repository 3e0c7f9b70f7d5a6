// A program run in a real pseudo-terminal, driven like a user at a keyboard.
#pragma once

#include <sys/types.h>
#include <termios.h>

#include <string>
#include <string_view>

class PtySession {
 public:
  struct Options {
    // The program leads a session of its own whose controlling terminal is
    // the pseudo-terminal, as a login shell's child does. Without it, it
    // runs in a process group of its own in the test's session: the group is
    // not orphaned, so a stop signal really stops it.
    bool own_session = true;
    bool ignore_hangup = false;  // starts with SIGHUP ignored, as under nohup
    int cpu = -1;                // runs on this CPU alone, if not -1
    std::string argument;        // passed to the program, if not empty
  };

  // Starts `program` on a new pseudo-terminal in its ordinary line mode;
  // 80 columns by 24 rows.
  explicit PtySession(const std::string& program) : PtySession(program, Options{}) {}
  PtySession(const std::string& program, const Options& options);
  ~PtySession();
  PtySession(const PtySession&) = delete;
  PtySession& operator=(const PtySession&) = delete;

  // Types `bytes`, all in one write.
  void type(std::string_view bytes);

  // Reads exactly `n` bytes of what the program wrote, or less if it stays
  // silent for `timeout_ms`.
  std::string read(std::size_t n, int timeout_ms = 5000);

  // Reads what the program writes until it has closed the terminal.
  std::string read_to_end(int timeout_ms = 5000);

  // Reads what arrives within `ms`, for checking that nothing does.
  std::string read_for(int ms);

  // Waits for the program to end or stop; returns waitpid's status, or -1
  // after `timeout_ms`.
  int wait(int timeout_ms = 5000, bool stopped_too = false);

  // The terminal's modes now, and as they were before the program started.
  termios modes() const;
  const termios& initial_modes() const { return initial_modes_; }

  // Closes the terminal's master side, as closing a terminal window does.
  void hang_up();

  pid_t pid() const { return pid_; }

 private:
  int master_ = -1;
  pid_t pid_ = -1;
  bool reaped_ = false;
  termios initial_modes_{};
};

// Text as a terminal in its ordinary modes shows it: each "\n" as "\r\n".
std::string onlcr(std::string_view text);
