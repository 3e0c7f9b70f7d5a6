// keycodes: shows the code that each key press gives the game, one per line,
// for checking a key that misbehaves on some terminal. Ends after q.
#include <iostream>

#include "console/console.h"

int main() {
  std::cerr << "Press keys to see their codes; q quits.\n";
  for (;;) {
    const int code = getch();
    if (code == -1) {
      std::cerr << "keycodes: no terminal to read keys from\n";
      return 1;
    }
    std::cout << code << '\n';
    if (code == 'q') return 0;
  }
}
