// What terminals send, and the codes the keys give.
//
// A key with a character gives that character's code, except:
//   byte 0 (Ctrl+Space, Ctrl+@)      0, 3   as the PC gave for Ctrl+@
//   byte 127 (Backspace)             8      the PC's Backspace
//   UTF-8 character                  its code point when 255 or less,
//                                    else 255 (no PC code stands for it)
//   a byte that starts no UTF-8 character (a Latin-1 terminal) is its own code.
//
// A key without a character gives 0 and then its PC code. The sequences
// understood (ESC = 0x1b, CSI = ESC [, SS3 = ESC O; m is xterm's modifier
// parameter, 1 + Shift 1 + Alt 2 + Ctrl 4 + Meta 8):
//   CSI A B C D / SS3 A B C D        Up Down Right Left (both cursor modes)
//   CSI H F / SS3 H F                Home End
//   CSI 1;m A … H F                  the same with modifiers
//   SS3 P Q R S                      F1 to F4
//   CSI 1;m P … S, SS3 m P …,        F1 to F4 with modifiers (xterm, konsole,
//   SS3 1;m P …                      old GNOME Terminal)
//   CSI n ~ and CSI n;m ~            1 Home, 2 Insert, 3 Delete, 4 End,
//                                    5 Page Up, 6 Page Down, 7 Home, 8 End,
//                                    11–15 F1–F5, 17–21 F6–F10, 23 24 F11 F12,
//                                    25 26 28 29 31–34 Shift+F3 … Shift+F10
//   CSI n $, CSI n ^, CSI n @        rxvt: as ~ with Shift, Ctrl, Ctrl+Shift
//   CSI a b c d / SS3 a b c d        rxvt: Shift / Ctrl with Up Down Right Left
//   CSI [ A … E                      Linux console: F1 to F5
//   CSI Z, ESC Tab                   Shift+Tab (the Linux console sends ESC Tab;
//                                    Alt+Tab never reaches a terminal window)
//   SS3 j … y, SS3 M, SS3 X          keypad in application mode: its character
//   ESC key                          Alt with that key; ESC ESC [ … and
//                                    ESC ESC O … are Alt with a sequence's key
// Where several modifiers are held Alt wins over Ctrl, and Ctrl over Shift.
// Alt with a key that has no PC Alt code gives the key alone.
//
// CSI 23~ and 24~ are F11 and F12 as xterm names them, although rxvt and the
// Linux console also send them for Shift+F1 and Shift+F2.
//
// Any other complete sequence (mouse reports, focus events, paste marks) is
// taken whole and gives no key. A sequence broken by a byte that cannot
// belong to it is dropped up to that byte, which then starts the next key.
#include "key_decoder.h"

#include <algorithm>

namespace keys {
namespace {

constexpr unsigned char kEsc = 0x1b;

// clang-format off
enum Named {
  kUp, kDown, kLeft, kRight, kHome, kEnd, kPageUp, kPageDown, kInsert, kDelete,
  kF1, kF2, kF3, kF4, kF5, kF6, kF7, kF8, kF9, kF10, kF11, kF12, kBackTab,
  kNamedCount
};
// clang-format on

// Modifier bits, as xterm encodes them in m - 1.
enum : unsigned { kShift = 1, kAlt = 2, kCtrl = 4, kMeta = 8 };

struct Codes {
  int plain, shift, ctrl, alt;
};

// PC BIOS extended codes, by key and modifier.
constexpr Codes kSecondCodes[kNamedCount] = {
    // plain, Shift, Ctrl, Alt
    {72, 72, 141, 152},    // Up
    {80, 80, 145, 160},    // Down
    {75, 75, 115, 155},    // Left
    {77, 77, 116, 157},    // Right
    {71, 71, 119, 151},    // Home
    {79, 79, 117, 159},    // End
    {73, 73, 132, 153},    // Page Up
    {81, 81, 118, 161},    // Page Down
    {82, 82, 146, 162},    // Insert
    {83, 83, 147, 163},    // Delete
    {59, 84, 94, 104},     // F1
    {60, 85, 95, 105},     // F2
    {61, 86, 96, 106},     // F3
    {62, 87, 97, 107},     // F4
    {63, 88, 98, 108},     // F5
    {64, 89, 99, 109},     // F6
    {65, 90, 100, 110},    // F7
    {66, 91, 101, 111},    // F8
    {67, 92, 102, 112},    // F9
    {68, 93, 103, 113},    // F10
    {133, 135, 137, 139},  // F11
    {134, 136, 138, 140},  // F12
    {15, 15, 148, 165},    // Shift+Tab
};

// The key of CSI n ~ by n, or -1; with the Shift it implies.
struct TildeKey {
  int key;
  unsigned mods;
};

TildeKey tilde_key(int n) {
  if (n >= 11 && n <= 15) return {kF1 + n - 11, 0};
  if (n >= 17 && n <= 21) return {kF6 + n - 17, 0};
  switch (n) {
    case 1: return {kHome, 0};
    case 2: return {kInsert, 0};
    case 3: return {kDelete, 0};
    case 4: return {kEnd, 0};
    case 5: return {kPageUp, 0};
    case 6: return {kPageDown, 0};
    case 7: return {kHome, 0};
    case 8: return {kEnd, 0};
    case 23: return {kF11, 0};
    case 24: return {kF12, 0};
    // F13 to F20 of rxvt and the Linux console: Shift with F3 to F10.
    case 25: return {kF3, kShift};
    case 26: return {kF4, kShift};
    case 28: return {kF5, kShift};
    case 29: return {kF6, kShift};
    case 31: return {kF7, kShift};
    case 32: return {kF8, kShift};
    case 33: return {kF9, kShift};
    case 34: return {kF10, kShift};
    default: return {-1, 0};
  }
}

// The PC code for Alt with the character key `c`, or -1 where it has none.
int alt_code(unsigned char c) {
  static constexpr std::string_view kRows[] = {"qwertyuiop", "asdfghjkl", "zxcvbnm"};
  static constexpr int kRowCodes[] = {16, 30, 44};
  // Shifted symbols take their key's code, as on a US keyboard.
  static constexpr std::string_view kShifted = "!@#$%^&*()_+{}:\"~|<>?";
  static constexpr std::string_view kUnshifted = "1234567890-=[];'`\\,./";
  static constexpr std::string_view kPunct = "-=[];'`\\,./";
  static constexpr int kPunctCodes[] = {130, 131, 26, 27, 39, 40, 41, 43, 51, 52, 53};

  if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c + 32);
  for (int r = 0; r < 3; ++r) {
    const auto at = kRows[r].find(static_cast<char>(c));
    if (at != std::string_view::npos) return kRowCodes[r] + static_cast<int>(at);
  }
  if (c >= '1' && c <= '9') return 120 + (c - '1');
  if (c == '0') return 129;
  if (const auto at = kPunct.find(static_cast<char>(c)); at != std::string_view::npos) {
    return kPunctCodes[at];
  }
  if (const auto at = kShifted.find(static_cast<char>(c)); at != std::string_view::npos) {
    return alt_code(static_cast<unsigned char>(kUnshifted[at]));
  }
  switch (c) {
    case kEsc: return 1;
    case 127:
    case 8: return 14;
    case 13:
    case 10: return 28;
    default: break;
  }
  // Ctrl+Alt with a key: Alt wins, so the key's own Alt code.
  if (c < 32) return alt_code(static_cast<unsigned char>(c | 0x40));
  return -1;
}

// A key before its codes are chosen: a named key or a character, with
// modifiers.
struct Press {
  Decoded::Kind kind = Decoded::kNeedMore;
  std::size_t used = 0;
  int named = -1;  // a Named key, or -1 for the character `ch`
  int ch = 0;
  unsigned mods = 0;
};

Press need_more() { return {}; }
Press nothing(std::size_t used) { return {Decoded::kNothing, used}; }
Press named_key(std::size_t used, int key, unsigned mods = 0) {
  return {Decoded::kKey, used, key, 0, mods};
}
Press char_key(std::size_t used, int ch, unsigned mods = 0) {
  return {Decoded::kKey, used, -1, ch, mods};
}

Decoded codes_of(const Press& p) {
  Decoded d{p.kind, p.used};
  if (p.kind != Decoded::kKey) return d;
  const bool alt = (p.mods & (kAlt | kMeta)) != 0;
  if (p.named >= 0) {
    const Codes& c = kSecondCodes[p.named];
    d.second = alt ? c.alt : (p.mods & kCtrl) ? c.ctrl : (p.mods & kShift) ? c.shift : c.plain;
    return d;
  }
  const int alt_second = alt && p.ch < 128 ? alt_code(static_cast<unsigned char>(p.ch)) : -1;
  if (alt_second >= 0) {
    d.second = alt_second;
  } else if (p.ch == 0) {
    d.second = 3;
  } else {
    d.code = p.ch == 127 ? 8 : p.ch;
  }
  return d;
}

bool is_param(unsigned char c) { return c >= 0x30 && c <= 0x3f; }
bool is_intermediate(unsigned char c) { return c >= 0x20 && c <= 0x2f; }
bool is_final(unsigned char c) { return c >= 0x40 && c <= 0x7e; }
bool is_continuation(unsigned char c) { return (c & 0xc0) == 0x80; }
bool one_of(unsigned char c, std::string_view set) {
  return set.find(static_cast<char>(c)) != std::string_view::npos;
}

unsigned modifiers(int m) { return m > 1 ? static_cast<unsigned>(m - 1) & 0xfu : 0u; }

// Numeric parameters "n;m": false for anything else (private markers such as
// '<' or '?', sub-parameters, more than two numbers).
bool parse_params(std::string_view s, int (&p)[2], int& count) {
  count = 0;
  p[0] = p[1] = -1;
  if (s.empty()) return true;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = std::min(s.find(';', start), s.size());
    if (count == 2) return false;
    int value = 0;
    for (std::size_t i = start; i < end; ++i) {
      if (s[i] < '0' || s[i] > '9') return false;
      value = std::min(value * 10 + (s[i] - '0'), 10000);
    }
    p[count++] = end > start ? value : -1;
    if (end == s.size()) return true;
    start = end + 1;
  }
}

Press cursor_key(unsigned char final, std::size_t used, unsigned mods) {
  switch (final) {
    case 'A': return named_key(used, kUp, mods);
    case 'B': return named_key(used, kDown, mods);
    case 'C': return named_key(used, kRight, mods);
    case 'D': return named_key(used, kLeft, mods);
    case 'H': return named_key(used, kHome, mods);
    case 'F': return named_key(used, kEnd, mods);
    case 'P':
    case 'Q':
    case 'R':
    case 'S': return named_key(used, kF1 + final - 'P', mods);
    default: return nothing(used);
  }
}

// rxvt's lower-case finals: a Up, b Down, c Right, d Left.
Press rxvt_arrow(unsigned char final, std::size_t used, unsigned mods) {
  return cursor_key(static_cast<unsigned char>(final - 'a' + 'A'), used, mods);
}

// ESC [ ...: `b` starts with ESC [.
Press decode_csi(std::string_view b, bool more) {
  const std::size_t n = b.size();
  if (n == 2) return more ? need_more() : char_key(2, '[', kAlt);
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(b[i]); };

  if (at(2) == '[') {  // Linux console F1–F5
    if (n == 3) return more ? need_more() : nothing(3);
    if (!is_final(at(3))) return nothing(3);
    return at(3) >= 'A' && at(3) <= 'E' ? named_key(4, kF1 + at(3) - 'A') : nothing(4);
  }
  if (at(2) == 'M') {  // X10 mouse report: three bytes follow
    if (n < 6) return more ? need_more() : nothing(n);
    return nothing(6);
  }

  std::size_t i = 2;
  while (i < n && is_param(at(i))) ++i;
  const std::size_t params_end = i;
  // rxvt ends Shift-modified keys with '$' where xterm has '~'.
  const bool rxvt_dollar = i < n && at(i) == '$' && i > 2;
  if (!rxvt_dollar) {
    while (i < n && is_intermediate(at(i))) ++i;
  }
  if (i == n) return more ? need_more() : nothing(n);
  if (!rxvt_dollar && !is_final(at(i))) return nothing(i);
  const unsigned char final = at(i);
  const std::size_t used = i + 1;
  if (!rxvt_dollar && params_end != i) return nothing(used);  // intermediates: not a key

  int p[2];
  int count = 0;
  if (!parse_params(b.substr(2, params_end - 2), p, count)) return nothing(used);
  const unsigned mods = count == 2 ? modifiers(p[1]) : 0;
  const bool first_is_one = p[0] == -1 || p[0] == 1;

  if (one_of(final, "ABCDHFPQRS")) {
    return first_is_one ? cursor_key(final, used, mods) : nothing(used);
  }
  if (final == 'Z') return first_is_one ? named_key(used, kBackTab, mods) : nothing(used);
  if (one_of(final, "abcd")) return count == 0 ? rxvt_arrow(final, used, kShift) : nothing(used);
  if (one_of(final, "~$^@")) {
    const TildeKey k = tilde_key(p[0]);
    if (k.key < 0) return nothing(used);
    unsigned suffix = 0;  // rxvt's suffixes
    if (final == '$') suffix = kShift;
    if (final == '^') suffix = kCtrl;
    if (final == '@') suffix = kCtrl | kShift;
    return named_key(used, k.key, mods | suffix | k.mods);
  }
  return nothing(used);
}

// ESC O ...: `b` starts with ESC O.
Press decode_ss3(std::string_view b, bool more) {
  const std::size_t n = b.size();
  if (n == 2) return more ? need_more() : char_key(2, 'O', kAlt);
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(b[i]); };
  std::size_t i = 2;
  while (i < n && is_param(at(i))) ++i;
  if (i == n) return more ? need_more() : nothing(n);
  if (!is_final(at(i))) return i == 2 ? char_key(2, 'O', kAlt) : nothing(i);
  const unsigned char final = at(i);
  const std::size_t used = i + 1;

  int p[2];
  int count = 0;
  if (!parse_params(b.substr(2, i - 2), p, count)) return nothing(used);
  // konsole puts the modifier alone (SS3 2 P), old GNOME Terminal after a 1.
  const unsigned mods = count > 0 ? modifiers(p[count - 1]) : 0;

  static constexpr std::string_view kKeypad = "*+,-./0123456789";  // SS3 j … y
  if (final >= 'j' && final <= 'y') return char_key(used, kKeypad[final - 'j']);
  if (final == 'M') return char_key(used, 13);
  if (final == 'X') return char_key(used, '=');
  if (one_of(final, "abcd")) return rxvt_arrow(final, used, kCtrl);
  return cursor_key(final, used, mods);
}

// A character that does not start a sequence: ASCII, or UTF-8.
Press decode_char(std::string_view b, bool more) {
  const auto lead = static_cast<unsigned char>(b[0]);
  if (lead < 0x80) return char_key(1, lead);
  const std::size_t len = lead >= 0xf5   ? 0
                          : lead >= 0xf0 ? 4
                          : lead >= 0xe0 ? 3
                          : lead >= 0xc2 ? 2
                                         : 0;
  if (len == 0) return char_key(1, lead);
  // The second byte's range also rules out overlong forms and surrogates.
  const unsigned char lo = lead == 0xe0 ? 0xa0 : lead == 0xf0 ? 0x90 : 0x80;
  const unsigned char hi = lead == 0xed ? 0x9f : lead == 0xf4 ? 0x8f : 0xbf;
  int cp = lead & (0x7f >> len);
  for (std::size_t i = 1; i < len; ++i) {
    if (i == b.size()) {
      if (more) return need_more();
      return char_key(i, lead);  // cut short: the bytes so far are one key
    }
    const auto c = static_cast<unsigned char>(b[i]);
    const bool fits = i == 1 ? c >= lo && c <= hi : is_continuation(c);
    if (!fits) return char_key(i, lead);
    cp = cp << 6 | (c & 0x3f);
  }
  return char_key(len, cp <= 255 ? cp : 255);
}

Press with_alt(Press p) {
  if (p.kind == Decoded::kKey) p.mods |= kAlt;
  if (p.kind != Decoded::kNeedMore) ++p.used;
  return p;
}

Press decode(std::string_view b, bool more) {
  if (static_cast<unsigned char>(b[0]) != kEsc) return decode_char(b, more);
  if (b.size() == 1) return more ? need_more() : char_key(1, kEsc);
  switch (b[1]) {
    case '[': return decode_csi(b, more);
    case 'O': return decode_ss3(b, more);
    case '\t': return named_key(2, kBackTab);
    case kEsc: {
      if (b.size() == 2) return more ? need_more() : char_key(2, kEsc, kAlt);
      const char next = b[2];
      if (next != '[' && next != 'O') return char_key(2, kEsc, kAlt);
      return with_alt(next == '[' ? decode_csi(b.substr(1), more) : decode_ss3(b.substr(1), more));
    }
    default: return with_alt(decode_char(b.substr(1), more));
  }
}

}  // namespace

Decoded decode_key(std::string_view bytes, bool more_may_come) {
  if (bytes.empty()) return {};
  return codes_of(decode(bytes, more_may_come));
}

}  // namespace keys
