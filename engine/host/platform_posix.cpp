// The platform layer on Linux (and other POSIX systems): termios for the key press, isatty and
// glibc's malloc_trim.
#include <termios.h>
#include <unistd.h>

#include "engine/host/platform.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace brenk::platform {

bool stdinIsConsole() { return isatty(STDIN_FILENO) == 1; }

void waitForKeyPress() {
  if (!stdinIsConsole()) return;
  termios saved{};
  if (tcgetattr(STDIN_FILENO, &saved) != 0) return;
  termios raw = saved;
  raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  tcsetattr(STDIN_FILENO, TCSANOW, &raw);
  char key = 0;
  [[maybe_unused]] ssize_t got = read(STDIN_FILENO, &key, 1);
  tcsetattr(STDIN_FILENO, TCSANOW, &saved);
}

bool stdoutShowsColour() { return isatty(STDOUT_FILENO) == 1; }

void returnFreedMemory() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

}  // namespace brenk::platform
