#include "raw_mode.h"

#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace {

// Shared with the signal handlers, which may only make async-signal-safe
// calls: they read these and call tcsetattr, signal, raise and sigprocmask.
struct termios g_saved;
struct termios g_raw;
volatile std::sig_atomic_t g_raw_on = 0;

// Signals whose default effect ends the program, then the stop and continue
// pair. Each gets a handler only for the length of a key wait, and only where
// it had its default effect (an ignored signal stays ignored).
constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT, SIGQUIT, SIGTSTP, SIGCONT};
constexpr int kSignalCount = sizeof kSignals / sizeof kSignals[0];
struct sigaction g_previous[kSignalCount];
bool g_installed[kSignalCount];

int set_modes(const struct termios& modes) {
  int r;
  do {
    r = tcsetattr(STDIN_FILENO, TCSANOW, &modes);
  } while (r == -1 && errno == EINTR);
  return r;
}

void on_end(int sig) {
  const int saved_errno = errno;
  tcsetattr(STDIN_FILENO, TCSANOW, &g_saved);
  signal(sig, SIG_DFL);
  raise(sig);  // blocked until the handler returns, then takes its default effect
  errno = saved_errno;
}

void on_continue(int) {
  const int saved_errno = errno;
  if (g_raw_on) tcsetattr(STDIN_FILENO, TCSANOW, &g_raw);
  errno = saved_errno;
}

void install(int sig, void (*handler)(int)) {
  struct sigaction sa {};
  sa.sa_handler = handler;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  sigaction(sig, &sa, nullptr);
}

void on_stop(int) {
  const int saved_errno = errno;
  tcsetattr(STDIN_FILENO, TCSANOW, &g_saved);
  signal(SIGTSTP, SIG_DFL);
  raise(SIGTSTP);
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGTSTP);
  sigprocmask(SIG_UNBLOCK, &stop, nullptr);  // the process stops here
  // Continued, or never stopped (the kernel drops a stop signal sent to an
  // orphaned process group): either way the key wait goes on in key mode.
  install(SIGTSTP, on_stop);
  if (g_raw_on) tcsetattr(STDIN_FILENO, TCSANOW, &g_raw);
  errno = saved_errno;
}

void install_handlers() {
  for (int i = 0; i < kSignalCount; ++i) {
    const int sig = kSignals[i];
    g_installed[i] =
        sigaction(sig, nullptr, &g_previous[i]) == 0 && g_previous[i].sa_handler == SIG_DFL;
    if (!g_installed[i]) continue;
    install(sig, sig == SIGTSTP ? on_stop : sig == SIGCONT ? on_continue : on_end);
  }
}

void remove_handlers() {
  for (int i = 0; i < kSignalCount; ++i) {
    if (g_installed[i]) sigaction(kSignals[i], &g_previous[i], nullptr);
    g_installed[i] = false;
  }
}

}  // namespace

RawMode::RawMode() {
  if (tcgetattr(STDIN_FILENO, &g_saved) == -1) return;
  g_raw = g_saved;
  g_raw.c_iflag &= ~static_cast<tcflag_t>(ICRNL | INLCR | IGNCR | IXON | ISTRIP);
  g_raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG | IEXTEN);
  g_raw.c_cc[VMIN] = 1;
  g_raw.c_cc[VTIME] = 0;
  // Output processing stays on: the screen is written during the wait.
  install_handlers();
  g_raw_on = 1;
  if (set_modes(g_raw) == -1) {
    g_raw_on = 0;
    remove_handlers();
    return;
  }
  active_ = true;
}

RawMode::~RawMode() { restore(); }

bool RawMode::restore() {
  if (!active_) return true;
  active_ = false;
  g_raw_on = 0;
  const bool restored = set_modes(g_saved) == 0;
  remove_handlers();
  return restored;
}
