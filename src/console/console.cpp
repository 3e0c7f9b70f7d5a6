// The console facade over POSIX termios and the standard streams.
//
// Output: std::cout writes into one buffer, delivered in one write() before
// every wait and at exit, so a screen and the clear before it arrive whole.
// The only sequence written is the clear: ESC [ H (cursor to the top-left
// cell), ESC [ 2 J (blank the whole screen in the current colours). When the
// game is continued after a stop during a key wait, the clear and the text
// written since the last one go out again.
//
// Input: standard input is read by two parties that never take each other's
// bytes. The word read (std::cin) reads whole lines in the terminal's own
// line mode; the rest of a line after a word stays in std::cin for the next
// word. getch() reads raw bytes in a key wait; any bytes beyond its key, typed
// ahead, wait in `g_typed_ahead` and are taken before the terminal is read
// again: by the next getch(), or, up to their first line end, by the next
// word read.
#include "console.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <iostream>
#include <string>
#include <utility>

#include "key_decoder.h"
#include "raw_mode.h"

namespace {

// Bytes read from the terminal during key waits and not yet taken.
std::string g_typed_ahead;

// The second code of the last two-code key, until getch() hands it over.
int g_second_code = -1;

bool g_output_is_terminal = false;

constexpr std::string_view kClear = "\x1b[H\x1b[2J";

// For a descriptor left in non-blocking mode: waits until it is ready.
void wait_for(int fd, short events) {
  pollfd p{fd, events, 0};
  poll(&p, 1, -1);
}

// read(), going on after a signal or a descriptor that was not ready.
ssize_t read_some(char* buf, std::size_t size) {
  for (;;) {
    const ssize_t n = read(STDIN_FILENO, buf, size);
    if (n != -1 || (errno != EINTR && errno != EAGAIN)) return n;
    if (errno == EAGAIN) wait_for(STDIN_FILENO, POLLIN);
  }
}

// std::cout's buffer: the text of one screen, delivered whole. It keeps what
// it delivered since the last clear, to draw the screen again.
class ScreenBuffer : public std::streambuf {
 public:
  // The text written from now on starts a new screen.
  void begin_screen() { screen_start_ = text_.size(); }

  // Clears the screen and writes its text again.
  void redraw() {
    if (!g_output_is_terminal) return;
    text_.insert(0, shown_).insert(0, kClear);
    screen_start_ = kClear.size();
    deliver();
  }

  void deliver() {
    if (screen_start_ != std::string::npos) {
      shown_.assign(text_, screen_start_);
      screen_start_ = std::string::npos;
    } else if (g_output_is_terminal) {
      shown_ += text_;
    }
    std::size_t done = 0;
    while (done < text_.size()) {
      const ssize_t n = write(STDOUT_FILENO, text_.data() + done, text_.size() - done);
      if (n > 0) {
        done += static_cast<std::size_t>(n);
      } else if (n == -1 && (errno == EAGAIN || errno == EINTR)) {
        wait_for(STDOUT_FILENO, POLLOUT);
      } else {
        break;  // the terminal is gone: nobody is left to read it
      }
    }
    text_.clear();
  }

 protected:
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof()))
      text_.push_back(traits_type::to_char_type(c));
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    text_.append(s, static_cast<std::size_t>(n));
    return n;
  }
  int sync() override {
    deliver();
    return 0;
  }

 private:
  std::string text_;                              // written, not yet delivered
  std::string shown_;                             // delivered since the last clear
  std::size_t screen_start_ = std::string::npos;  // where a new screen starts in text_
};

// Keys typed ahead were not echoed, as echo was off; a word taken from them
// is shown as the terminal would have shown it, control bytes as ^X.
std::string echo_of(std::string_view typed) {
  std::string shown;
  for (const char ch : typed) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\n' || c == '\t' || (c >= 32 && c != 127)) {
      shown += ch;
    } else {
      shown += '^';
      shown += static_cast<char>(c ^ 0x40);
    }
  }
  return shown;
}

// std::cin's buffer: one line at a time from standard input.
class LineInput : public std::streambuf {
 protected:
  int_type underflow() override {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (!next_line()) return traits_type::eof();
    setg(line_.data(), line_.data(), line_.data() + line_.size());
    return traits_type::to_int_type(line_.front());
  }

 private:
  bool next_line() {
    if (!g_typed_ahead.empty()) {
      line_ = take_line(g_typed_ahead);
      if (echoes()) std::cout << echo_of(line_);
      return true;
    }
    char buf[4096];
    const ssize_t n = read_some(buf, sizeof buf);
    if (n <= 0) return false;
    // In line mode a read brings one line. Keys typed during a key wait may
    // come along with it when the line mode returned: they stay for getch().
    g_typed_ahead.assign(buf, static_cast<std::size_t>(n));
    line_ = take_line(g_typed_ahead);
    return true;
  }

  // The first line of `bytes` (up to and with its first line end, or all of
  // them), taken off the front; a CR line end, as a raw Enter sends, becomes LF.
  static std::string take_line(std::string& bytes) {
    const std::size_t end = bytes.find_first_of("\r\n");
    const std::size_t take = end == std::string::npos ? bytes.size() : end + 1;
    std::string line = bytes.substr(0, take);
    bytes.erase(0, take);
    if (line.back() == '\r') line.back() = '\n';
    return line;
  }

  static bool echoes() {
    termios modes;
    return tcgetattr(STDIN_FILENO, &modes) == 0 && (modes.c_lflag & ECHO) != 0;
  }

  std::string line_;
};

// Installed in std::cout and std::cin before main runs, removed at exit
// after the last text is delivered.
struct Console {
  ScreenBuffer out;
  LineInput in;
  std::streambuf* old_out;
  std::streambuf* old_in;

  Console() {
    g_output_is_terminal = isatty(STDOUT_FILENO) == 1;
    old_out = std::cout.rdbuf(&out);
    old_in = std::cin.rdbuf(&in);
  }
  ~Console() {
    out.deliver();
    std::cout.rdbuf(old_out);
    std::cin.rdbuf(old_in);
  }
} g_console;

enum class Got { kBytes, kTimeout, kGone };

// Appends what the terminal has to g_typed_ahead, waiting for it at most
// `timeout_ms` milliseconds (-1: as long as it takes, blocked, using no CPU).
// It takes all the terminal has, keys typed ahead too: they wait in
// g_typed_ahead, where the return to line mode cannot merge them into a line.
Got read_terminal(RawMode& raw, int timeout_ms) {
  RawMode::Ready ready;
  // Back from a stop, the shell has written over the screen: draw it again.
  while ((ready = raw.wait(timeout_ms)) == RawMode::Ready::kContinued) g_console.out.redraw();
  if (ready != RawMode::Ready::kInput) {
    return ready == RawMode::Ready::kTimeout ? Got::kTimeout : Got::kGone;
  }
  char buf[256];
  const ssize_t n = read_some(buf, sizeof buf);
  if (n <= 0) return Got::kGone;
  g_typed_ahead.append(buf, static_cast<std::size_t>(n));
  return Got::kBytes;
}

// Takes the next key off g_typed_ahead, reading the terminal as needed.
// Returns false when the terminal is gone before a key came.
bool next_key(RawMode& raw, keys::Decoded& key) {
  for (;;) {
    if (g_typed_ahead.empty() && read_terminal(raw, -1) != Got::kBytes) return false;
    key = keys::decode_key(g_typed_ahead, true);
    while (key.kind == keys::Decoded::kNeedMore) {
      const Got got = read_terminal(raw, keys::kEscWaitMs);
      key = keys::decode_key(g_typed_ahead, got == Got::kBytes);
    }
    g_typed_ahead.erase(0, key.used);
    if (key.kind == keys::Decoded::kKey) return true;
  }
}

}  // namespace

int getch() {
  if (g_second_code >= 0) return std::exchange(g_second_code, -1);
  RawMode raw;
  // The screen goes out only once keys are raw, so a key pressed as soon as
  // it shows is neither echoed nor held for a line.
  g_console.out.deliver();
  if (!raw.active()) return -1;
  keys::Decoded key;
  const bool got_key = next_key(raw, key);
  if (!raw.restore() || !got_key) return -1;
  if (key.second >= 0) g_second_code = key.second;
  return key.code;
}

void clrscr() {
  if (!g_output_is_terminal) return;
  std::cout << kClear;
  g_console.out.begin_screen();
}

std::string read_word() {
  std::cout.flush();
  std::cin.clear();  // end of input ends one word read, not all that follow
  std::string word;
  std::cin >> word;
  return word;
}
