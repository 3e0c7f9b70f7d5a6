// The console facade: the four services the game uses to talk to its user.
//
// Text goes out through std::cout, which the facade buffers and delivers
// whole before every wait, so each screen reaches the terminal in one write.
#pragma once

#include <string>

// Waits for one key press, without echo and without Enter, and returns its
// code: 1 to 255 for a key with a code of its own, 0 for a key without one
// (the next call returns its second code at once), -1 when no key can be read.
int getch();

// Clears the screen and puts the cursor in the top-left cell. Writes nothing
// when standard output is not a terminal.
void clrscr();

// Reads the next white-space-delimited word from standard input, in the
// terminal's ordinary line mode. The rest of the typed line stays for the
// next call. Returns the empty word at end of input; the call after that
// reads again.
std::string read_word();
