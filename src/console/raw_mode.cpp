#include "raw_mode.h"

#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

namespace {

// The signals whose default effect ends or stops the program, and SIGCONT,
// after which the key mode is set again.
constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT, SIGQUIT, SIGTSTP, SIGCONT};

// The signals held during a wait, and the descriptor that reports them. Only
// those with their default effect when the first wait begins are held (an
// ignored signal stays ignored); nothing changes that outside a wait.
struct Held {
  sigset_t set;
  int fd;
};

const Held& held() {
  static const Held kHeld = [] {
    Held h{};
    sigemptyset(&h.set);
    for (const int sig : kSignals) {
      struct sigaction now {};
      if (sigaction(sig, nullptr, &now) == 0 && now.sa_handler == SIG_DFL) sigaddset(&h.set, sig);
    }
    h.fd = signalfd(-1, &h.set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (h.fd == -1) sigemptyset(&h.set);  // nothing would report them: hold none
    return h;
  }();
  return kHeld;
}

int set_modes(const struct termios& modes) {
  int r;
  do {
    r = tcsetattr(STDIN_FILENO, TCSANOW, &modes);
  } while (r == -1 && errno == EINTR);
  return r;
}

long elapsed_ms(const timespec& since) {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return (now.tv_sec - since.tv_sec) * 1000 + (now.tv_nsec - since.tv_nsec) / 1000000;
}

}  // namespace

RawMode::RawMode() {
  holding_ = sigprocmask(SIG_BLOCK, &held().set, &mask_before_) == 0;
  if (tcgetattr(STDIN_FILENO, &saved_) == 0) {
    raw_ = saved_;
    raw_.c_iflag &= ~static_cast<tcflag_t>(ICRNL | INLCR | IGNCR | IXON | ISTRIP);
    raw_.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG | IEXTEN);
    raw_.c_cc[VMIN] = 1;
    raw_.c_cc[VTIME] = 0;
    // Output processing stays on: the screen is written during the wait.
    active_ = set_modes(raw_) == 0;
  }
  if (!active_) stop_holding();
}

RawMode::~RawMode() { restore(); }

bool RawMode::restore() {
  if (!active_) return true;
  active_ = false;
  const bool restored = set_modes(saved_) == 0;
  stop_holding();  // a signal held until now takes its default effect here
  return restored;
}

void RawMode::stop_holding() {
  if (holding_) sigprocmask(SIG_SETMASK, &mask_before_, nullptr);
  holding_ = false;
}

RawMode::Ready RawMode::wait(int timeout_ms) {
  timespec start{};
  if (timeout_ms > 0) clock_gettime(CLOCK_MONOTONIC, &start);
  for (int left = timeout_ms;;) {
    pollfd fds[] = {{STDIN_FILENO, POLLIN, 0}, {held().fd, POLLIN, 0}};
    const int ready = poll(fds, held().fd == -1 ? 1 : 2, left);
    if (ready == 0) return Ready::kTimeout;
    if (ready == -1 && errno != EINTR) return Ready::kGone;
    if (ready > 0 && (fds[1].revents & POLLIN) != 0 && take_signals()) return Ready::kContinued;
    if (ready > 0 && fds[0].revents != 0)
      return Ready::kInput;  // data, or a hang-up the read reports
    if (timeout_ms > 0) left = static_cast<int>(std::max(0L, timeout_ms - elapsed_ms(start)));
  }
}

// Returns whether the program was continued.
bool RawMode::take_signals() {
  bool continued = false;
  signalfd_siginfo info{};
  while (read(held().fd, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
    const int sig = static_cast<int>(info.ssi_signo);
    if (sig != SIGCONT) {
      // The previous modes first, then the signal's default effect: the
      // program ends here, or stops until it is continued.
      set_modes(saved_);
      sigset_t one;
      sigemptyset(&one);
      sigaddset(&one, sig);
      sigprocmask(SIG_UNBLOCK, &one, nullptr);
      raise(sig);
      sigprocmask(SIG_BLOCK, &one, nullptr);
    }
    // Continued, or the stop was dropped (the kernel drops it for an
    // orphaned process group): the wait goes on in key mode, whatever the
    // shell did to the modes meanwhile.
    set_modes(raw_);
    continued = continued || sig == SIGCONT;
  }
  return continued;
}
