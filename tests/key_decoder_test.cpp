#include "key_decoder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

using keys::decode_key;
using keys::Decoded;
using Codes = std::vector<int>;

// Every code that `bytes` give, decoded as getch() does: bytes arrive one at
// a time, and a prefix waits for more until the input runs out.
Codes decode_arriving(std::string_view bytes) {
  Codes codes;
  std::size_t start = 0;
  std::size_t end = start;
  while (start < bytes.size()) {
    if (end == start) ++end;
    Decoded d = decode_key(bytes.substr(start, end - start), true);
    if (d.kind == Decoded::kNeedMore) {
      if (end < bytes.size()) {
        ++end;
        continue;
      }
      d = decode_key(bytes.substr(start), false);
    }
    EXPECT_GE(d.used, 1u);
    EXPECT_LE(start + d.used, bytes.size());
    if (d.kind == Decoded::kKey) {
      codes.push_back(d.code);
      if (d.second >= 0) codes.push_back(d.second);
    }
    start += d.used;
    end = start;
  }
  return codes;
}

// The same bytes, all there at once.
Codes decode_whole(std::string_view bytes) {
  Codes codes;
  while (!bytes.empty()) {
    const Decoded d = decode_key(bytes, false);
    if (d.kind == Decoded::kKey) {
      codes.push_back(d.code);
      if (d.second >= 0) codes.push_back(d.second);
    }
    bytes.remove_prefix(d.used);
  }
  return codes;
}

// Esc, then `key`: what a terminal sends for Alt with a key.
std::string alt(const char* key) { return "\x1b" + std::string(key); }

struct Case {
  const char* what;
  std::string bytes;
  Codes codes;
};

const Case kCases[] = {
    // One-code keys.
    {"letter", "a", {97}},
    {"shifted letter", "A", {65}},
    {"digit", "1", {49}},
    {"Enter", "\r", {13}},
    {"Tab", "\t", {9}},
    {"Ctrl+A", "\x01", {1}},
    {"Ctrl+C", "\x03", {3}},
    {"Ctrl+Z", "\x1a", {26}},
    {"Backspace", "\x7f", {8}},
    {"Ctrl+Space", std::string(1, '\0'), {0, 3}},
    {"lone Esc", "\x1b", {27}},
    {"several keys", "ab\x1b[Ac", {97, 98, 0, 72, 99}},

    // xterm, VTE, kitty, alacritty, konsole, st: normal and application mode.
    {"Up", "\x1b[A", {0, 72}},
    {"Down", "\x1b[B", {0, 80}},
    {"Right", "\x1b[C", {0, 77}},
    {"Left", "\x1b[D", {0, 75}},
    {"Up, application mode", "\x1bOA", {0, 72}},
    {"Left, application mode", "\x1bOD", {0, 75}},
    {"Home", "\x1b[H", {0, 71}},
    {"End", "\x1b[F", {0, 79}},
    {"Home, application mode", "\x1bOH", {0, 71}},
    {"End, application mode", "\x1bOF", {0, 79}},
    {"Insert", "\x1b[2~", {0, 82}},
    {"Delete", "\x1b[3~", {0, 83}},
    {"Page Up", "\x1b[5~", {0, 73}},
    {"Page Down", "\x1b[6~", {0, 81}},
    {"F1", "\x1bOP", {0, 59}},
    {"F4", "\x1bOS", {0, 62}},
    {"F5", "\x1b[15~", {0, 63}},
    {"F6", "\x1b[17~", {0, 64}},
    {"F10", "\x1b[21~", {0, 68}},
    {"F11", "\x1b[23~", {0, 133}},
    {"F12", "\x1b[24~", {0, 134}},
    {"Shift+Up gives plain Up", "\x1b[1;2A", {0, 72}},
    {"Ctrl+Up", "\x1b[1;5A", {0, 141}},
    {"Alt+Up", "\x1b[1;3A", {0, 152}},
    {"Ctrl+Alt+Up: Alt wins", "\x1b[1;7A", {0, 152}},
    {"Ctrl+Shift+Right: Ctrl wins", "\x1b[1;6C", {0, 116}},
    {"Meta+Down counts as Alt", "\x1b[1;9B", {0, 160}},
    {"Ctrl+Home", "\x1b[1;5H", {0, 119}},
    {"Alt+End", "\x1b[1;3F", {0, 159}},
    {"Ctrl+Page Up", "\x1b[5;5~", {0, 132}},
    {"Alt+Page Down", "\x1b[6;3~", {0, 161}},
    {"Ctrl+Insert", "\x1b[2;5~", {0, 146}},
    {"Alt+Delete", "\x1b[3;3~", {0, 163}},
    {"Shift+F1", "\x1b[1;2P", {0, 84}},
    {"Ctrl+F2", "\x1b[1;5Q", {0, 95}},
    {"Alt+F4", "\x1b[1;3S", {0, 107}},
    {"Shift+F5", "\x1b[15;2~", {0, 88}},
    {"Ctrl+F10", "\x1b[21;5~", {0, 103}},
    {"Shift+F11", "\x1b[23;2~", {0, 135}},
    {"Ctrl+F12", "\x1b[24;5~", {0, 138}},
    {"Alt+F12", "\x1b[24;3~", {0, 140}},
    {"Shift+Tab", "\x1b[Z", {0, 15}},
    {"konsole Shift+F1", "\x1bO2P", {0, 84}},
    {"old GNOME Terminal Ctrl+F3", "\x1bO1;5R", {0, 96}},
    {"keypad 5 in application mode", "\x1bOu", {53}},
    {"keypad Enter in application mode", "\x1bOM", {13}},

    // tmux and screen.
    {"tmux Home", "\x1b[1~", {0, 71}},
    {"tmux End", "\x1b[4~", {0, 79}},

    // rxvt-unicode.
    {"rxvt Home", "\x1b[7~", {0, 71}},
    {"rxvt End", "\x1b[8~", {0, 79}},
    {"rxvt F1", "\x1b[11~", {0, 59}},
    {"rxvt F4", "\x1b[14~", {0, 62}},
    {"rxvt Shift+Up", "\x1b[a", {0, 72}},
    {"rxvt Shift+Left", "\x1b[d", {0, 75}},
    {"rxvt Ctrl+Up", "\x1bOa", {0, 141}},
    {"rxvt Ctrl+Right", "\x1bOc", {0, 116}},
    {"rxvt Shift+Insert", "\x1b[2$", {0, 82}},
    {"rxvt Ctrl+Insert", "\x1b[2^", {0, 146}},
    {"rxvt Ctrl+Shift+Delete: Ctrl wins", "\x1b[3@", {0, 147}},
    {"rxvt Ctrl+F1", "\x1b[11^", {0, 94}},
    {"rxvt Shift+F3", "\x1b[25~", {0, 86}},
    {"rxvt Shift+F10", "\x1b[34~", {0, 93}},
    {"rxvt Alt+Up", "\x1b\x1b[A", {0, 152}},
    {"rxvt Alt+F1", "\x1b\x1b[11~", {0, 104}},

    // The Linux console.
    {"Linux F1", "\x1b[[A", {0, 59}},
    {"Linux F5", "\x1b[[E", {0, 63}},
    {"Linux Shift+Tab", "\x1b\t", {0, 15}},
    {"Linux Shift+F5", "\x1b[28~", {0, 88}},

    // Alt with a character key.
    {"Alt+q", "\x1bq", {0, 16}},
    {"Alt+Q", "\x1bQ", {0, 16}},
    {"Alt+a", alt("a"), {0, 30}},
    {"Alt+m", "\x1bm", {0, 50}},
    {"Alt+n gives the code of 1", "\x1bn", {0, 49}},
    {"Alt+1", alt("1"), {0, 120}},
    {"Alt+0", alt("0"), {0, 129}},
    {"Alt+=", "\x1b=", {0, 131}},
    {"Alt+/", "\x1b/", {0, 53}},
    {"Alt+Shift+1 takes the key's code", "\x1b!", {0, 120}},
    {"Alt+Esc", "\x1b\x1b", {0, 1}},
    {"Alt+Backspace", "\x1b\x7f", {0, 14}},
    {"Alt+Enter", "\x1b\r", {0, 28}},
    {"Ctrl+Alt+A: Alt wins", "\x1b\x01", {0, 30}},
    {"Alt+Space has no Alt code", "\x1b ", {32}},
    {"Alt+[ after the wait", "\x1b[", {0, 26}},
    {"Alt+O after the wait", "\x1bO", {0, 24}},
    {"Alt+é", "\x1b\xc3\xa9", {233}},

    // Unknown sequences are taken whole and give nothing.
    {"SGR mouse report", "\x1b[<0;12;3M", {}},
    {"focus in", "\x1b[I", {}},
    {"focus out", "\x1b[O", {}},
    {"paste marks", "\x1b[200~x\x1b[201~", {120}},
    {"X10 mouse report", "\x1b[M !!", {}},
    {"mouse report, then a digit", "\x1b[<0;12;3M1", {49}},
    {"unknown tilde key", "\x1b[99~", {}},
    {"sequence with an intermediate", "\x1b[1 q", {}},
    {"unknown SS3 key", "\x1bOz", {}},
    {"sequence broken by a control byte", "\x1b[1;\x03", {3}},
    {"sequence broken by Esc", "\x1b[1\x1b[B", {0, 80}},
    {"half a sequence at the end", "\x1b[1;5", {}},

    // UTF-8 and 8-bit bytes.
    {"é", "\xc3\xa9", {233}},
    {"ÿ", "\xc3\xbf", {255}},
    {"€ has no code of its own", "\xe2\x82\xac", {255}},
    {"four-byte character", "\xf0\x9f\x98\x80", {255}},
    {"Latin-1 byte alone", "\xe9", {233}},
    {"lead byte, then ASCII", "\xc3(", {195, 40}},
    {"stray continuation byte", "\xa9", {169}},
    {"overlong form", "\xc0\xaf", {192, 175}},
    {"cut-short character is one key", "\xe2\x82", {226}},
};

TEST(KeyDecoder, KeysFromEveryTerminal) {
  for (const Case& c : kCases) {
    EXPECT_EQ(decode_whole(c.bytes), c.codes) << c.what;
    EXPECT_EQ(decode_arriving(c.bytes), c.codes) << c.what << ", bytes arriving one by one";
  }
}

TEST(KeyDecoder, PrefixesWaitForMore) {
  const std::string prefixes[] = {
      "\x1b",   "\x1b[",    "\x1b[1",       "\x1b[1;",  "\x1b[1;5", "\x1bO",
      "\x1bO1", "\x1b\x1b", "\x1b\x1b[",    "\x1b[[",   "\x1b[M!",  "\x1b[<0;1",
      "\xc3",   "\xe2\x82", "\xf0\x9f\x98", "\x1b\xc3",
  };
  for (const auto& p : prefixes) {
    EXPECT_EQ(decode_key(p, true).kind, Decoded::kNeedMore) << testing::PrintToString(p);
    EXPECT_NE(decode_key(p, false).kind, Decoded::kNeedMore) << testing::PrintToString(p);
  }
}

TEST(KeyDecoder, TakesOneKeyAndLeavesTheRest) {
  const Decoded d = decode_key("\x1b[A2Aba\r", true);
  EXPECT_EQ(d.kind, Decoded::kKey);
  EXPECT_EQ(d.used, 3u);
  EXPECT_EQ(decode_key("2Aba\r", true).used, 1u);
  EXPECT_EQ(decode_key("\xc3\xa9x", true).used, 2u);
}

// ---- The same keys, as the terminals' own terminfo entries give them ----

// A terminfo string value as bytes: \E, ^X, \^, \\, \, and octal escapes.
std::string terminfo_bytes(std::string_view v) {
  std::string out;
  for (std::size_t i = 0; i < v.size(); ++i) {
    const char c = v[i];
    if (c == '^' && i + 1 < v.size()) {
      const char n = v[++i];
      out += n == '?' ? '\x7f' : static_cast<char>(n & 0x1f);
    } else if (c == '\\' && i + 1 < v.size()) {
      const char n = v[++i];
      if (n == 'E' || n == 'e') {
        out += '\x1b';
      } else if (n >= '0' && n <= '7') {
        int value = n - '0';
        for (int k = 0; k < 2 && i + 1 < v.size() && v[i + 1] >= '0' && v[i + 1] <= '7'; ++k)
          value = value * 8 + (v[++i] - '0');
        out += static_cast<char>(value == 0 ? 0x80 : value);
      } else {
        const std::string_view named = "nrtbfs";
        const std::string_view bytes = "\n\r\t\b\f ";
        const auto at = named.find(n);
        out += at == std::string_view::npos ? n : bytes[at];
      }
    } else {
      out += c;
    }
  }
  return out;
}

// The key capabilities of terminal `name`, read with infocmp; empty when
// the entry is not installed.
std::map<std::string, std::string> key_capabilities(const std::string& name) {
  std::map<std::string, std::string> caps;
  FILE* p = popen(("infocmp -1 -x " + name + " 2>/dev/null").c_str(), "r");
  if (p == nullptr) return caps;
  char line[512];
  while (fgets(line, sizeof line, p) != nullptr) {
    std::string_view l(line);
    while (!l.empty() && (l.front() == '\t' || l.front() == ' ')) l.remove_prefix(1);
    while (!l.empty() && (l.back() == '\n' || l.back() == ',')) l.remove_suffix(1);
    const auto eq = l.find('=');
    if (l.substr(0, 1) != "k" || eq == std::string_view::npos) continue;
    caps[std::string(l.substr(0, eq))] = terminfo_bytes(l.substr(eq + 1));
  }
  pclose(p);
  return caps;
}

// What each key capability must give, from the PC code tables: {plain,
// Shift, Ctrl, Alt} for the keys without a character.
struct KeyCodes {
  const char* cap;     // the plain key's capability
  const char* suffix;  // the modified keys' capability stem: kUP, kUP3 ...
  int plain, shift, ctrl, alt;
};
const KeyCodes kNamedKeys[] = {
    {"kcuu1", "kUP", 72, 72, 141, 152},  {"kcud1", "kDN", 80, 80, 145, 160},
    {"kcub1", "kLFT", 75, 75, 115, 155}, {"kcuf1", "kRIT", 77, 77, 116, 157},
    {"khome", "kHOM", 71, 71, 119, 151}, {"kend", "kEND", 79, 79, 117, 159},
    {"kpp", "kPRV", 73, 73, 132, 153},   {"knp", "kNXT", 81, 81, 118, 161},
    {"kich1", "kIC", 82, 82, 146, 162},  {"kdch1", "kDC", 83, 83, 147, 163},
};
const int kFKeys[12][4] = {
    {59, 84, 94, 104},  {60, 85, 95, 105},  {61, 86, 96, 106},    {62, 87, 97, 107},
    {63, 88, 98, 108},  {64, 89, 99, 109},  {65, 90, 100, 110},   {66, 91, 101, 111},
    {67, 92, 102, 112}, {68, 93, 103, 113}, {133, 135, 137, 139}, {134, 136, 138, 140},
};

// The codes each capability of a terminal must decode to. Where the
// terminal's kf13 and up are Shift with F3 and up (rxvt, the Linux console),
// `shifted_f11` is set.
std::map<std::string, Codes> expected_keys(bool shifted_f11) {
  std::map<std::string, Codes> want;
  for (const KeyCodes& k : kNamedKeys) {
    want[k.cap] = {0, k.plain};
    // xterm's modifier suffixes: none Shift, 3 Alt, 4 Alt+Shift, 5 Ctrl,
    // 6 Ctrl+Shift, 7 Ctrl+Alt. Alt wins over Ctrl, Ctrl over Shift.
    want[k.suffix] = {0, k.shift};
    for (const char* alt : {"3", "4", "7"}) want[std::string(k.suffix) + alt] = {0, k.alt};
    for (const char* ctrl : {"5", "6"}) want[std::string(k.suffix) + ctrl] = {0, k.ctrl};
  }
  want["kri"] = {0, 72};
  want["kind"] = {0, 80};
  want["kcbt"] = {0, 15};
  want["kbs"] = {8};
  want["kent"] = {13};
  const std::pair<const char*, int> keypad[] = {{"kpADD", '+'}, {"kpSUB", '-'}, {"kpMUL", '*'},
                                                {"kpDIV", '/'}, {"kpDOT", '.'}, {"kpCMA", ','},
                                                {"kpZRO", '0'}};
  for (const auto& [cap, ch] : keypad) want[cap] = {ch};
  for (int n = 1; n <= 63; ++n) {
    const int f = (n - 1) % 12;
    const int group = (n - 1) / 12;  // xterm: plain, Shift, Ctrl, Ctrl+Shift, Alt, Alt+Shift
    int code;
    if (shifted_f11 && n > 12) {
      if (n > 20) continue;
      code = kFKeys[n - 11][1];  // kf13 is Shift+F3
    } else {
      const int column[] = {0, 1, 2, 2, 3, 3};
      code = kFKeys[f][column[group]];
    }
    want["kf" + std::to_string(n)] = {0, code};
  }
  return want;
}

TEST(KeyDecoder, KeysFromTerminfoEntries) {
  const std::pair<const char*, bool> terminals[] = {
      {"xterm-256color", false}, {"vte-256color", false},    {"konsole", false},
      {"kitty", false},          {"alacritty", false},       {"st-256color", false},
      {"tmux-256color", false},  {"screen-256color", false}, {"rxvt-unicode-256color", true},
      {"linux", true},
  };
  std::string missing;
  for (const auto& [name, shifted_f11] : terminals) {
    const auto caps = key_capabilities(name);
    if (caps.empty()) {
      missing += std::string(" ") + name;
      continue;
    }
    const auto want = expected_keys(shifted_f11);
    int checked = 0;
    for (const auto& [cap, bytes] : caps) {
      const auto w = want.find(cap);
      if (w == want.end()) continue;
      EXPECT_EQ(decode_whole(bytes), w->second)
          << name << " " << cap << " " << testing::PrintToString(bytes);
      EXPECT_EQ(decode_arriving(bytes), w->second)
          << name << " " << cap << ", arriving byte by byte";
      ++checked;
    }
    EXPECT_GE(checked, 22) << name << ": too few keys found; is the entry read right?";
  }
  if (!missing.empty()) GTEST_SKIP() << "no terminfo entry (Debian: ncurses-term) for" << missing;
}

}  // namespace
