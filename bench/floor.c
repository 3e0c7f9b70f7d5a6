/* The floor for the benchmark: the least a program can do to show the
 * game's menu in a terminal. It puts the terminal in raw mode once, writes
 * the menu, and answers every key with one write of the cleared screen and
 * the same menu; 4 clears the screen and quits. No buffering, no decoding,
 * no mode changes per key.
 *
 * With the argument "modes" it also does what every key wait must do: the
 * previous modes back after each key, then read again and raw mode set
 * again before the next screen. */
#include <termios.h>
#include <unistd.h>

#define MENU                                   \
  "\r\n\t\t\tZarvenhold"                       \
  "\r\n\t\t\tProvided by: https://zarvenhold.example" \
  "\r\n\t\t\t---------------------------------\r\n"   \
  "\r\n\t\t\t1. Read Me"                       \
  "\r\n\t\t\t2. Enter Magic Word to brake the spell" \
  "\r\n\t\t\t3. Total Entered Words"           \
  "\r\n\t\t\t4. Quit"                          \
  "\r\n\t\t\t___________________________________\r\n" \
  "\r\n\t\t\tPease enter a number between 1-4: "
#define CLEAR "\x1b[H\x1b[2J"

static const char first[] = "\r\n" MENU;
static const char again[] = CLEAR MENU;

int main(int argc, char** argv) {
  const int switch_modes = argc > 1 && argv[1][0] == 'm';
  struct termios saved, raw;
  if (tcgetattr(STDIN_FILENO, &saved) == -1) return 1;
  raw = saved;
  cfmakeraw(&raw);
  if (tcsetattr(STDIN_FILENO, TCSANOW, &raw) == -1) return 1;
  if (write(STDOUT_FILENO, first, sizeof first - 1) < 0) return 1;
  char key;
  while (read(STDIN_FILENO, &key, 1) == 1 && key != '4') {
    if (switch_modes && (tcsetattr(STDIN_FILENO, TCSANOW, &saved) == -1 ||
                         tcgetattr(STDIN_FILENO, &saved) == -1 ||
                         tcsetattr(STDIN_FILENO, TCSANOW, &raw) == -1)) {
      break;
    }
    if (write(STDOUT_FILENO, again, sizeof again - 1) < 0) break;
  }
  if (write(STDOUT_FILENO, CLEAR, sizeof CLEAR - 1) < 0) return 1;
  return tcsetattr(STDIN_FILENO, TCSANOW, &saved) == -1;
}
