#include "pty_session.h"

#include <poll.h>
#include <pty.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utmp.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <stdexcept>
#include <thread>

PtySession::PtySession(const std::string& program, const Options& options) {
  winsize size{};
  size.ws_row = 24;
  size.ws_col = 80;
  int slave = -1;
  if (openpty(&master_, &slave, nullptr, nullptr, &size) == -1)
    throw std::runtime_error("openpty failed");
  tcgetattr(slave, &initial_modes_);
  pid_ = fork();
  if (pid_ == -1) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    close(master_);
    if (options.own_session) {
      if (login_tty(slave) == -1) _exit(126);
    } else {
      setpgid(0, 0);
      for (int fd = 0; fd < 3; ++fd) dup2(slave, fd);
      close(slave);
    }
    const rlimit no_core{0, 0};
    setrlimit(RLIMIT_CORE, &no_core);  // SIGQUIT would leave a core file
    if (options.ignore_hangup) signal(SIGHUP, SIG_IGN);
    if (options.cpu >= 0) {
      cpu_set_t one;
      CPU_ZERO(&one);
      CPU_SET(options.cpu, &one);
      sched_setaffinity(0, sizeof one, &one);
    }
    const char* argument = options.argument.empty() ? nullptr : options.argument.c_str();
    execl(program.c_str(), program.c_str(), argument, static_cast<char*>(nullptr));
    _exit(127);
  }
  close(slave);
}

PtySession::~PtySession() {
  if (!reaped_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (master_ != -1) close(master_);
}

void PtySession::type(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(master_, bytes.data(), bytes.size());
    if (n <= 0) {
      if (n == -1 && errno == EINTR) continue;
      throw std::runtime_error("typing into the terminal failed");
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

std::string PtySession::read(std::size_t n, int timeout_ms) {
  std::string got;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (got.size() < n && master_ != -1) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd p{master_, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
    char buf[4096];
    const ssize_t r = ::read(master_, buf, std::min(sizeof buf, n - got.size()));
    if (r <= 0) break;  // EIO: the program has closed the terminal
    got.append(buf, static_cast<std::size_t>(r));
  }
  return got;
}

std::string PtySession::read_to_end(int timeout_ms) {
  return read(static_cast<std::size_t>(-1) / 2, timeout_ms);
}

std::string PtySession::read_for(int ms) { return read(static_cast<std::size_t>(-1) / 2, ms); }

int PtySession::wait(int timeout_ms, bool stopped_too) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    int status = 0;
    const pid_t r = waitpid(pid_, &status, WNOHANG | (stopped_too ? WUNTRACED : 0));
    if (r == pid_) {
      if (!WIFSTOPPED(status)) reaped_ = true;
      return status;
    }
    if (std::chrono::steady_clock::now() > deadline) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

termios PtySession::modes() const {
  termios t{};
  tcgetattr(master_, &t);
  return t;
}

void PtySession::hang_up() {
  close(master_);
  master_ = -1;
}

std::string onlcr(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}
