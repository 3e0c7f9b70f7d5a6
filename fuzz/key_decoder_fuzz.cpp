// Fuzzes the key decoder: no input may crash it or make it loop, every code
// is from 0 to 255, a printable byte where a key starts is that key, and
// bytes arriving one at a time decode as they do all at once.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "key_decoder.h"

namespace {

using keys::Decoded;

void check(bool ok) {
  if (!ok) std::abort();
}

// Checks one decoded key at `at` and appends its codes.
void take(const Decoded& d, std::string_view rest, std::vector<int>& codes) {
  check(d.kind != Decoded::kNeedMore && d.used >= 1 && d.used <= rest.size());
  const auto first = static_cast<unsigned char>(rest[0]);
  if (first >= 0x20 && first < 0x7f) {
    check(d.kind == Decoded::kKey && d.used == 1 && d.code == first && d.second == -1);
  }
  if (d.kind != Decoded::kKey) return;
  check(d.code >= 0 && d.code <= 255);
  check(d.second == -1 || (d.code == 0 && d.second >= 0 && d.second <= 255));
  check(d.code != 0 || d.second != -1);  // a 0 always announces a second code
  codes.push_back(d.code);
  if (d.second >= 0) codes.push_back(d.second);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  std::vector<int> whole;
  for (std::size_t at = 0; at < input.size();) {
    const Decoded d = keys::decode_key(input.substr(at), false);
    take(d, input.substr(at), whole);
    at += d.used;
  }

  std::vector<int> arriving;
  for (std::size_t at = 0; at < input.size();) {
    std::size_t have = 1;
    Decoded d = keys::decode_key(input.substr(at, have), true);
    while (d.kind == Decoded::kNeedMore) {
      check(have <= input.size() - at);
      if (at + have == input.size()) {
        d = keys::decode_key(input.substr(at), false);
      } else {
        d = keys::decode_key(input.substr(at, ++have), true);
      }
    }
    take(d, input.substr(at), arriving);
    at += d.used;
  }
  check(whole == arriving);
  return 0;
}
