// Key decoding: the bytes a terminal sends for a key press, turned into the
// PC key codes that getch() returns. A pure function of the bytes, so that
// every case is tested without a terminal; reading them is getch()'s job.
#pragma once

#include <cstddef>
#include <string_view>

namespace keys {

// How long a lone Esc, or a sequence that stopped half way, waits for its
// next byte before it is decided as it stands.
// 40 ms lets a lone Esc count well within 50 ms of its press, and is still
// ample for the bytes of one sequence, which come together or within a
// few milliseconds even over a slow link.
constexpr int kEscWaitMs = 40;

struct Decoded {
  enum Kind {
    kNeedMore,  // the bytes may be the start of a longer key: wait for more
    kKey,       // a key press: `code`, then `second` if it has one
    kNothing,   // a sequence that is no key (a mouse report, a focus event):
                // `used` bytes are dropped and the wait goes on
  };
  Kind kind = kNeedMore;
  std::size_t used = 0;  // bytes taken from the front (kKey, kNothing)
  int code = 0;          // 0 announces a second code
  int second = -1;       // the second code, or -1 for a one-code key
};

// Decodes the key at the front of `bytes`. While `more_may_come` (the wait
// for the next byte is still running) a prefix of a longer key answers
// kNeedMore; once the wait is over the bytes are decided as they stand.
// kKey and kNothing take at least one byte and never more than `bytes` has.
Decoded decode_key(std::string_view bytes, bool more_may_come);

}  // namespace keys
