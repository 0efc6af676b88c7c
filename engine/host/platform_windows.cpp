// The platform layer on Windows: the console API for the key press and colours, and the C
// runtime's heap compaction.
#include <windows.h>
#include <conio.h>
#include <malloc.h>

#include "engine/host/platform.h"

namespace brenk::platform {

namespace {

// GetConsoleMode succeeds only on a console handle, never on a file, pipe or NUL.
bool isConsole(DWORD stdHandle) {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(stdHandle), &mode) != 0;
}

}  // namespace

bool stdinIsConsole() { return isConsole(STD_INPUT_HANDLE); }

void waitForKeyPress() {
  if (!stdinIsConsole()) return;
  // _getch reads one key straight from the console, without echo and without waiting for Enter.
  [[maybe_unused]] const int key = _getch();
}

bool stdoutShowsColour() {
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (GetConsoleMode(out, &mode) == 0) return false;
  if ((mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0) return true;
  return SetConsoleMode(out, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

void returnFreedMemory() { _heapmin(); }

}  // namespace brenk::platform
