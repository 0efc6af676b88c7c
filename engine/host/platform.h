// What differs between the systems Brenk runs on, behind one header: platform_posix.cpp serves
// Linux, platform_windows.cpp the Windows build. Everything else in the tree is portable C++.
#pragma once

namespace brenk::platform {

// True when standard input is a console a person types into (a terminal on Linux, a console
// window on Windows); false for files, pipes and the null device a manager gives.
bool stdinIsConsole();

// Blocks for one key press, raw and without echo; returns at once unless stdinIsConsole().
void waitForKeyPress();

// True when standard output is a console that shows ANSI colours. On Windows this turns the
// console's escape-sequence processing on first, and says false when the console refuses.
bool stdoutShowsColour();

// Hands memory freed by the process back to the system, where the C library can do that on
// request, so a manager that measures the process between turns sees only what is in use.
void returnFreedMemory();

}  // namespace brenk::platform
