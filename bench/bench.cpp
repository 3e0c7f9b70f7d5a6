// Times the game in a pseudo-terminal, side by side with the floor: a
// minimal program that shows the same menu with nothing in between.
//
//   zarvenhold_bench [rounds]
//
// Prints startup to the complete first menu, key to the complete next
// screen, the time a lone Esc takes to be decided, write calls per screen,
// CPU time used while waiting for a key, and peak memory.
#include <sched.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "pty_session.h"
#include "screens.h"

namespace {

using Clock = std::chrono::steady_clock;
using screens::kClear;
using screens::kFirstMenu;
using screens::kMenuAgain;

double micros(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// A field of /proc/PID/<file>: the number after `key`, or the first number.
long long proc_number(pid_t pid, const std::string& file, const std::string& key = "") {
  std::ifstream in("/proc/" + std::to_string(pid) + "/" + file);
  std::string line;
  while (std::getline(in, line)) {
    if (!key.empty() && line.rfind(key, 0) != 0) continue;
    std::istringstream fields(key.empty() ? line : line.substr(key.size()));
    long long value = -1;
    fields >> value;
    return value;
  }
  return -1;
}

long long write_calls(pid_t pid) { return proc_number(pid, "io", "syscw:"); }
long long cpu_ns(pid_t pid) { return proc_number(pid, "schedstat"); }
long long peak_kib(pid_t pid) { return proc_number(pid, "status", "VmHWM:"); }

// The benchmark runs on CPU 0 and the programs on CPU 1, so that every key
// takes the same way from one to the other, for the game as for the floor,
// whatever the scheduler would otherwise choose.
PtySession::Options on_other_cpu(const std::string& argument = "") {
  PtySession::Options options;
  options.cpu = 1;
  options.argument = argument;
  return options;
}

void pin_to_first_cpu() {
  cpu_set_t one;
  CPU_ZERO(&one);
  CPU_SET(0, &one);
  sched_setaffinity(0, sizeof one, &one);
}

void fail(const char* what) {
  std::fprintf(stderr, "zarvenhold_bench: %s\n", what);
  std::exit(1);
}

void expect(PtySession& s, const std::string& bytes) {
  if (s.read(bytes.size()) != bytes) fail("a program wrote other bytes than the game's screen");
}

void quit(PtySession& s) {
  s.type("4");
  expect(s, kClear);
  s.read_to_end();
  s.wait();
}

struct Program {
  explicit Program(std::string program, std::string arg = "")
      : path(std::move(program)), argument(std::move(arg)) {}
  std::string path;
  std::string argument;
  std::vector<double> startup_us, key_us;
  double writes_per_screen = 0, first_screen_writes = 0;
  long long wait_cpu_ns = 0, peak = 0;
};

void time_startup(Program& p) {
  const auto start = Clock::now();
  PtySession s(p.path, on_other_cpu(p.argument));
  expect(s, kFirstMenu);
  p.startup_us.push_back(micros(Clock::now() - start));
  quit(s);
}

void time_key(Program& p, PtySession& s) {
  const auto start = Clock::now();
  s.type("x");
  expect(s, kMenuAgain);
  p.key_us.push_back(micros(Clock::now() - start));
}

// Write calls, waiting CPU and peak memory of one run with `screens` keys.
void count(Program& p, int screens) {
  PtySession s(p.path, on_other_cpu(p.argument));
  expect(s, kFirstMenu);
  p.first_screen_writes = static_cast<double>(write_calls(s.pid()));
  const long long before = write_calls(s.pid());
  for (int i = 0; i < screens; ++i) {
    s.type("x");
    expect(s, kMenuAgain);
  }
  p.writes_per_screen = static_cast<double>(write_calls(s.pid()) - before) / screens;
  const long long cpu_before = cpu_ns(s.pid());
  std::this_thread::sleep_for(std::chrono::seconds(1));
  p.wait_cpu_ns = cpu_ns(s.pid()) - cpu_before;
  p.peak = peak_kib(s.pid());
  quit(s);
}

std::vector<double> time_lone_esc(const std::string& game, int rounds) {
  std::vector<double> us;
  PtySession s(game, on_other_cpu());
  expect(s, kFirstMenu);
  for (int i = 0; i < rounds; ++i) {
    const auto start = Clock::now();
    s.type("\x1b");
    expect(s, kMenuAgain);
    us.push_back(micros(Clock::now() - start));
  }
  quit(s);
  return us;
}

const char* verdict(bool met) { return met ? "met" : "MISSED"; }

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
  pin_to_first_cpu();
  Program game(ZARVENHOLD_EXE);
  Program floor(FLOOR_EXE);
  Program floor_modes(FLOOR_EXE, "modes");

  // Alternate the two, so that both see the same machine.
  for (int i = 0; i < rounds; ++i) {
    time_startup(game);
    time_startup(floor);
  }
  {
    PtySession g(game.path, on_other_cpu());
    PtySession f(floor.path, on_other_cpu());
    PtySession m(floor_modes.path, on_other_cpu(floor_modes.argument));
    expect(g, kFirstMenu);
    expect(f, kFirstMenu);
    expect(m, kFirstMenu);
    for (int i = 0; i < rounds * 3; ++i) {
      time_key(game, g);
      time_key(floor, f);
      time_key(floor_modes, m);
    }
    quit(g);
    quit(f);
    quit(m);
  }
  count(game, 100);
  count(floor, 100);
  const double esc_us = median(time_lone_esc(game.path, 20));

  const double startup_ratio = median(game.startup_us) / median(floor.startup_us);
  const double key_ratio = median(game.key_us) / median(floor.key_us);
  std::printf("%-34s %12s %12s %8s  %s\n", "figure (median)", "zarvenhold", "floor", "ratio",
              "goal");
  std::printf("%-34s %10.0f us %10.0f us %7.2fx  within 1.1x: %s\n", "startup to complete menu",
              median(game.startup_us), median(floor.startup_us), startup_ratio,
              verdict(startup_ratio <= 1.1));
  std::printf("%-34s %10.0f us %10.0f us %7.2fx  within 1.3x: %s\n", "key to complete screen",
              median(game.key_us), median(floor.key_us), key_ratio, verdict(key_ratio <= 1.3));
  std::printf("%-34s %10.0f us %10.0f us %7.2fx  (the floor switching modes per key)\n",
              "key to complete screen", median(game.key_us), median(floor_modes.key_us),
              median(game.key_us) / median(floor_modes.key_us));
  std::printf("%-34s %10.1f ms %12s %8s  within 50 ms: %s\n", "lone Esc decided (and redrawn)",
              esc_us / 1000, "-", "", verdict(esc_us <= 50000));
  std::printf("%-34s %12.2f %12.2f %8s  exactly 1: %s\n", "write calls per screen",
              game.writes_per_screen, floor.writes_per_screen, "",
              verdict(game.writes_per_screen == 1 && game.first_screen_writes == 1));
  std::printf("%-34s %9lld ns %9lld ns %8s  none: %s\n", "CPU while waiting 1 s for a key",
              game.wait_cpu_ns, floor.wait_cpu_ns, "", verdict(game.wait_cpu_ns == 0));
  std::printf("%-34s %9lld KiB %8lld KiB %7.2fx\n", "peak memory (VmHWM)", game.peak, floor.peak,
              static_cast<double>(game.peak) / static_cast<double>(floor.peak));
  std::printf("(%d startups and %d keys each)\n", rounds, rounds * 3);
  return 0;
}
